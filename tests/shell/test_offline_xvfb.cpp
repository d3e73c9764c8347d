// The program's bundled pages in the real browser, on a virtual display, with
// no network at all: every name outside the maker's sites fails to resolve,
// and the maker's sites are answered by the program's own loopback server,
// pointed to exactly as the program does it.
#include "BrowserHarness.h"
#include "offline/SiteServer.h"
#include "services/MTaskList.h"
#include "services/Sites.h"
#include "workbench/control/wqzOptionPayoffs.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QRadioButton>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>
#include <optional>

namespace {

using harness::kPatienceMs;
using harness::Shell;

// A launcher's window for site 3 with school code "abcd".
const QString kLaunchTitle = QStringLiteral("wqz=abcd;Lesson 4;Straddles;Spring;Room 12;") +
                             services::sites::host(services::sites::Site::Modules);

// The modules' folder of site 3, where the launcher above sends the start-up.
const QString kModules = QStringLiteral("http://") +
                         services::sites::host(services::sites::Site::Modules) +
                         QStringLiteral("/public/wqzmodhtm/");

QString modulePage(const QString& page) {
    return kModules + QStringLiteral("wqzLumo/") + page;
}

} // namespace

class TestOfflineXvfb : public QObject {
    Q_OBJECT
private slots:
    // Every case starts from a window that has shown the module's first page.
    void init();
    void cleanup();

    void next_back_and_forward_move_through_the_pages();
    void the_help_and_home_page_commands_load_their_pages();
    void a_folder_address_leaves_its_first_page_in_the_box();
    void an_unknown_address_on_a_makers_site_shows_the_offline_page();
    void try_it_loads_the_workbench_and_the_page_stays_data();
    void try_it_loads_the_workbench_and_the_page_stays();
    void an_answer_typed_in_the_page_is_judged_and_the_contents_list_it();
    void a_wrong_answer_gets_a_hint_then_the_answer_kept_across_a_restart();

private:
    // A window that has shown the module's first page, keeping the exercises'
    // progress under `dataHome` (a scratch folder of its own if empty).
    void start(const QString& dataHome = {});
    // Clicks the element (a script's expression) with the mouse.
    void click(const QString& element);
    // Types the answer into the exercise's box and presses Enter, as a
    // student does.
    void answer(const char* exercise, const QString& typed);
    // The text of the element a script's expression gives, or of the first
    // element a selector finds; empty if there is none.
    QString text(const QString& selector);
    // The state the contents page lists for the exercise.
    QString listed(const char* exercise);
    // The script's value in the page shown; invalid if it gives none in time.
    QVariant evaluate(const QString& script);
    // Scrolls the element (a script's expression) into view and gives a point
    // inside it, in the view.
    QPoint pointIn(const QString& element);
    void open(const QString& address);
    QString title() const { return s->view()->title(); }
    void follow(const char* rel, const QString& to);
    void trigger(const char* action);

    std::unique_ptr<Shell> s;
};

void TestOfflineXvfb::init() {
    start();
}

void TestOfflineXvfb::start(const QString& dataHome) {
    // A failed start leaves its window behind; it must be gone before the
    // next one installs its facilities.
    s.reset();
    s = std::make_unique<Shell>(QStringList{kLaunchTitle}, dataHome);
    s->window->Form_Load();
    s->window->show();
    QVERIFY(QTest::qWaitForWindowExposed(s->window.get(), kPatienceMs));
    s->browser.createView();
    QVERIFY(s->view() != nullptr);
    QCOMPARE(s->addresses.schoolCode, QStringLiteral("abcd"));
    QTRY_COMPARE_WITH_TIMEOUT(s->browser.LocationURL(), modulePage(QStringLiteral("page1.htm")),
                              kPatienceMs);
    QTRY_COMPARE_WITH_TIMEOUT(s->browser.Tag(), QStringLiteral("alldone"), kPatienceMs);
    QTRY_COMPARE_WITH_TIMEOUT(title(), QStringLiteral("Option Payoffs: Payoff and profit diagrams"),
                              kPatienceMs);
}

