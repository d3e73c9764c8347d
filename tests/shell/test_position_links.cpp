// A position handed from one window to another as a link: copied with Edit >
// Copy Link to Position, then typed into the address box or pasted with
// Paste Option Data in a fresh window, it loads the same position with the
// same inputs; a wrong link is told, and another site's page still cannot
// use the workbench.
#include "ShellHarness.h"

#include "platform/Numbers.h"
#include "workbench/model/Strategies.h"
#include "workbench/model/WorkbenchLink.h"

#include <QClipboard>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>

namespace links = workbench::links;

namespace {

const QString kTutorialPage =
    QStringLiteral("http://www.wqzmodules.example/public/wqzmodhtm/wqzLumo/page21.htm");

// How a position is set up in the window that shares it.
enum class Setup { Strategy, PastedTable };

workbench::beforeexpiry::Inputs someInputs() {
    workbench::beforeexpiry::Inputs in;
    in.daysToday = 60;
    in.daysLeft = 25;
    in.rate = 0.0375;
    in.implied = false;
    in.volatility = 0.4125;
    in.dividendYield = 0.01;
    in.american = true;
    in.moreDaysLeft = {50, 40};
    return in;
}

// Twelve strikes as whole grid rows, quantities included, as a spreadsheet
// copies them.
QString twelveRows() {
    QString table;
    for (int r = 0; r < 12; ++r) {
        table += QStringLiteral("%1\t%2\t%3\t%4\t%5\r\n")
                     .arg(r == 2 ? 2 : 0)
                     .arg(20.37 - 1.5 * r, 0, 'f', 2)
                     .arg(30 + 2.5 * r)
                     .arg(r % 5 == 1 ? -1 : 0)
                     .arg(0.12 + 1.25 * r, 0, 'f', 2);
    }
    return table;
}

// Chooses an Edit menu command by its underlined letter, from the keyboard,
// as a student does.
void chooseFromEdit(Shell& s, Qt::Key letter) {
    s.window->show();
    s.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(s.window.get()));
    QTest::mouseClick(s.addressBox()->lineEdit(), Qt::LeftButton);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QTest::keyClick(s.window.get(), Qt::Key_E, Qt::AltModifier);
    QTRY_VERIFY(qobject_cast<QMenu*>(QApplication::activePopupWidget()));
    QTest::keyClick(QApplication::activePopupWidget(), letter);
    QTRY_VERIFY(!QApplication::activePopupWidget());
}

// Everything a link should carry, from the window's own state.
void compareWhole(const Shell& loaded, const Shell& shared) {
    const workbench::wqzOptionPayoffs& a = *loaded.window->workbench();
    const workbench::wqzOptionPayoffs& b = *shared.window->workbench();
    const workbench::PositionState& p = a.position();
    const workbench::PositionState& q = b.position();
    QCOMPARE(p.rowCount(), q.rowCount());
    QCOMPARE(p.strike, q.strike);
    QCOMPARE(p.callPrice, q.callPrice);
    QCOMPARE(p.putPrice, q.putPrice);
    QCOMPARE(p.callQty, q.callQty);
    QCOMPARE(p.putQty, q.putQty);
    QCOMPARE(p.takesPart, q.takesPart);
    QCOMPARE(p.underlyingQty, q.underlyingQty);
    QCOMPARE(p.underlyingPrice, q.underlyingPrice);
    QCOMPARE(p.costPerOption, q.costPerOption);
    QCOMPARE(p.costPerUnit, q.costPerUnit);
    QVERIFY(a.beforeExpiry() == b.beforeExpiry());
    QVERIFY(a.hasCurve());
    QCOMPARE(a.lastKind(), b.lastKind());
    QCOMPARE(a.lastRange().xmin, b.lastRange().xmin);
    QCOMPARE(a.lastRange().xmax, b.lastRange().xmax);
    QCOMPARE(a.strategyHeld(), b.strategyHeld());
    // The boxes and cells, each as a number, the range's included.
    QVERIFY(*links::shareOf(a.document()).load == *links::shareOf(b.document()).load);
    QCOMPARE(a.plotValue(), b.plotValue());
}

} // namespace

class TestPositionLinks : public QObject {
    Q_OBJECT
private slots:
    void init() { qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit()); }
    void a_copied_link_loads_the_same_position_every_way_in_data();
    void a_copied_link_loads_the_same_position_every_way_in();
    void a_wrong_link_is_told_every_way_in_data();
    void a_wrong_link_is_told_every_way_in();
    void another_sites_page_still_cannot_load_a_link();
    void a_position_a_link_cannot_carry_is_told_and_nothing_copied();
    void a_position_too_large_for_a_link_is_offered_a_file();

private:
    QTemporaryDir config;
};

void TestPositionLinks::a_copied_link_loads_the_same_position_every_way_in_data() {
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<QString>("strategy");
    QTest::addColumn<bool>("profit");
    for (const workbench::Strategy& s : workbench::standardStrategies()) {
        const QString name = QString::fromUtf16(s.name);
        QTest::addRow("%s, payoff", qPrintable(name)) << Setup::Strategy << name << false;
        QTest::addRow("%s, profit", qPrintable(name)) << Setup::Strategy << name << true;
    }
    QTest::newRow("a pasted table of twelve rows") << Setup::PastedTable << QString() << true;
}

