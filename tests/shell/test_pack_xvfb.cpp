// An exercise pack from the instructor's dialogs to the student's results,
// in the real browser on a virtual display: the instructor writes a
// question on the workbench's position and saves the pack; a student on
// settings and data of their own opens it, answers on the pack page as on a
// lesson's, and exports results that hold the judge's verdict on that
// student's own numbers.
#include "BrowserHarness.h"
#include "fakes/UserInput.h"
#include "offline/SiteServer.h"
#include "shell/PackDesk.h"
#include "workbench/lessons/PackResults.h"
#include "workbench/lessons/Packs.h"
#include "workbench/lessons/SpreadPack.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QFile>
#include <QPointer>

#include <cstdio>

#include <functional>
#include <memory>
#include <optional>

namespace {

using harness::kPatienceMs;
using harness::Shell;
namespace packs = workbench::packs;
namespace lessons = workbench::lessons;

} // namespace

class TestPackXvfb : public QObject {
    Q_OBJECT
private slots:
    void cleanup();
    void a_pack_from_the_dialogs_is_answered_with_the_students_own_numbers();

private:
    void start(std::unique_ptr<Shell>& shell);
    QVariant evaluate(const QString& script);
    QString text(const QString& selector);
    void answer(const QString& exercise, const QString& typed);
    void trigger(const char* action);

    std::unique_ptr<Shell> s;
    QTemporaryDir files;
};

void TestPackXvfb::cleanup() {
    if (s) {
        QVERIFY2(s->facilities.dialogs.shown().isEmpty(),
                 qPrintable(s->facilities.dialogs.shown().value(0).text));
    }
    s.reset();
}

void TestPackXvfb::start(std::unique_ptr<Shell>& shell) {
    shell.reset();
    shell = std::make_unique<Shell>();
    shell->window->Form_Load();
    shell->window->show();
    QVERIFY(QTest::qWaitForWindowExposed(shell->window.get(), kPatienceMs));
    shell->browser.createView();
    QTRY_COMPARE_WITH_TIMEOUT(shell->browser.Tag(), QStringLiteral("alldone"), kPatienceMs);
    shell->window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(shell->window.get(), kPatienceMs));
}

QVariant TestPackXvfb::evaluate(const QString& script) {
    auto result = std::make_shared<std::optional<QVariant>>();
    s->view()->page()->runJavaScript(script, [result](const QVariant& r) { *result = r; });
    (void)QTest::qWaitFor([&result] { return result->has_value(); }, kPatienceMs);
    return result->value_or(QVariant());
}

QString TestPackXvfb::text(const QString& selector) {
    return evaluate(QStringLiteral("(function() { const e = document.querySelector('%1');"
                                   " return e ? e.textContent : ''; })()")
                        .arg(selector))
        .toString();
}

// Clicks the exercise's box with the mouse, types over it and presses Enter.
void TestPackXvfb::answer(const QString& exercise, const QString& typed) {
    const QVariantList xy =
        evaluate(QStringLiteral("(function() { const e = document.getElementById('%1-answer');"
                                " e.scrollIntoView(); const r = e.getBoundingClientRect();"
                                " return [r.left + 8, r.top + r.height / 2]; })()")
                     .arg(exercise))
            .toList();
    QCOMPARE(xy.size(), 2);
    QTest::mouseClick(s->view()->focusProxy(), Qt::LeftButton, {},
                      QPoint(qRound(xy[0].toDouble()), qRound(xy[1].toDouble())));
    QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), s->view()->focusProxy(), kPatienceMs);
    QTRY_COMPARE_WITH_TIMEOUT(evaluate(QStringLiteral("document.activeElement.id")).toString(),
                              exercise + QStringLiteral("-answer"), kPatienceMs);
    userinput::typeOver(typed);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
}

void TestPackXvfb::trigger(const char* action) {
    auto* item = s->window->findChild<QAction*>(QString::fromLatin1(action));
    QVERIFY2(item && item->isEnabled(), action);
    item->trigger();
}