void TestOfflineXvfb::cleanup() {
    if (s) {
        QVERIFY(s->facilities.dialogs.shown().isEmpty());
    }
    s.reset();
}

// Clicks the page's link of that relation with the mouse, as a reader does,
// and waits until the page it leads to has loaded. (A click made by script
// would not do: the engine leaves pages reached without a user's gesture out
// of Back and Forward.)
void TestOfflineXvfb::follow(const char* rel, const QString& to) {
    QVariant centre;
    s->view()->page()->runJavaScript(
        QStringLiteral("(function() { const r = document.querySelector('a[rel=\"%1\"]')"
                       ".getBoundingClientRect(); return [r.left + r.width / 2, r.top + "
                       "r.height / 2]; })()")
            .arg(QLatin1String(rel)),
        [&centre](const QVariant& result) { centre = result; });
    QTRY_VERIFY_WITH_TIMEOUT(centre.isValid(), kPatienceMs);
    const QVariantList xy = centre.toList();
    QCOMPARE(xy.size(), 2);
    const QPoint at(qRound(xy[0].toDouble()), qRound(xy[1].toDouble()));
    QWidget* surface = s->view()->focusProxy();
    QVERIFY(surface);
    const int before = s->completions;
    QTest::mouseClick(surface, Qt::LeftButton, {}, at);
    QTRY_COMPARE_WITH_TIMEOUT(s->browser.LocationURL(), to, kPatienceMs);
    QTRY_VERIFY_WITH_TIMEOUT(s->completions > before, kPatienceMs);
}

QVariant TestOfflineXvfb::evaluate(const QString& script) {
    // Shared, for the answer may come after the wait has given up.
    auto result = std::make_shared<std::optional<QVariant>>();
    s->view()->page()->runJavaScript(script, [result](const QVariant& r) { *result = r; });
    (void)QTest::qWaitFor([&result] { return result->has_value(); }, kPatienceMs);
    return result->value_or(QVariant());
}

QPoint TestOfflineXvfb::pointIn(const QString& element) {
    const QVariantList xy =
        evaluate(QStringLiteral("(function() { const e = %1;"
                                " e.scrollIntoView(); const r = e.getBoundingClientRect();"
                                " return [r.left + 8, r.top + r.height / 2]; })()")
                     .arg(element))
            .toList();
    return xy.size() == 2 ? QPoint(qRound(xy[0].toDouble()), qRound(xy[1].toDouble())) : QPoint();
}

void TestOfflineXvfb::click(const QString& element) {
    const QPoint at = pointIn(element);
    QVERIFY2(!at.isNull(), qPrintable(element));
    QTest::mouseClick(s->view()->focusProxy(), Qt::LeftButton, {}, at);
}

void TestOfflineXvfb::answer(const char* exercise, const QString& typed) {
    click(QStringLiteral("document.getElementById('%1-answer')").arg(QLatin1String(exercise)));
    QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), s->view()->focusProxy(), kPatienceMs);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(QApplication::focusWidget(), typed);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
}

QString TestOfflineXvfb::text(const QString& selector) {
    return evaluate(QStringLiteral("(function() { const e = document.querySelector(%1);"
                                   " return e ? e.textContent : ''; })()")
                        .arg(QStringLiteral("'") + selector + u'\''))
        .toString();
}

QString TestOfflineXvfb::listed(const char* exercise) {
    return text(QStringLiteral("li[data-exercise=\"%1\"] .state").arg(QLatin1String(exercise)));
}

void TestOfflineXvfb::open(const QString& address) {
    const int loaded = s->completions;
    s->browser.navigate(address);
    QTRY_COMPARE_WITH_TIMEOUT(s->browser.LocationURL(), address, kPatienceMs);
    QTRY_VERIFY_WITH_TIMEOUT(s->completions > loaded, kPatienceMs);
}

