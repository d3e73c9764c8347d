// Every page with exercises walked as a student walks it: its Try-it links
// followed in order on a workbench whose market an earlier page moved, and
// each exercise answered with what the window shows along the route its hint
// names (a line of the analysis, the read-out beside the pointer, the
// panel's implied volatilities), then judged right by the page's own check.
#include "../offline/TutorialText.h"
#include "ShellHarness.h"
#include "fakes/UserInput.h"
#include "offline/SiteBundle.h"
#include "platform/PictureBox.h"
#include "workbench/control/HoverReadout.h"
#include "workbench/lessons/Exercises.h"
#include "workbench/lessons/Lessons.h"
#include "workbench/model/PositionColumns.h"

#include <QDoubleSpinBox>
#include <QRegularExpression>
#include <QTableWidget>

#include <optional>

namespace {

namespace lessons = workbench::lessons;
namespace strategy = workbench::exercises;

// The first number of the analysis's line that starts with `line`, after
// `after` on it when given.
std::optional<QString> fromAnalysis(const Shell& s, const QString& line, const QString& after = {},
                                    bool last = false) {
    static const QRegularExpression number(QStringLiteral("-?\\d+(\\.\\d+)?"));
    for (const QString& l : s.window->workbench()->settledAnalysisText().split(u'\n')) {
        if (!l.startsWith(line)) {
            continue;
        }
        const QString rest = l.mid(after.isEmpty() ? line.size() : l.indexOf(after) + after.size());
        QRegularExpressionMatchIterator it = number.globalMatch(rest);
        QString found;
        while (it.hasNext()) {
            found = it.next().captured();
            if (!last) {
                break;
            }
        }
        if (!found.isEmpty()) {
            return found;
        }
    }
    return std::nullopt;
}

// Types the price into Price today and confirms it, as a student does.
void typePrice(const Shell& s, double price) {
    userinput::clickIn(s.window.get(), s.child<QDoubleSpinBox>("txtUnderlyingPrice"));
    userinput::retypeBox(QString::number(price));
}

// The read-out beside the pointer resting on the diagram at `price`: the
// number after `label` on its line.
std::optional<QString> fromPointer(const Shell& s, double price, const QString& label) {
    auto* pbox = s.child<platform::PictureBox>("pbox");
    // As a student points once the curves are drawn, coming from elsewhere:
    // a move to where an earlier exercise left the pointer is no move, and
    // the read-out would stay as that exercise's diagram wrote it.
    s.window->workbench()->settle();
    QTest::mouseMove(pbox, QPoint(1, 1));
    QTest::mouseMove(pbox, pbox->toPixels(price, 0).toPoint());
    // The overlay has no meta-object of its own: found by its name.
    const auto* hover = static_cast<const workbench::HoverReadout*>(
        pbox->findChild<QWidget*>(QStringLiteral("hoverReadout")));
    if (!hover) {
        return std::nullopt;
    }
    for (const QString& line : hover->text().split(u'\n')) {
        const qsizetype at = line.indexOf(label);
        if (at >= 0) {
            return line.mid(at + label.size()).split(u' ', Qt::SkipEmptyParts).value(0);
        }
    }
    return std::nullopt;
}

// The break-evens and the extremes, as the analysis names them.
std::optional<QString> atExpiry(const Shell& s, strategy::Asks asks) {
    switch (asks) {
    case strategy::Asks::UpperBreakEven:
        return fromAnalysis(s, QStringLiteral("Break-even: "), {}, true);
    case strategy::Asks::GreatestProfit:
        return fromAnalysis(s, QStringLiteral("Maximum profit: "));
    case strategy::Asks::GreatestLoss:
        return fromAnalysis(s, QStringLiteral("Maximum loss: "));
    default:
        return fromAnalysis(s, QStringLiteral("Break-even: "));
    }
}

QString daysLeftLabel(const Shell& s) {
    const int days = s.window->workbench()->beforeExpiry().daysLeft;
    return days == 1 ? QStringLiteral("With 1 day left ")
                     : QStringLiteral("With %1 days left ").arg(days);
}

std::optional<QString> lessonAnswer(const Shell& s, const lessons::Exercise& e) {
    using A = lessons::Asks;
    const workbench::wqzOptionPayoffs& bench = *s.window->workbench();
    const bool atToday = e.price == double(bench.position().underlyingPrice);
    switch (e.asks) {
    case A::ValueWithDaysLeft:
        return fromPointer(s, e.price, daysLeftLabel(s));
    case A::ProfitAt:
        return fromPointer(s, e.price, QStringLiteral("Profit "));
    case A::Delta:
    case A::Gamma:
    case A::ThetaPerDay:
    case A::VegaPerPoint: {
        if (!atToday) {
            typePrice(s, e.price);
        }
        const char* names[] = {"Delta ", "Gamma ", "Theta ", "Vega "};
        const int i = int(e.asks) - int(A::Delta);
        return fromAnalysis(s, QString::fromLatin1(i < 2 ? "Delta " : "Theta "),
                            QString::fromLatin1(names[i]));
    }
    case A::ProbabilityOfProfit:
        return fromAnalysis(s, QStringLiteral("Probability of profit at expiry: "));
    case A::ExpectedProfit:
        return fromAnalysis(s, QStringLiteral("Expected profit at expiry: "));
    case A::LowerBreakEven:
    case A::BreakEven:
        return atExpiry(s, strategy::Asks::LowerBreakEven);
    case A::UpperBreakEven:
        return atExpiry(s, strategy::Asks::UpperBreakEven);
    case A::GreatestProfit:
        return atExpiry(s, strategy::Asks::GreatestProfit);
    case A::GreatestLoss:
        return atExpiry(s, strategy::Asks::GreatestLoss);
    case A::LowerOneSigma:
        return fromAnalysis(s, QStringLiteral("One standard deviation at expiry: "));
    case A::UpperOneSigma:
        return fromAnalysis(s, QStringLiteral("One standard deviation at expiry: "), {}, true);
    case A::ImpliedVolatility: {
        // The link's first option: the row and the side its position names.
        static const QRegularExpression first(QStringLiteral("position=([cp])(\\d+):"));
        const QRegularExpressionMatch m = first.match(QString::fromUtf16(e.link));
        if (!m.hasMatch()) {
            return std::nullopt;
        }
        const QString strike =
            workbench::columns::strikeText(bench.position().strike[m.captured(2).toUInt()]);
        auto* table = s.window->findChild<QTableWidget*>(QStringLiteral("grdVolatilities"));
        for (int r = 0; table && r < table->rowCount(); ++r) {
            if (table->item(r, 0) && table->item(r, 0)->text() == strike) {
                return table->item(r, m.captured(1) == u"c" ? 1 : 2)->text().split(u' ').value(0);
            }
        }
        return std::nullopt;
    }
    }
    return std::nullopt;
}

std::optional<QString> strategyAnswer(const Shell& s, const strategy::Exercise& e) {
    using A = strategy::Asks;
    switch (e.asks) {
    case A::BreakEven:
    case A::LowerBreakEven:
    case A::UpperBreakEven:
    case A::GreatestProfit:
    case A::GreatestLoss:
        return atExpiry(s, e.asks);
    case A::ProfitAt:
        return fromPointer(s, e.price, QStringLiteral("Profit "));
    case A::ProfitLimited:
    case A::LossLimited: {
        const QString line = e.asks == A::ProfitLimited ? QStringLiteral("Maximum profit: ")
                                                        : QStringLiteral("Maximum loss: ");
        for (const QString& l : s.window->workbench()->settledAnalysisText().split(u'\n')) {
            if (l.startsWith(line)) {
                return l.contains(QStringLiteral("unlimited")) ? QStringLiteral("no")
                                                               : QStringLiteral("yes");
            }
        }
        return std::nullopt;
    }
    }
    return std::nullopt;
}

} // namespace

