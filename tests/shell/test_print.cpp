// File > Print and File > Export PDF as a student uses them, the page read
// back from its PDF.
#include "ShellHarness.h"
#include "workbench/control/PdfText.h"
#include "workbench/control/wqzOptionPayoffs.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

using pdftext::checkOnePageOf;
using pdftext::flat;
using pdftext::text;
using platform::Dialogs;

// The main window on screen and active after its start-up.
struct PrintShell : Shell {
    PrintShell() {
        window->Form_Load();
        window->show();
        QApplication::setActiveWindow(window.get());
    }
    void trigger(const char* action) { this->action(action)->trigger(); }
};

// Answers the page size dialog as a user does, once it is up with the focus
// in it: the first letter of the paper picks it, Enter confirms.
void answerPaperDialog(Qt::Key letter, int tries = 500) {
    QTimer::singleShot(tries == 500 ? 0 : 10, [=] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        QWidget* focus = QApplication::focusWidget();
        if (!dialog || !focus || !dialog->isAncestorOf(focus)) {
            if (tries > 0) {
                answerPaperDialog(letter, tries - 1);
            } else if (dialog) {
                dialog->reject();
            }
            return;
        }
        QTest::keyClick(focus, letter);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
}

// Each text on one line of the page, in that order, blanks between.
bool hasLine(const QString& layoutText, const QStringList& cells) {
    QStringList quoted;
    for (const QString& c : cells) {
        quoted << QRegularExpression::escape(c);
    }
    return layoutText.contains(QRegularExpression(
        QStringLiteral("(^|\\s)") + quoted.join(QStringLiteral("\\s+")) + QStringLiteral("(\\s|$)"),
        QRegularExpression::MultilineOption));
}

} // namespace

class TestPrint : public QObject {
    Q_OBJECT
private slots:
    void the_pdf_export_holds_the_page_as_text_and_lines_data();
    void the_pdf_export_holds_the_page_as_text_and_lines();
    void printing_to_a_pdf_file_gives_the_same_page();
    void a_failed_write_says_why_and_creates_nothing_data();
    void a_failed_write_says_why_and_creates_nothing();
    void an_empty_plot_area_or_a_cancel_gives_no_page_data();
    void an_empty_plot_area_or_a_cancel_gives_no_page();
};

void TestPrint::the_pdf_export_holds_the_page_as_text_and_lines_data() {
    QTest::addColumn<Qt::Key>("letter");
    QTest::addColumn<QString>("paper");
    QTest::addColumn<bool>("panel");
    QTest::addColumn<bool>("probability");
    QTest::newRow("A4 with the inputs before expiry, the probability and theta")
        << Qt::Key_A << "A4" << true << true;
    QTest::newRow("Letter with the inputs before expiry") << Qt::Key_L << "letter" << true << false;
    QTest::newRow("A4 with the panel closed") << Qt::Key_A << "A4" << false << false;
}

void TestPrint::the_pdf_export_holds_the_page_as_text_and_lines() {
    QFETCH(Qt::Key, letter);
    QFETCH(QString, paper);
    QFETCH(bool, panel);
    QFETCH(bool, probability);
    PrintShell s;
    workbench::wqzOptionPayoffs* bench = s.window->workbench();
    // The start-up call's profit, with its break-even, re-scaled to be seen.
    s.fake.dialogs.script(Dialogs::answerYes);
    s.fake.dialogs.script(Dialogs::answerYes);
    for (const char* button : {"plotType(1)", "cmdClear", "cmdPlot"}) {
        QTest::mouseClick(s.child<QWidget>(button), Qt::LeftButton);
    }
    s.fake.dialogs.reset();
    workbench::beforeexpiry::Inputs in;
    in.daysLeft = 12;
    in.moreDaysLeft = {5, 20};
    in.american = true;
    in.dividendYield = 0.02;
    bench->setBeforeExpiry(in);
    if (!panel) {
        s.trigger("mnuBeforeExpiry");
    }
    if (probability) {
        s.trigger("mnuShowProbability");
        // Theta chosen under the diagram, from its list as a student does.
        QTest::mouseClick(s.child<QWidget>("cmbGreek"), Qt::LeftButton);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_T);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    }
    QCOMPARE(bench->beforeExpiryShown(), panel);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("page.pdf"));
    s.fake.dialogs.scriptSaveName(path);
    answerPaperDialog(letter);
    s.trigger("mnuExportPdf");
    QVERIFY(s.fake.dialogs.shown().isEmpty());
    QCOMPARE(s.fake.dialogs.saveFilters(), QStringList{"PDF document (*.pdf)"});
    checkOnePageOf(path, paper);

    const QString words = flat(text(path));
    const QString table = text(path, true);
    for (const char* expected : {"Naked Call", "Profit diagram", "Naked Call (profit)", "Position",
                                 "Call Qty", "Analysis", "Price of the underlying"}) {
        QVERIFY2(words.contains(QLatin1String(expected)), expected);
    }
    const workbench::document::Document shown = bench->document();
    QVERIFY(words.contains(QStringLiteral("Underlying: quantity %1, price today %2")
                               .arg(shown.underlyingQty, shown.underlyingPrice)));
    QCOMPARE(shown.rows.size(), 5);
    for (const workbench::document::Row& row : shown.rows) {
        QVERIFY2(hasLine(table, QStringList(row.cbegin(), row.cend())),
                 qPrintable(QStringList(row.cbegin(), row.cend()).join(u' ')));
    }
    QVERIFY(bench->analysisText().contains(QStringLiteral("Break-even: 60.50")));
    for (const QString& line : bench->analysisText().split(u'\n', Qt::SkipEmptyParts)) {
        QVERIFY2(words.contains(flat(line)), qPrintable(line));
    }
    const QStringList inputs = {
        "Before expiry",         "Days to expiry: 30",
        "Days left shown: 12",   "More dates (days left): 5, 20",
        "Interest rate: 5.00 %", "Dividend yield: 2.00 %",
        "Exercise: American",    "Volatility: implied from the premiums, 30.00 % where none is"};
    for (const QString& line : inputs) {
        QVERIFY2(words.contains(line) == panel, qPrintable(line));
    }
    // The curves before expiry go with the panel, in the legend as on screen.
    QCOMPARE(words.contains(QStringLiteral("Naked Call (profit) with 12 days left")), panel);
    // The law of the price at expiry, shaded with its deviations marked.
    QCOMPARE(words.contains(QStringLiteral("\u22121\u03c3")), probability);
    QCOMPARE(words.contains(QStringLiteral("+2\u03c3")), probability);
    QCOMPARE(words.contains(QStringLiteral("Theta a day")), probability);
}

