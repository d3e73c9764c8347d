// File > Export: the diagram as a picture, the numeric values and the scenarios as
// tables.
#include "frmLumo.h"

#include "Wording.h"

#include "platform/Dialogs.h"
#include "platform/FlexGrid.h"
#include "platform/WholeFile.h"
#include "workbench/control/DiagramExport.h"
#include "workbench/control/SmileChart.h"
#include "workbench/control/ValuesExport.h"
#include "workbench/control/wqzOptionPayoffs.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QSpinBox>

namespace shell {

namespace {

using platform::Dialogs;

const QString kDiagramKinds = QStringLiteral("PNG image (*.png);;SVG drawing (*.svg)");
const QString kValuesKind = QStringLiteral("Comma-separated values (*.csv)");

void reportFailure(const QString& what, const QString& path, const QString& why) {
    tell(QStringLiteral("%1 could not be saved as %2:\n%3")
             .arg(what, QDir::toNativeSeparators(path), why),
         Dialogs::Icon::Critical);
}

// Asks for the picture's size in pixels and its background, starting from
// `size` and `paper`; false when the user cancels.
bool askDiagramSize(QSize& size, bool& paper, QWidget* parent) {
    namespace de = workbench::diagramexport;
    QDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("dlgDiagramSize"));
    dialog.setWindowTitle(QStringLiteral("Diagram Size"));
    auto* form = new QFormLayout(&dialog);
    const auto side = [&](const char* name, const char* caption, int value) {
        auto* box = new QSpinBox(&dialog);
        box->setObjectName(QString::fromLatin1(name));
        box->setRange(de::leastSide, de::greatestSide);
        box->setValue(value);
        form->addRow(QString::fromLatin1(caption), box);
        return box;
    };
    QSpinBox* width = side("spnDiagramWidth", "&Width in pixels:", size.width());
    QSpinBox* height = side("spnDiagramHeight", "&Height in pixels:", size.height());
    auto* light = new QCheckBox(QStringLiteral("&Light background for paper"), &dialog);
    light->setObjectName(QStringLiteral("chkDiagramPaper"));
    light->setChecked(paper);
    form->addRow(light);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    form->addRow(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    width->setFocus();
    width->selectAll();
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    size = QSize(width->value(), height->value());
    paper = light->isChecked();
    return true;
}

} // namespace

void frmLumo::mnuExportDiagram_Click() {
    workbench::diagramexport::Diagram diagram = ucLumo->diagram();
    if (diagram.curves.isEmpty()) {
        tell(QStringLiteral("The plot area is empty: plot a position to have a diagram to export."),
             Dialogs::Icon::Information);
        return;
    }
    exportPicture(QStringLiteral("diagram"), [&](bool svg, QSize size, bool paper) {
        diagram.paper = paper;
        return svg ? workbench::diagramexport::svg(diagram, size)
                   : workbench::diagramexport::png(diagram, size);
    });
}

void frmLumo::exportSmile() {
    namespace smile = workbench::smile;
    ucLumo->settle();
    smile::Smile shown{ucLumo->impliedVolatilities(),
                       double(ucLumo->valuedPosition().underlyingPrice)};
    if (shown.empty()) {
        tell(QStringLiteral("No premium of the last plot implies a volatility: plot a position "
                            "whose premiums do to have a smile to export."),
             Dialogs::Icon::Information);
        return;
    }
    exportPicture(QStringLiteral("smile"), [&](bool svg, QSize size, bool paper) {
        shown.paper = paper;
        return svg ? smile::svg(shown, size) : smile::png(shown, size);
    });
}

void frmLumo::exportPicture(const QString& what,
                            const std::function<QByteArray(bool, QSize, bool)>& bytesOf) {
    QString caption = what;
    caption[0] = caption[0].toUpper();
    const QString path = askSaveName(QStringLiteral("Export ") + caption, kDiagramKinds);
    if (path.isEmpty()) {
        return;
    }
    const QString kind = QFileInfo(path).suffix().toLower();
    if (kind != QLatin1String("png") && kind != QLatin1String("svg")) {
        tell(QStringLiteral("A %1 is saved as a PNG image or an SVG drawing: end the file's "
                            "name in .png or .svg.")
                 .arg(what),
             Dialogs::Icon::Exclamation);
        return;
    }
    // The size is kept for the next export in this run.
    if (!askDiagramSize(diagramSize_, diagramForPaper_, this)) {
        return;
    }
    const QByteArray bytes = bytesOf(kind == QLatin1String("svg"), diagramSize_, diagramForPaper_);
    const QString why = bytes.isEmpty()
                            ? QStringLiteral("the picture could not be drawn at %1 x %2 pixels.")
                                  .arg(diagramSize_.width())
                                  .arg(diagramSize_.height())
                            : platform::writeWholeFile(path, bytes);
    if (!why.isEmpty()) {
        reportFailure(QStringLiteral("The ") + what, path, why);
    }
}

void frmLumo::mnuExportValues_Click() {
    const QString text = workbench::valuesexport::csv(*Grid1, ucLumo->beforeExpiryColumns());
    if (text.isEmpty()) {
        tell(QStringLiteral("There are no numeric values yet: press Plot to fill the values grid, "
                            "then export them."),
             Dialogs::Icon::Information);
        return;
    }
    const QString path = askSaveName(QStringLiteral("Export Numeric Values"), kValuesKind);
    if (path.isEmpty()) {
        return;
    }
    const QString why = platform::writeWholeFile(path, text.toUtf8());
    if (!why.isEmpty()) {
        reportFailure(QStringLiteral("The numeric values"), path, why);
    }
}

void frmLumo::mnuExportScenarios_Click() {
    const QString text = scenariosCsv();
    if (text.isEmpty()) {
        tell(QStringLiteral("No curve is drawn: plot a position to have scenarios to export."),
             Dialogs::Icon::Information);
        return;
    }
    const QString path = askSaveName(QStringLiteral("Export Scenarios"), kValuesKind);
    if (path.isEmpty()) {
        return;
    }
    const QString why = platform::writeWholeFile(path, text.toUtf8());
    if (!why.isEmpty()) {
        reportFailure(QStringLiteral("The scenarios"), path, why);
    }
}

} // namespace shell
