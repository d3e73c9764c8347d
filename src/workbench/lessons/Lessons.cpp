#include "Lessons.h"

#include "LessonTables.h"
#include "workbench/model/LegExpiry.h"
#include "workbench/model/PositionAnalysis.h"
#include "workbench/model/Probability.h"
#include "workbench/model/Strategies.h"
#include "workbench/model/WorkbenchLink.h"
#include "workbench/pricing/BeforeExpiry.h"
#include "workbench/pricing/FirstExpiry.h"

#include <QLocale>
#include <QUrl>

#include <cmath>
#include <exception>

namespace workbench::lessons {

namespace {

// Room for the binary fractions that 0.55 - 0.54 leaves beyond a cent.
constexpr double kSlack = 1e-9;

// The situation a link sets up on a workbench as it starts: the starting
// quotes, today's price and costs as they start, the inputs before expiry as
// they start, and whatever the link names in their place.
struct Situation {
    PositionState position = startingQuotes();
    beforeexpiry::Inputs inputs;
    payoff::DiagramKind kind = payoff::payoffDiagram;
    // The link's first option: its row and whether it is a call.
    int firstRow = 0;
    bool firstCall = true;
};

std::optional<Situation> situationOf(const QString& link, QString* problem = nullptr) {
    Situation s;
    const links::Reading reading = links::readText(link, s.position.rowCount());
    if (!reading.load) {
        if (problem) {
            *problem = reading.problem.isEmpty()
                           ? QStringLiteral("The link does not load a position.")
                           : reading.problem;
        }
        return std::nullopt;
    }
    const links::Load& load = *reading.load;
    if (load.rows) {
        // The link's own rows, in place of the starting quotes.
        s.position.setRowCount(int(load.rows->size()));
        for (int r = 1; r <= s.position.rowCount(); ++r) {
            const links::Row& row = (*load.rows)[std::size_t(r - 1)];
            s.position.takesPart[std::size_t(r)] = row.strike.has_value();
            s.position.strike[r] = row.strike.value_or(0);
            s.position.callPrice[r] = row.call;
            s.position.putPrice[r] = row.put;
            s.position.callDays[std::size_t(r)] = row.callDays;
            s.position.putDays[std::size_t(r)] = row.putDays;
        }
    }
    if (!load.strategy.isEmpty()) {
        const Strategy* strategy = findStrategy(load.strategy);
        // A strategy's later legs go on rows the workbench adds: an exercise
        // names its rows instead.
        if (!strategy || expiresApart(*strategy)) {
            if (problem) {
                *problem = QStringLiteral("The strategy's options expire on different days; "
                                          "name its rows and legs instead.");
            }
            return std::nullopt;
        }
        hold(s.position, *strategy);
        if (!strategy->calls.empty()) {
            s.firstRow = strategy->calls.front().row;
        } else if (!strategy->puts.empty()) {
            s.firstRow = strategy->puts.front().row;
            s.firstCall = false;
        }
    }
    if (const links::Leg* first = links::holdLegs(load.legs, s.position);
        first && s.firstRow == 0) {
        s.firstRow = first->row;
        s.firstCall = first->kind == links::Leg::Kind::Call;
    }
    links::applyPrice(load.market, s.position);
    s.inputs = links::inputsAfter(load.market, beforeexpiry::Inputs());
    s.kind = load.diagram;
    // Valued as the workbench values it: legs of their own expiries count to
    // the first of them.
    legexpiry::resolve(s.position, s.inputs);
    return s;
}

// The law of the price at expiry the read-out and the diagram draw.
probability::Lognormal lawOf(const Situation& s) {
    return beforeexpiry::lawOver(s.position, s.inputs,
                                 beforeexpiry::lawVolatility(s.position, s.inputs).volatility,
                                 s.inputs.daysToday);
}

std::optional<double> finite(double v) {
    return std::isfinite(v) ? std::optional(v) : std::nullopt;
}

// The value at expiry, or at the first expiry of legs that expire apart.
bool staggered(const Situation& s) {
    return legexpiry::staggered(s.position, s.inputs.daysToday);
}

std::optional<double> expiryFigure(const Question& exercise, const Situation& s) {
    const beforeexpiry::Valuer valuer(s.position, s.inputs, payoff::profitDiagram);
    const analysis::Analysis a =
        firstexpiry::atExpiry(s.position, s.inputs, payoff::profitDiagram, valuer);
    const auto figures = [&] {
        return firstexpiry::figuresAtExpiry(s.position, a, valuer, lawOf(s));
    };
    switch (exercise.asks) {
    case Asks::BreakEven:
        return a.breakEvens.size() == 1 ? std::optional(a.breakEvens.front().from) : std::nullopt;
    case Asks::LowerBreakEven:
        return a.breakEvens.empty() ? std::nullopt : std::optional(a.breakEvens.front().from);
    case Asks::UpperBreakEven:
        if (a.breakEvens.empty() || a.breakEvens.back().isUnboundedAbove()) {
            return std::nullopt;
        }
        return a.breakEvens.back().to;
    case Asks::GreatestProfit:
        return a.highest.unlimited ? std::nullopt : std::optional(a.highest.value);
    case Asks::GreatestLoss:
        return a.lowest.unlimited ? std::nullopt : std::optional(-a.lowest.value);
    case Asks::ProbabilityOfProfit:
        return finite(100 * figures().profit);
    case Asks::ExpectedProfit:
        return finite(figures().expected);
    default:
        return std::nullopt;
    }
}

std::optional<double> computed(const Question& exercise, const Situation& s) {
    const auto greeks = [&] {
        return beforeexpiry::Valuer(s.position, s.inputs, s.kind).greeksAt(exercise.price);
    };
    switch (exercise.asks) {
    case Asks::ValueWithDaysLeft:
        return finite(beforeexpiry::Valuer(s.position, s.inputs, s.kind).valueAt(exercise.price));
    case Asks::Delta:
        return finite(greeks().delta);
    case Asks::Gamma:
        return finite(greeks().gamma);
    case Asks::ThetaPerDay:
        return finite(greeks().thetaPerDay);
    case Asks::VegaPerPoint:
        return finite(greeks().vegaPerPoint);
    case Asks::ProfitAt:
        return staggered(s)
                   ? finite(beforeexpiry::Valuer(s.position, s.inputs, payoff::profitDiagram)
                                .atDaysLeft(0)
                                .valueAt(exercise.price))
                   : analysis::valueAt(s.position, exercise.price, payoff::profitDiagram);
    case Asks::ImpliedVolatility:
        for (const beforeexpiry::RowVolatility& row :
             beforeexpiry::impliedVolatilities(s.position, s.inputs)) {
            if (row.row == s.firstRow) {
                const std::optional<double> v = s.firstCall ? row.call : row.put;
                return v ? std::optional(100 * *v) : std::nullopt;
            }
        }
        return std::nullopt;
    case Asks::LowerOneSigma:
        return finite(lawOf(s).quantile(-1));
    case Asks::UpperOneSigma:
        return finite(lawOf(s).quantile(1));
    default:
        return expiryFigure(exercise, s);
    }
}

} // namespace

// The true answer as a number, or nothing when there is none (no such
// break-even, an unlimited extreme, an option the model cannot value): no
// typed number is right then.
std::optional<double> trueNumber(const Question& exercise) {
    try {
        const std::optional<Situation> s = situationOf(exercise.link);
        return s ? computed(exercise, *s) : std::nullopt;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

namespace {

int decimalsOf(const Question& exercise) {
    return std::max(0, int(std::ceil(-std::log10(exercise.tolerance) - kSlack)));
}

QString written(double value, int decimals) {
    // A figure that rounds to nothing has no sign to show.
    if (std::abs(value) < 0.5 * std::pow(10.0, -decimals)) {
        value = 0;
    }
    return QString::number(value, 'f', decimals);
}

QString daysLeft(int days) {
    return days == 1 ? QStringLiteral("1 day left") : QStringLiteral("%1 days left").arg(days);
}

// The what-ifs on volatility the link sets at the date with `left` days
// left, so that a verdict names the situation the student was asked about:
// " after the event", " and volatility 10 points higher".
QString whatIfs(const beforeexpiry::Inputs& in, int left) {
    QString words;
    if (in.afterEvent(left)) {
        words += QStringLiteral(" after the event");
    }
    if (const int points = beforeexpiry::shiftPoints(in.volatilityShift); points != 0) {
        words += QStringLiteral(" and volatility %1 %2 %3")
                     .arg(std::abs(points))
                     .arg(std::abs(points) == 1 ? u"point" : u"points",
                          points > 0 ? u"higher" : u"lower");
    }
    return words;
}

} // namespace

// What the question asks, as a phrase: "the delta at 55.00 with 20 days left".
QString topic(const Question& exercise) {
    const QString at = QStringLiteral(" at ") + analysis::money(exercise.price);
    const std::optional<Situation> s = situationOf(exercise.link);
    const QString left = s ? QStringLiteral(" with ") + daysLeft(s->inputs.daysLeft) +
                                 whatIfs(s->inputs, s->inputs.daysLeft)
                           : QString();
    // A calendar's figures "at expiry" are at its first, where the legs that
    // live on are valued under the what-ifs of that date.
    const bool first = s && staggered(*s);
    const QString expiry =
        first ? QStringLiteral(" at the first expiry") : QStringLiteral(" at expiry");
    const QString then = first ? whatIfs(s->inputs, 0) : QString();
    switch (exercise.asks) {
    case Asks::ValueWithDaysLeft:
        return QStringLiteral("the position's value") + at + left;
    case Asks::Delta:
        return QStringLiteral("the position's delta") + at + left;
    case Asks::Gamma:
        return QStringLiteral("the position's gamma") + at + left;
    case Asks::ThetaPerDay:
        return QStringLiteral("the position's theta per day") + at + left;
    case Asks::VegaPerPoint:
        return QStringLiteral("the position's vega per volatility point") + at + left;
    case Asks::ProbabilityOfProfit:
        return QStringLiteral("the probability of a profit") + expiry + then +
               QStringLiteral(", in percent");
    case Asks::ExpectedProfit:
        return QStringLiteral("the expected profit") + expiry + then;
    case Asks::LowerBreakEven:
        return QStringLiteral("the lower break-even") + (first ? expiry + then : QString()) +
               QStringLiteral(", trading costs included");
    case Asks::UpperBreakEven:
        return QStringLiteral("the upper break-even") + (first ? expiry + then : QString()) +
               QStringLiteral(", trading costs included");
    case Asks::BreakEven:
        return QStringLiteral("the break-even") + (first ? expiry + then : QString()) +
               QStringLiteral(", trading costs included");
    case Asks::GreatestProfit:
        return QStringLiteral("the greatest profit") + expiry + then;
    case Asks::GreatestLoss:
        return QStringLiteral("the greatest loss") + expiry + then +
               QStringLiteral(", as an amount lost");
    case Asks::ProfitAt:
        return QStringLiteral("the profit") + expiry + at + then;
    case Asks::ImpliedVolatility:
        if (s && s->firstRow > 0) {
            return QStringLiteral("the implied volatility of the %1 at %2, in percent")
                .arg(s->firstCall ? u"call" : u"put",
                     analysis::money(s->position.strike[std::size_t(s->firstRow)]));
        }
        return QStringLiteral("the implied volatility, in percent");
    case Asks::LowerOneSigma:
        return QStringLiteral("the price one standard deviation below");
    case Asks::UpperOneSigma:
        return QStringLiteral("the price one standard deviation above");
    }
    return QString();
}

namespace {

// A number as students type one: "0.54", "-0,54", "+3.2", "$3.20", and for
// a percentage "42.5 %".
std::optional<double> readNumber(QString text, bool percent) {
    text = text.trimmed();
    text.remove(u'$');
    if (percent && text.endsWith(u'%')) {
        text.chop(1);
        text = text.trimmed();
    }
    if (!text.contains(u'.') && text.count(u',') == 1) {
        text.replace(u',', u'.');
    }
    bool ok = false;
    const double value = QLocale::c().toDouble(text, &ok);
    if (!ok || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

} // namespace

const std::vector<Exercise>& all() {
    static const std::vector<Exercise> table = [] {
        std::vector<Exercise> out = timeExercises();
        for (const auto* part : {&chanceExercises(), &positionExercises(), &calendarExercises()}) {
            out.insert(out.end(), part->cbegin(), part->cend());
        }
        return out;
    }();
    return table;
}

const Exercise* find(QStringView id) {
    for (const Exercise& e : all()) {
        if (id == QStringView(e.id)) {
            return &e;
        }
    }
    return nullptr;
}

bool inPercent(Asks asks) {
    return asks == Asks::ProbabilityOfProfit || asks == Asks::ImpliedVolatility;
}

Question questionOf(const Exercise& exercise) {
    return {QString::fromUtf16(exercise.link), exercise.asks, exercise.price, exercise.tolerance};
}

QString situationProblem(const QString& link) {
    QString problem;
    try {
        situationOf(link, &problem);
    } catch (const std::exception& e) {
        problem = QString::fromUtf8(e.what());
    }
    return problem;
}

QString trueAnswer(const Exercise& exercise) {
    return trueAnswer(questionOf(exercise));
}

exercises::Verdict check(const Exercise& exercise, const QString& typed) {
    return check(questionOf(exercise), typed);
}

QString trueAnswer(const Question& exercise) {
    const std::optional<double> truth = trueNumber(exercise);
    return truth ? written(*truth, decimalsOf(exercise)) : QString();
}

exercises::Verdict check(const Question& exercise, const QString& typed) {
    using exercises::Outcome;
    const bool percent = inPercent(exercise.asks);
    const std::optional<double> answer =
        typed.size() > exercises::longestAnswer ? std::nullopt : readNumber(typed, percent);
    if (!answer) {
        return {Outcome::Unreadable, percent ? QStringLiteral("Type a percentage, such as 42.5.")
                                             : QStringLiteral("Type a number, such as 3.25.")};
    }
    // Held to the true answer as the question asks it written, "to the
    // cent": 5.09 for 5.0949, so that what the page would print, and what
    // lies within the tolerance of it, is right.
    const QString truth = trueAnswer(exercise);
    const double given = exercise.asks == Asks::GreatestLoss ? std::abs(*answer) : *answer;
    const QString asked = topic(exercise);
    if (!truth.isEmpty() && std::abs(given - truth.toDouble()) <= exercise.tolerance + kSlack) {
        return {Outcome::Right, QStringLiteral("Right: ") + asked + QStringLiteral(" is ") + truth +
                                    (percent ? QStringLiteral(" %.") : QStringLiteral("."))};
    }
    // The true value waits for a second try or the student's asking.
    return {Outcome::Wrong, QStringLiteral("Not right. The question asks for ") + asked + u'.'};
}

} // namespace workbench::lessons