void TestPrint::printing_to_a_pdf_file_gives_the_same_page() {
    PrintShell s;
    QTemporaryDir dir;
    const QString exported = dir.filePath(QStringLiteral("exported.pdf"));
    const QString printed = dir.filePath(QStringLiteral("printed.pdf"));
    s.fake.dialogs.scriptSaveName(exported);
    answerPaperDialog(Qt::Key_L);
    s.trigger("mnuExportPdf");
    // Ctrl+P where the student last clicked; the print dialog opens on the
    // paper chosen last.
    QApplication::setActiveWindow(s.window.get());
    QVERIFY(QTest::qWaitForWindowActive(s.window.get()));
    QTest::mouseClick(s.child<QWidget>("pbox"), Qt::LeftButton);
    s.fake.dialogs.scriptPrintToFile(printed);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_P, Qt::ControlModifier);
    QVERIFY(s.fake.dialogs.shown().isEmpty());
    QCOMPARE(s.fake.dialogs.offeredPages(), QList<QPageSize::PageSizeId>{QPageSize::Letter});
    checkOnePageOf(printed, QStringLiteral("letter"));
    QCOMPARE(text(printed, true), text(exported, true));

    // Another paper chosen in the print dialog lays the page out for it.
    s.fake.dialogs.scriptPrintToFile(printed, QPageSize::A4);
    s.trigger("mnuPrint");
    checkOnePageOf(printed, QStringLiteral("A4"));
    QVERIFY(flat(text(printed)).contains(QStringLiteral("Naked Call (payoff)")));
}

void TestPrint::a_failed_write_says_why_and_creates_nothing_data() {
    QTest::addColumn<QString>("command");
    QTest::newRow("Export PDF") << "mnuExportPdf";
    QTest::newRow("Print to a PDF file") << "mnuPrint";
}

void TestPrint::a_failed_write_says_why_and_creates_nothing() {
    QFETCH(QString, command);
    PrintShell s;
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("no such folder"));
    const QString path = missing + QStringLiteral("/page.pdf");
    if (command == u"mnuPrint") {
        s.fake.dialogs.scriptPrintToFile(path);
    } else {
        s.fake.dialogs.scriptSaveName(path);
        answerPaperDialog(Qt::Key_A);
    }
    s.fake.dialogs.script(Dialogs::answerOk);
    s.trigger(qPrintable(command));
    QCOMPARE(s.fake.dialogs.shown().size(), 1);
    const auto& shown = s.fake.dialogs.shown()[0];
    QCOMPARE(shown.icon, Dialogs::Icon::Critical);
    QVERIFY2(shown.text.contains(path) && shown.text.contains(QStringLiteral("could not be")),
             qPrintable(shown.text));
    QVERIFY(!QFile::exists(missing));
    QCOMPARE(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
    // The window goes on: the next page is written.
    const QString next = dir.filePath(QStringLiteral("next.pdf"));
    s.fake.dialogs.scriptPrintToFile(next);
    s.trigger("mnuPrint");
    QVERIFY(QFile::exists(next));
}

void TestPrint::an_empty_plot_area_or_a_cancel_gives_no_page_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("cleared");
    QTest::newRow("Print with the plot area empty") << "mnuPrint" << true;
    QTest::newRow("Export PDF with the plot area empty") << "mnuExportPdf" << true;
    QTest::newRow("Print cancelled") << "mnuPrint" << false;
    QTest::newRow("Export PDF cancelled") << "mnuExportPdf" << false;
}

void TestPrint::an_empty_plot_area_or_a_cancel_gives_no_page() {
    QFETCH(QString, command);
    QFETCH(bool, cleared);
    PrintShell s;
    if (cleared) {
        QTest::mouseClick(s.child<QWidget>("cmdClear"), Qt::LeftButton);
        s.fake.dialogs.script(Dialogs::answerOk);
    } else if (command == u"mnuPrint") {
        s.fake.dialogs.scriptPrintToFile(QString());
    } else {
        s.fake.dialogs.scriptSaveName(QString());
    }
    s.trigger(qPrintable(command));
    QCOMPARE(s.fake.dialogs.pendingAnswers(), 0);
    QCOMPARE(s.fake.dialogs.shown().size(), cleared ? 1 : 0);
    if (cleared) {
        QVERIFY(s.fake.dialogs.shown()[0].text.contains(QStringLiteral("plot a position")));
        QVERIFY(s.fake.dialogs.saveFilters().isEmpty());
        QVERIFY(s.fake.dialogs.offeredPages().isEmpty());
    }
}

QTEST_MAIN(TestPrint)
#include "test_print.moc"