class TestLessonWalk : public QObject {
    Q_OBJECT
private slots:
    void every_exercise_is_answered_right_from_the_window_data();
    void every_exercise_is_answered_right_from_the_window();
};

void TestLessonWalk::every_exercise_is_answered_right_from_the_window_data() {
    QTest::addColumn<QString>("page");
    const offline::SiteBundle bundle;
    // Every page the module has, up to the first number it lacks.
    for (int n = 1;; ++n) {
        const QString page = QStringLiteral("page%1.htm").arg(n);
        const QString html = tutorialtext::modulePage(bundle, page);
        if (html.isEmpty()) {
            QVERIFY(n > 1);
            break;
        }
        if (html.contains(QStringLiteral("-answer\""))) {
            QTest::newRow(qPrintable(page)) << page;
        }
    }
}

void TestLessonWalk::every_exercise_is_answered_right_from_the_window() {
    QFETCH(QString, page);
    const offline::SiteBundle bundle;
    const QString html = tutorialtext::modulePage(bundle, page);
    static const QRegularExpression linkRe(
        QStringLiteral("href=\"(wqz-workbench:load\\?[^\"]*)\""));
    static const QRegularExpression answerRe(QStringLiteral("id=\"([a-z0-9-]+)-answer\""));
    QStringList links;
    for (auto it = linkRe.globalMatch(html); it.hasNext();) {
        links << it.next().captured(1).replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    }
    QStringList open;
    for (auto it = answerRe.globalMatch(html); it.hasNext();) {
        open << it.next().captured(1);
    }
    QVERIFY(!open.isEmpty());

    Shell s;
    s.window->Form_Load();
    s.browser.navigate(QStringLiteral("http://www.quillmere.example/wqzmodhtm/wqzLumo/") + page);
    s.browser.finish();
    s.window->show();
    // An earlier page, or the student, moved the market.
    typePrice(s, 63.2);
    userinput::clickIn(s.window.get(), s.child<QDoubleSpinBox>("txtCostPerOption"));
    userinput::retypeBox(QStringLiteral("0.2"));
    userinput::clickIn(s.window.get(), s.child<QDoubleSpinBox>("txtCostPerUnit"));
    userinput::retypeBox(QStringLiteral("0.2"));
    s.action("mnuShowProbability")->setChecked(true);

    const auto linkOf = [](const QString& id) {
        if (const lessons::Exercise* e = lessons::find(id)) {
            return QString::fromUtf16(e->link);
        }
        const strategy::Exercise* e = strategy::find(id);
        return e ? strategy::tryIt(*e) : QString();
    };
    for (const QString& link : std::as_const(links)) {
        emit s.browser.ProgramLink(link);
        QCOMPARE(s.fake.dialogs.pendingAnswers(), 0);
        for (const QString& id : QStringList(open)) {
            if (linkOf(id) != link) {
                continue;
            }
            const lessons::Exercise* lesson = lessons::find(id);
            const std::optional<QString> answer =
                lesson ? lessonAnswer(s, *lesson) : strategyAnswer(s, *strategy::find(id));
            QVERIFY2(answer, qPrintable(id + u'\n' + s.window->workbench()->settledAnalysisText()));
            emit s.browser.ProgramLink(
                QStringLiteral("wqz-workbench:check?exercise=%1&answer=%2").arg(id, *answer));
            QVERIFY2(s.browser.scripts.last().contains(QStringLiteral("\"%1\",\"right\"").arg(id)),
                     qPrintable(id + QStringLiteral(" answered ") + *answer + u'\n' +
                                s.browser.scripts.last().left(300)));
            open.removeAll(id);
            // The next exercise starts from the link's own situation again.
            emit s.browser.ProgramLink(link);
        }
    }
    QVERIFY2(open.isEmpty(), qPrintable(QStringLiteral("no link sets up ") + open.join(u' ')));
}

QTEST_MAIN(TestLessonWalk)
#include "test_lesson_walk.moc"