void TestPositionLinks::a_copied_link_loads_the_same_position_every_way_in() {
    QFETCH(Setup, setup);
    QFETCH(QString, strategy);
    QFETCH(bool, profit);
    Shell shared;
    shared.window->Form_Load();
    shared.browser.finish();
    workbench::wqzOptionPayoffs& bench = *shared.window->workbench();
    // The inputs before expiry as a page's link sets them, so that the
    // panel shows what the workbench holds.
    const links::Reading inputs = links::read(
        QUrl(QStringLiteral("wqz-workbench:load?position=u:0&diagram=payoff&days=60&daysLeft=25&"
                            "rate=3.75&dividend=1&exercise=american&volatility=41.25&"
                            "dates=50,40")),
        5);
    bench.followLink(*inputs.load);
    QVERIFY(bench.beforeExpiry() == someInputs());
    const QString diagram = profit ? QStringLiteral("profit") : QStringLiteral("payoff");
    if (setup == Setup::Strategy) {
        const links::Reading reading = links::read(
            QUrl(QStringLiteral("wqz-workbench:load?strategy=%1&diagram=%2&price=52.5&"
                                "costOption=0.65&costUnit=0.0125")
                     .arg(QString::fromUtf8(QUrl::toPercentEncoding(strategy)), diagram)),
            5);
        QVERIFY2(reading.load, qPrintable(reading.problem));
        bench.followLink(*reading.load);
    } else {
        shared.clipboard.setText(twelveRows());
        shared.action("mnuPasteOpData")->trigger();
        // Choosing the diagram and Plot each offer to re-scale to the new
        // table's values.
        shared.fake.dialogs.script(platform::Dialogs::answerYes);
        shared.fake.dialogs.script(platform::Dialogs::answerYes);
        QTest::mouseClick(shared.child<QRadioButton>(profit ? "plotType(1)" : "plotType(0)"),
                          Qt::LeftButton);
        QTest::mouseClick(shared.child<QPushButton>("cmdPlot"), Qt::LeftButton);
        QCOMPARE(bench.position().rowCount(), 12);
    }
    QVERIFY(bench.hasCurve());

    const qsizetype asked = shared.fake.dialogs.shown().size();
    chooseFromEdit(shared, Qt::Key_L);
    const QString link = shared.clipboard.text();
    QVERIFY2(link.startsWith(QStringLiteral("wqz-workbench:load?rows=")), qPrintable(link));
    QCOMPARE(shared.fake.dialogs.shown().size(), asked);

    // Typed into the address box of a window that shows no tutorial page.
    Shell typed;
    typed.window->Form_Load();
    typed.browser.finish();
    const qsizetype navigations = typed.browser.navigations.size();
    // Were the link sent to the browser as an address, its page would end.
    typed.whenNavigating([&typed] { typed.browser.finish(); });
    typed.enterAddress(link);
    compareWhole(typed, shared);
    QCOMPARE(typed.browser.navigations.size(), navigations);
    QCOMPARE(typed.addressBox()->currentText(), typed.browser.LocationURL());
    QVERIFY(typed.fake.dialogs.shown().isEmpty());

    // Pasted with Paste Option Data, over a position of its own.
    Shell pasted;
    pasted.window->Form_Load();
    pasted.browser.finish();
    pasted.clipboard.setText(twelveRows());
    pasted.action("mnuPasteOpData")->trigger();
    pasted.clipboard.setText(link);
    pasted.action("mnuPasteOpData")->trigger();
    compareWhole(pasted, shared);
    QVERIFY(pasted.fake.dialogs.shown().isEmpty());
}

void TestPositionLinks::a_wrong_link_is_told_every_way_in_data() {
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("problem");
    const QString load = QStringLiteral("wqz-workbench:load?");
    QTest::newRow("a premium of five decimals")
        << load + "rows=40:16.12345:0.5&position=c1:1&diagram=profit"
        << "The link's row 1, \"40:16.12345:0.5\", is not";
    QTest::newRow("a leg beyond its rows") << load + "rows=40:16:0.5&position=c2:1&diagram=payoff"
                                           << "The grid has no row 2.";
    QTest::newRow("a quantity too large") << load + "rows=40:16:0.5&position=c1:5000&diagram=payoff"
                                          << "\"c1:5000\" is not a leg of a position.";
    QTest::newRow("too long") << load + "position=" + QString(links::longestLink, u'u')
                              << "The link is too long.";
    QTest::newRow("an exercise's answer") << "wqz-workbench:check?exercise=straddle-1&answer=36"
                                          << "Only a link to a position";
}