void TestOfflineXvfb::trigger(const char* action) {
    auto* item = s->window->findChild<QAction*>(QString::fromLatin1(action));
    QVERIFY(item);
    item->trigger();
}

void TestOfflineXvfb::next_back_and_forward_move_through_the_pages() {
    const QString second = modulePage(QStringLiteral("page2.htm"));
    const QString third = modulePage(QStringLiteral("page3.htm"));
    follow("next", second);
    QTRY_COMPARE_WITH_TIMEOUT(title(), QStringLiteral("Option Payoffs: The underlying alone"),
                              kPatienceMs);
    follow("next", third);
    follow("prev", second);

    // The history holds page 1, 2, 3, 2.
    const auto press = [this](const char* button, const QString& to) {
        const int before = s->completions;
        QTest::mouseClick(s->button(button), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(s->browser.LocationURL(), to, kPatienceMs);
        QTRY_VERIFY_WITH_TIMEOUT(s->completions > before, kPatienceMs);
    };
    press("cmdBotBack", third);
    press("cmdBotBack", second);
    press("cmdBotForward", third);
    QTRY_VERIFY_WITH_TIMEOUT(title().startsWith(QStringLiteral("Option Payoffs: ")), kPatienceMs);
}

void TestOfflineXvfb::the_help_and_home_page_commands_load_their_pages() {
    trigger("mnuHelpModule");
    QTRY_COMPARE_WITH_TIMEOUT(s->browser.LocationURL(), s->addresses.strHelpURL, kPatienceMs);
    QTRY_COMPARE_WITH_TIMEOUT(title(), QStringLiteral("How to use the modules"), kPatienceMs);

    trigger("mnuHomePage");
    QTRY_COMPARE_WITH_TIMEOUT(s->browser.LocationURL(), s->addresses.strHomeURL, kPatienceMs);
    QTRY_COMPARE_WITH_TIMEOUT(title(), QStringLiteral("Home page of school abcd"), kPatienceMs);
}

void TestOfflineXvfb::a_folder_address_leaves_its_first_page_in_the_box() {
    const QString folder = kModules + QStringLiteral("wqzLumo/");
    s->enterAddress(folder);
    QVERIFY(!s->waitCutShort);
    const QString first = modulePage(QStringLiteral("page1.htm"));
    QCOMPARE(s->browser.LocationURL(), first);
    QCOMPARE(s->addressBox()->currentText(), first);
    QCOMPARE(s->entriesFor(first), 1);
    QCOMPARE(s->entriesFor(folder), 0);
}

void TestOfflineXvfb::an_unknown_address_on_a_makers_site_shows_the_offline_page() {
    const QString missing = kModules + QStringLiteral("gone.htm");
    s->enterAddress(missing);
    QVERIFY(!s->waitCutShort);
    QCOMPARE(s->browser.LocationURL(), missing);
    QTRY_COMPARE_WITH_TIMEOUT(title(), QStringLiteral("Not available offline"), kPatienceMs);
    QCOMPARE(s->addressBox()->currentText(), missing);
}

int main(int argc, char* argv[]) {
    return harness::offlineMain<TestOfflineXvfb>(argc, argv);
}

#include "test_offline_xvfb.moc"

void TestOfflineXvfb::try_it_loads_the_workbench_and_the_page_stays_data() {
    QTest::addColumn<QString>("page");
    QTest::addColumn<int>("link");      // which of the page's "Try it" links
    QTest::addColumn<QString>("curve"); // the analysis's first line afterwards
    QTest::newRow("a strategy") << "page21.htm" << 0 << "Straddle (profit)";
    QTest::newRow("legs, the page's second figure")
        << "page5.htm" << 1 << "Custom position (profit)";
}

void TestOfflineXvfb::try_it_loads_the_workbench_and_the_page_stays() {
    QFETCH(QString, page);
    QFETCH(int, link);
    QFETCH(QString, curve);
    const QString address = modulePage(page);
    open(address);
    const QPoint at = pointIn(QStringLiteral("document.querySelectorAll('p.try a')[%1]").arg(link));
    QVERIFY(!at.isNull());
    QTest::mouseClick(s->view()->focusProxy(), Qt::LeftButton, {}, at);
    workbench::wqzOptionPayoffs* bench = s->window->workbench();
    QTRY_VERIFY_WITH_TIMEOUT(bench->analysisText().startsWith(curve + u'\n'), kPatienceMs);
    QVERIFY(bench->findChild<QRadioButton*>(QStringLiteral("plotType(1)"))->isChecked());
    // Nothing was loaded: the page stays, and Back goes to the page before it.
    QTest::qWait(300);
    QCOMPARE(s->browser.LocationURL(), address);
    QTest::mouseClick(s->button("cmdBotBack"), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(s->browser.LocationURL(), modulePage(QStringLiteral("page1.htm")),
                              kPatienceMs);
}

void TestOfflineXvfb::an_answer_typed_in_the_page_is_judged_and_the_contents_list_it() {
    open(modulePage(QStringLiteral("page21.htm")));
    s->window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(s->window.get(), kPatienceMs));
    const QString verdict = QStringLiteral("#straddle-1 .verdict");
    answer("straddle-1", QStringLiteral("35"));
    QTRY_COMPARE_WITH_TIMEOUT(
        text(verdict), QStringLiteral("Not right: the lower break-even is not 35."), kPatienceMs);
    answer("straddle-1", QStringLiteral("36.01"));
    QTRY_COMPARE_WITH_TIMEOUT(text(verdict),
                              QStringLiteral("Right: the lower break-even is 36.00."), kPatienceMs);
    QCOMPARE(s->browser.LocationURL(), modulePage(QStringLiteral("page21.htm")));

    open(modulePage(QStringLiteral("contents.htm")));
    QTRY_COMPARE_WITH_TIMEOUT(listed("straddle-1"), QStringLiteral("answered right"), kPatienceMs);
    QCOMPARE(listed("straddle-2"), QStringLiteral("not tried yet"));
}

void TestOfflineXvfb::a_wrong_answer_gets_a_hint_then_the_answer_kept_across_a_restart() {
    QTemporaryDir data;
    start(data.path());
    if (QTest::currentTestFailed()) {
        return;
    }
    open(modulePage(QStringLiteral("page21.htm")));
    s->window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(s->window.get(), kPatienceMs));
    // The facts the page keeps closed until its exercises are done.
    evaluate(QStringLiteral("document.querySelector('details.facts') || document.body"
                            ".appendChild(document.createElement('details')).classList"
                            ".add('facts');"));
    const QString facts = QStringLiteral("document.querySelector('details.facts').open");

    // A first wrong answer: the hint, its Try it link, "Show the answer",
    // and no true value anywhere in the exercise.
    answer("straddle-1", QStringLiteral("35"));
    QTRY_COMPARE_WITH_TIMEOUT(text(QStringLiteral("#straddle-1 .verdict")),
                              QStringLiteral("Not right: the lower break-even is not 35."),
                              kPatienceMs);
    QVERIFY(text(QStringLiteral("#straddle-1 p.hint"))
                .startsWith(QStringLiteral("Plot the profit diagram and read the \"Break-even\"")));
    QCOMPARE(text(QStringLiteral("#straddle-1 p.hint a")),
             QStringLiteral("Try it on the workbench"));
    QCOMPARE(text(QStringLiteral("#straddle-1 button.show-answer")),
             QStringLiteral("Show the answer"));
    QVERIFY(!text(QStringLiteral("#straddle-1")).contains(QStringLiteral("36.00")));
    // Its link sets up the situation, as the page's own do.
    click(QStringLiteral("document.querySelector('#straddle-1 p.hint a')"));
    QTRY_VERIFY_WITH_TIMEOUT(
        s->window->workbench()->analysisText().startsWith(QStringLiteral("Straddle (profit)\n")),
        kPatienceMs);
    QCOMPARE(s->browser.LocationURL(), modulePage(QStringLiteral("page21.htm")));

    // A second wrong answer shows the true one.
    answer("straddle-1", QStringLiteral("34"));
    QTRY_COMPARE_WITH_TIMEOUT(text(QStringLiteral("#straddle-1 p.shown")),
                              QStringLiteral("The answer is 36.00."), kPatienceMs);
    QCOMPARE(evaluate(facts).toBool(), false);
    // Or the student asks for it.
    answer("straddle-2", QStringLiteral("12"));
    QTRY_VERIFY_WITH_TIMEOUT(!text(QStringLiteral("#straddle-2 p.hint")).isEmpty(), kPatienceMs);
    QVERIFY(!text(QStringLiteral("#straddle-2")).contains(QStringLiteral("14.00")));
    click(QStringLiteral("document.querySelector('#straddle-2 button.show-answer')"));
    QTRY_COMPARE_WITH_TIMEOUT(text(QStringLiteral("#straddle-2 p.shown")),
                              QStringLiteral("The answer is 14.00."), kPatienceMs);
    QTRY_COMPARE_WITH_TIMEOUT(evaluate(facts).toBool(), true, kPatienceMs);

    open(modulePage(QStringLiteral("page22.htm")));
    answer("strangle-1", QStringLiteral("67"));
    QTRY_VERIFY_WITH_TIMEOUT(text(QStringLiteral("#strangle-1 .verdict")).startsWith(u"Right"),
                             kPatienceMs);
    answer("strangle-2", QStringLiteral("7"));
    QTRY_VERIFY_WITH_TIMEOUT(text(QStringLiteral("#strangle-2 .verdict")).startsWith(u"Not right"),
                             kPatienceMs);

    const auto listsTheProgress = [this] {
        open(modulePage(QStringLiteral("contents.htm")));
        QTRY_COMPARE_WITH_TIMEOUT(listed("straddle-1"), QStringLiteral("answer shown"),
                                  kPatienceMs);
        QCOMPARE(listed("straddle-2"), QStringLiteral("answer shown"));
        QCOMPARE(listed("strangle-1"), QStringLiteral("answered right"));
        QCOMPARE(listed("strangle-2"), QStringLiteral("tried, not yet right"));
        QCOMPARE(listed("strip-1"), QStringLiteral("not tried yet"));
    };
    listsTheProgress();
    // The program closes and starts again for the same user.
    start(data.path());
    if (QTest::currentTestFailed()) {
        return;
    }
    listsTheProgress();

    // Start over asks first: No keeps everything.
    const QString startOver = QStringLiteral("document.getElementById('start-over')");
    s->facilities.dialogs.script(platform::Dialogs::answerNo);
    click(startOver);
    QTRY_COMPARE_WITH_TIMEOUT(s->facilities.dialogs.shown().size(), 1, kPatienceMs);
    QCOMPARE(s->facilities.dialogs.shown()[0].buttons, platform::Dialogs::Buttons::YesNoDefaultNo);
    QVERIFY(s->facilities.dialogs.shown()[0].text.startsWith(
        QStringLiteral("Start the exercises over?")));
    Shell::settle();
    QCOMPARE(listed("strangle-1"), QStringLiteral("answered right"));
    // Yes forgets it, on the page and for the next run.
    s->facilities.dialogs.script(platform::Dialogs::answerYes);
    click(startOver);
    QTRY_COMPARE_WITH_TIMEOUT(listed("strangle-1"), QStringLiteral("not tried yet"), kPatienceMs);
    QCOMPARE(listed("straddle-1"), QStringLiteral("not tried yet"));
    QCOMPARE(s->facilities.dialogs.shown().size(), 2);
    s->facilities.dialogs.reset();
    start(data.path());
    open(modulePage(QStringLiteral("contents.htm")));
    QTRY_COMPARE_WITH_TIMEOUT(listed("straddle-1"), QStringLiteral("not tried yet"), kPatienceMs);
    QCOMPARE(listed("strangle-1"), QStringLiteral("not tried yet"));
}
