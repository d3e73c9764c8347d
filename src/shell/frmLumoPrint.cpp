// File > Print and File > Export PDF: the workbench on one page.
#include "frmLumo.h"

#include "Wording.h"

#include "platform/Dialogs.h"
#include "platform/MousePointer.h"
#include "platform/WholeFile.h"
#include "workbench/control/PrintedPage.h"
#include "workbench/control/wqzOptionPayoffs.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QPainter>
#include <QPrinter>

#include <algorithm>

namespace shell {

namespace {

using platform::Dialogs;
namespace page = workbench::printedpage;

const QString kPdfKind = QStringLiteral("PDF document (*.pdf)");

// The hourglass while a page is drawn and written or handed to the printer.
struct Busy {
    Busy() { platform::mousePointer().setShape(platform::MousePointer::Shape::Hourglass); }
    ~Busy() { platform::mousePointer().setShape(platform::MousePointer::Shape::Default); }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;
};

// The paper sizes a PDF is laid out for.
struct Paper {
    QPageSize::PageSizeId id;
    const char* caption;
};
constexpr Paper kPapers[] = {{QPageSize::A4, "A4 (210 x 297 mm)"},
                             {QPageSize::Letter, "Letter (8.5 x 11 in)"}};

// Asks which paper the PDF is for, starting from `paper`; false when the
// user cancels.
bool askPaper(QPageSize::PageSizeId& paper, QWidget* parent) {
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("dlgPageSize"));
    dialog.setWindowTitle(QStringLiteral("Page Size"));
    auto* form = new QFormLayout(&dialog);
    auto* sizes = new QComboBox(&dialog);
    sizes->setObjectName(QStringLiteral("cmbPageSize"));
    sizes->setAccessibleName(QStringLiteral("Page size"));
    for (const Paper& p : kPapers) {
        sizes->addItem(QString::fromLatin1(p.caption), int(p.id));
    }
    sizes->setCurrentIndex(std::max(0, sizes->findData(int(paper))));
    form->addRow(QStringLiteral("&Page size:"), sizes);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    form->addRow(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    sizes->setFocus();
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    paper = QPageSize::PageSizeId(sizes->currentData().toInt());
    return true;
}

} // namespace

bool frmLumo::pageHasDiagram() {
    if (!ucLumo->hasCurve()) {
        tell(QStringLiteral("The plot area is empty: plot a position to have a page to print."),
             Dialogs::Icon::Information);
        return false;
    }
    return true;
}

QString frmLumo::writePdf(const QString& path, const QPageLayout& layout) {
    const Busy busy;
    const QByteArray bytes = page::pdf(page::sheetOf(*ucLumo), layout);
    return bytes.isEmpty() ? QStringLiteral("the page could not be drawn.")
                           : platform::writeWholeFile(path, bytes);
}

void frmLumo::mnuExportPdf_Click() {
    if (!pageHasDiagram()) {
        return;
    }
    const QString path = askSaveName(QStringLiteral("Export PDF"), kPdfKind);
    if (path.isEmpty()) {
        return;
    }
    if (QFileInfo(path).suffix().toLower() != QLatin1String("pdf")) {
        tell(QStringLiteral("The page is saved as a PDF document: end the file's name in .pdf."),
             Dialogs::Icon::Exclamation);
        return;
    }
    // The paper is kept for the next page in this run, printed or exported.
    QPageSize::PageSizeId paper = paper_.value_or(page::localPaper());
    if (!askPaper(paper, this)) {
        return;
    }
    paper_ = paper;
    const QString why = writePdf(path, page::defaultLayout(paper));
    if (!why.isEmpty()) {
        tell(QStringLiteral("The page could not be saved as %1:\n%2")
                 .arg(QDir::toNativeSeparators(path), why),
             Dialogs::Icon::Critical);
    }
}

void frmLumo::mnuPrint_Click() {
    if (!pageHasDiagram()) {
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(page::defaultLayout(paper_.value_or(page::localPaper())));
    printer.setDocName(page::sheetOf(*ucLumo).title);
    if (!platform::dialogs().choosePrinter(printer, QStringLiteral("Print"))) {
        return;
    }
    const QPageSize::PageSizeId chosen = printer.pageLayout().pageSize().id();
    if (chosen != QPageSize::Custom) {
        paper_ = chosen;
    }
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
        // A file is written whole or not at all, and a failure is told in
        // the system's words, as Export PDF does: the printer's own file
        // would be left half written on a full disk, without a word.
        const QString path = printer.outputFileName();
        const QString why = writePdf(path, printer.pageLayout());
        if (!why.isEmpty()) {
            tell(QStringLiteral("The page could not be printed to %1:\n%2")
                     .arg(QDir::toNativeSeparators(path), why),
                 Dialogs::Icon::Critical);
        }
        return;
    }
    bool printed = false;
    {
        const Busy busy;
        QPainter painter;
        if (painter.begin(&printer)) {
            page::paint(painter, page::sheetOf(*ucLumo));
            printed = painter.end() && printer.printerState() != QPrinter::Error;
        }
    }
    if (!printed) {
        tell(QStringLiteral("The page could not be printed on %1: the printer did not take it. "
                            "Check that it is on and connected, or print to a PDF file.")
                 .arg(printer.printerName()),
             Dialogs::Icon::Critical);
    }
}

} // namespace shell