void TestPositionLinks::a_wrong_link_is_told_every_way_in() {
    QFETCH(QString, link);
    QFETCH(QString, problem);
    enum class Way { Typed, PastedInBox, PasteOptionData };
    for (const Way way : {Way::Typed, Way::PastedInBox, Way::PasteOptionData}) {
        if (way == Way::Typed && link.size() > 1000) {
            continue; // nobody types that; it is pasted
        }
        Shell s;
        s.window->Form_Load();
        s.browser.finish();
        const QStringList before = positionTexts(s);
        s.fake.dialogs.script(platform::Dialogs::answerOk);
        if (way == Way::Typed) {
            s.enterAddress(link);
        } else if (way == Way::PastedInBox) {
            s.clipboard.setText(link);
            if (link.size() > s.addressBox()->lineEdit()->maxLength()) {
                s.fake.dialogs.script(platform::Dialogs::answerOk);
            }
            s.window->show();
            s.window->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(s.window.get()));
            QTest::mouseClick(s.addressBox()->lineEdit(), Qt::LeftButton);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_V, Qt::ControlModifier);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        } else {
            s.clipboard.setText(link);
            s.action("mnuPasteOpData")->trigger();
        }
        // A paste longer than the box takes is cut, and that is said first.
        const bool cut =
            way == Way::PastedInBox && link.size() > s.addressBox()->lineEdit()->maxLength();
        QCOMPARE(s.fake.dialogs.shown().size(), cut ? 2 : 1);
        const QString told = s.fake.dialogs.shown().constLast().text;
        QVERIFY2(told.startsWith(QStringLiteral("The link cannot be followed. ")) &&
                     told.contains(problem),
                 qPrintable(told.left(300)));
        QCOMPARE(positionTexts(s), before);
    }
}

void TestPositionLinks::another_sites_page_still_cannot_load_a_link() {
    Shell s;
    s.window->Form_Load();
    s.browser.finish();
    s.browser.navigate(QStringLiteral("http://www.elsewhere.example/"));
    s.browser.finish();
    const QStringList before = positionTexts(s);
    s.fake.dialogs.script(platform::Dialogs::answerOk);
    emit s.browser.ProgramLink(
        QStringLiteral("wqz-workbench:load?rows=40:16:0.5&position=c1:1&diagram=payoff"));
    QCOMPARE(s.fake.dialogs.shown().size(), 1);
    QVERIFY(s.fake.dialogs.shown()[0].text.contains(QStringLiteral("Only the tutorial's own")));
    QCOMPARE(positionTexts(s), before);
    // The tutorial's own page brings its rows too.
    s.browser.navigate(kTutorialPage);
    s.browser.finish();
    emit s.browser.ProgramLink(
        QStringLiteral("wqz-workbench:load?rows=40:16:0.5;42.5:14:1&position=p2:2&diagram=payoff"));
    QCOMPARE(s.window->workbench()->position().rowCount(), 2);
    QCOMPARE(s.window->workbench()->position().putQty[2], 2.0f);
    QCOMPARE(s.window->workbench()->position().strike[2], 42.5f);
}

void TestPositionLinks::a_position_a_link_cannot_carry_is_told_and_nothing_copied() {
    Shell s;
    s.window->Form_Load();
    s.browser.finish();
    s.clipboard.setText(QStringLiteral("0\t16\t40\t1500\t0.5\r\n"));
    s.action("mnuPasteOpData")->trigger();
    s.clipboard.setText(QStringLiteral("kept"));
    s.fake.dialogs.script(platform::Dialogs::answerOk);
    chooseFromEdit(s, Qt::Key_L);
    QCOMPARE(s.fake.dialogs.shown().size(), 1);
    QVERIFY2(
        s.fake.dialogs.shown()[0].text.contains(QStringLiteral("row 1's put quantity is 1500")),
        qPrintable(s.fake.dialogs.shown()[0].text));
    QCOMPARE(s.clipboard.text(), QStringLiteral("kept"));
}

void TestPositionLinks::a_position_too_large_for_a_link_is_offered_a_file() {
    Shell s;
    s.window->Form_Load();
    s.browser.finish();
    QString table;
    for (int r = 0; r < 3000; ++r) {
        table += QStringLiteral("0\t1234.56\t%1\t1\t987.65\r\n").arg(40 + r);
    }
    s.clipboard.setText(table);
    s.action("mnuPasteOpData")->trigger();
    s.clipboard.setText(QStringLiteral("kept"));
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("large.wqzpos"));
    s.fake.dialogs.script(platform::Dialogs::answerYes);
    s.fake.dialogs.scriptSaveName(file);
    chooseFromEdit(s, Qt::Key_L);
    QCOMPARE(s.fake.dialogs.shown().size(), 1);
    QVERIFY2(s.fake.dialogs.shown()[0].text.startsWith(
                 QStringLiteral("The position is too large to copy as a link.")),
             qPrintable(s.fake.dialogs.shown()[0].text));
    QVERIFY(s.fake.dialogs.shown()[0].text.endsWith(
        QStringLiteral("Save it as a position file instead?")));
    QCOMPARE(s.clipboard.text(), QStringLiteral("kept"));
    QVERIFY(QFileInfo(file).size() > 0);
}

QTEST_MAIN(TestPositionLinks)
#include "test_position_links.moc"