void TestPackXvfb::a_pack_from_the_dialogs_is_answered_with_the_students_own_numbers() {
    const QString packPath = files.filePath(QStringLiteral("week3.wqzpack"));
    // The instructor: the spread on the workbench, a new pack, a question
    // on the delta with today's price drawn from 45 to 55.
    start(s);
    if (QTest::currentTestFailed()) {
        return;
    }
    s->window->openFromOutside(spreadpack::link);
    fakes::FakeDialogs& said = s->facilities.dialogs;
    said.scriptText(QStringLiteral("Week 3: spreads"));
    said.scriptText(QStringLiteral("Instructor"));
    trigger("mnuNewPack");
    bool answered = false;
    userinput::whenDialogUp([&answered](QDialog* dialog) {
        // The kind has the focus: the next one down is the delta.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        userinput::clickIn(dialog,
                           dialog->findChild<QCheckBox*>(QStringLiteral("chkPackVary(price)")));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        userinput::typeOver(QStringLiteral("45"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        userinput::typeOver(QStringLiteral("55"));
        answered = true;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
    trigger("mnuAddPackQuestion");
    QVERIFY(answered);
    said.scriptSaveName(packPath);
    trigger("mnuSavePack");
    QVERIFY(QFile::exists(packPath));
    s.reset();

    QFile file(packPath);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const packs::Reading reading = packs::fromJson(file.readAll());
    QVERIFY2(reading.pack, qPrintable(reading.problem));
    const packs::Pack& pack = *reading.pack;
    QCOMPARE(pack.questions.size(), std::size_t(1));
    const packs::Question& q = pack.questions.front();
    QCOMPARE(q.asks, lessons::Asks::Delta);
    QVERIFY(q.vary[std::size_t(packs::Varied::Price)] == (packs::Range{45, 55}));

    // A student on settings of their own opens the pack from the desktop.
    start(s);
    if (QTest::currentTestFailed()) {
        return;
    }
    s->facilities.dialogs.scriptText(QStringLiteral("Ann Lee"));
    s->window->openFromOutside(packPath);
    QTRY_COMPARE_WITH_TIMEOUT(s->browser.LocationURL(), shell::PackDesk::pageAddress(),
                              kPatienceMs);
    QTRY_VERIFY_WITH_TIMEOUT(text(QStringLiteral("#pack-q1")).contains(u"delta"), kPatienceMs);
    const lessons::Question posed =
        packs::posed(q, packs::draw(pack, q, QStringLiteral("Ann Lee")));
    const QString truth = lessons::trueAnswer(posed);
    QVERIFY(!truth.isEmpty());
    // Another student's numbers are other numbers.
    QVERIFY(packs::posed(q, packs::draw(pack, q, QStringLiteral("Bo Chen"))).link != posed.link);

    // The question's own page, from the contents, as a student reaches it.
    const QVariantList link =
        evaluate(QStringLiteral("(function() { const r = document.querySelector("
                                "'a[href=\"#pack-q1\"]').getBoundingClientRect();"
                                " return [r.left + 4, r.top + r.height / 2]; })()"))
            .toList();
    QCOMPARE(link.size(), 2);
    QTest::mouseClick(s->view()->focusProxy(), Qt::LeftButton, {},
                      QPoint(qRound(link[0].toDouble()), qRound(link[1].toDouble())));
    QTRY_COMPARE_WITH_TIMEOUT(s->browser.LocationURL(),
                              shell::PackDesk::pageAddress() + QStringLiteral("#pack-q1"),
                              kPatienceMs);
    const QString verdict = QStringLiteral("#pack-q1 .verdict");
    answer(QStringLiteral("pack-q1"), QString::number(truth.toDouble() + 0.5, 'f', 2));
    QTRY_VERIFY_WITH_TIMEOUT(text(verdict).startsWith(u"Not right."), kPatienceMs);
    QTRY_VERIFY_WITH_TIMEOUT(!text(QStringLiteral("#pack-q1 .hint")).isEmpty(), kPatienceMs);
    answer(QStringLiteral("pack-q1"), truth);
    QTRY_VERIFY_WITH_TIMEOUT(text(verdict).startsWith(u"Right: "), kPatienceMs);
    QVERIFY2(text(verdict).contains(truth), qPrintable(text(verdict)));

    const QString results = files.filePath(QStringLiteral("ann.csv"));
    s->facilities.dialogs.scriptSaveName(results);
    trigger("mnuExportResults");
    QFile csv(results);
    QVERIFY(csv.open(QIODevice::ReadOnly));
    const workbench::packresults::ResultsReading back = workbench::packresults::read(csv.readAll());
    QVERIFY2(back.results, qPrintable(back.problem));
    QCOMPARE(back.results->student, QStringLiteral("Ann Lee"));
    QCOMPARE(back.results->packId, pack.id);
    QCOMPARE(back.results->rows.size(), std::size_t(1));
    const workbench::packresults::Row& row = back.results->rows.front();
    QVERIFY(row.right);
    QCOMPARE(row.answer, truth);
    QCOMPARE(row.tries, 2);
    QCOMPARE(row.numbers, packs::numbersText(packs::draw(pack, q, QStringLiteral("Ann Lee"))));
}

int main(int argc, char* argv[]) {
    return harness::offlineMain<TestPackXvfb>(argc, argv);
}
#include "test_pack_xvfb.moc"
