// The scenarios table copied as a student copies it, on a real X display with
// the desktop's own clipboard: another program reads the text back, as a
// spreadsheet pasting it would.
#include "fakes/FakeBrowser.h"
#include "fakes/FakePlatform.h"
#include "fakes/FakeWindowList.h"
#include "platform/QtClipboard.h"
#include "services/MTaskList.h"
#include "shell/frmLumo.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

namespace {

// This program run again with it prints the clipboard's text and ends.
const char* const kPrintClipboard = "--print-clipboard";

void recordEnd() {}

} // namespace

class TestScenariosXvfb : public QObject {
    Q_OBJECT
private slots:
    void the_table_copies_to_the_desktops_clipboard_with_its_header();
};

void TestScenariosXvfb::the_table_copies_to_the_desktops_clipboard_with_its_header() {
    fakes::FakePlatform fake;
    fakes::FakeBrowser browser;
    fakes::FakeWindowList windows;
    platform::QtClipboard clipboard;
    // The settings of a first start, never the user's.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    shell::frmLumo window(browser, clipboard,
                          services::MTaskList::initWebAddresses(windows, QStringList{}),
                          &recordEnd);
    window.Form_Load();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    // No window manager gives the focus: the window takes it itself.
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    // A straddle from the strategy list, as a student picks it.
    QTest::mouseClick(window.findChild<QComboBox*>(QStringLiteral("cmbStandard")), Qt::LeftButton);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Straddle"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QTRY_VERIFY(window.findChild<QPlainTextEdit*>(QStringLiteral("txtAnalysis"))
                    ->toPlainText()
                    .startsWith(QStringLiteral("Straddle (payoff)")));
    window.findChild<QAction*>(QStringLiteral("mnuScenarios"))->trigger();
    auto* table = window.findChild<QTableWidget*>(QStringLiteral("grdScenarios"));
    QTRY_VERIFY(table->isVisible() && table->rowCount() == 21);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                      table->visualItemRect(table->item(10, 2)).center());
    QTRY_COMPARE(QApplication::focusWidget(), table);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_C, Qt::ControlModifier);

    // The reader asks this program for the text over X: the loop must run.
    QProcess reader;
    reader.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(kPrintClipboard)});
    QTRY_VERIFY_WITH_TIMEOUT(reader.state() == QProcess::NotRunning, 20000);
    const QStringList lines =
        QString::fromUtf8(reader.readAllStandardOutput()).split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 23); // a header, 21 prices and the last line's end
    QCOMPARE(lines[0], QStringLiteral("Underlying\tPayoff with 30 days left\tPayoff with 24 days "
                                      "left\tPayoff with 18 days left\tPayoff with 12 days left\t"
                                      "Payoff with 6 days left\tPayoff at expiry\tNote"));
    for (int r = 0; r < 21; ++r) {
        const QStringList fields = lines[r + 1].split(u'\t');
        QCOMPARE(fields.size(), 8);
        QCOMPARE(fields[0], QString::number(100 - 5 * r) + QStringLiteral(".00"));
        QCOMPARE(fields[6], QString::number(std::abs(50 - 5 * r)) + QStringLiteral(".00"));
    }
    // Today, at today's price, the straddle is worth its two premiums.
    QCOMPARE(lines[11].section(u'\t', 1, 1), QStringLiteral("14.00"));
    QCOMPARE(lines[11].section(u'\t', 7), QStringLiteral("Today's price; Break-even 50.00"));
}

int main(int argc, char** argv) {
    if (argc > 1 && qstrcmp(argv[1], kPrintClipboard) == 0) {
        QGuiApplication reader(argc, argv);
        const QByteArray text = QGuiApplication::clipboard()->text().toUtf8();
        std::fwrite(text.constData(), 1, std::size_t(text.size()), stdout);
        return 0;
    }
    QApplication app(argc, argv);
    TestScenariosXvfb test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_scenarios_xvfb.moc"
