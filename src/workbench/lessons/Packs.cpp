// A pack's limits, its kinds and ranges: what the reader takes is what
// problemOf accepts, and the dialogs that make questions ask problemOf too.
#include "Packs.h"

#include "workbench/model/ExpiryInputs.h"
#include "workbench/model/PositionState.h"
#include "workbench/model/WorkbenchLink.h"

#include <QRegularExpression>
#include <QUuid>

#include <cmath>

namespace workbench::packs {

namespace {

struct AsksEntry {
    lessons::Asks asks;
    const char* name;
    const char16_t* words;
    bool atAPrice;
};

using lessons::Asks;
// In the order the dialog offers them: the figures at a price first.
constexpr AsksEntry kAsks[] = {
    {Asks::ValueWithDaysLeft, "ValueWithDaysLeft",
     u"the position's value with days left, at a price", true},
    {Asks::Delta, "Delta", u"the position's delta at a price", true},
    {Asks::Gamma, "Gamma", u"the position's gamma at a price", true},
    {Asks::ThetaPerDay, "ThetaPerDay", u"the position's theta per day at a price", true},
    {Asks::VegaPerPoint, "VegaPerPoint", u"the position's vega per volatility point at a price",
     true},
    {Asks::ProfitAt, "ProfitAt", u"the profit at expiry at a price", true},
    {Asks::BreakEven, "BreakEven", u"the break-even (the only one)", false},
    {Asks::LowerBreakEven, "LowerBreakEven", u"the lower break-even", false},
    {Asks::UpperBreakEven, "UpperBreakEven", u"the upper break-even", false},
    {Asks::GreatestProfit, "GreatestProfit", u"the greatest profit at expiry", false},
    {Asks::GreatestLoss, "GreatestLoss", u"the greatest loss at expiry", false},
    {Asks::ProbabilityOfProfit, "ProbabilityOfProfit", u"the probability of a profit, in percent",
     false},
    {Asks::ExpectedProfit, "ExpectedProfit", u"the expected profit at expiry", false},
    {Asks::ImpliedVolatility, "ImpliedVolatility",
     u"the implied volatility of the first option, in percent", false},
    {Asks::LowerOneSigma, "LowerOneSigma", u"the price one standard deviation below", false},
    {Asks::UpperOneSigma, "UpperOneSigma", u"the price one standard deviation above", false},
};

const AsksEntry* entryOf(Asks asks) {
    for (const AsksEntry& e : kAsks) {
        if (e.asks == asks) {
            return &e;
        }
    }
    return nullptr;
}

struct Bounds {
    double least;
    double most;
    double step;
    const char16_t* unit; // after a number: " %", " days"
};

Bounds boundsOf(Varied varied) {
    namespace in = beforeexpiry::limits;
    switch (varied) {
    case Varied::Price:
        return {limits::priceStep, 1000000, limits::priceStep, u""};
    case Varied::Volatility:
        return {in::minVolatilityPercent, in::maxVolatilityPercent, limits::volatilityStep, u" %"};
    case Varied::Days:
        return {double(in::minDaysToExpiry), double(in::maxDaysToExpiry), limits::daysStep,
                u" days"};
    case Varied::Rate:
        return {in::minRatePercent, in::maxRatePercent, limits::rateStep, u" %"};
    case Varied::StrikeShift:
        return {-limits::largestStrikeShift, limits::largestStrikeShift, limits::strikeShiftStep,
                u""};
    }
    return {0, 0, 1, u""};
}

bool onStep(double value, double step) {
    const double steps = value / step;
    return std::abs(steps - std::round(steps)) < 1e-6;
}

QString number(double value) {
    return QString::number(value, 'g', 12);
}

QString rangeProblem(Varied varied, const Range& range, const links::Load& load) {
    const Bounds b = boundsOf(varied);
    const QString named = QStringLiteral("the %1 range %2 to %3")
                              .arg(key(varied), number(range.from), number(range.to));
    if (!std::isfinite(range.from) || !std::isfinite(range.to) || range.from > range.to) {
        return named + QStringLiteral(" runs from a number up to one no smaller.");
    }
    if (range.from < b.least || range.to > b.most) {
        return named + QStringLiteral(" reaches beyond %1%3 to %2%3.")
                           .arg(number(b.least), number(b.most), QString::fromUtf16(b.unit));
    }
    if (!onStep(range.from, b.step) || !onStep(range.to, b.step)) {
        return named + QStringLiteral(" has ends that are not whole steps of %1.").arg(b.step);
    }
    if (varied == Varied::Days) {
        const links::Market& m = load.market;
        int latest = std::max(m.daysLeft.value_or(0), m.eventDays.value_or(0));
        for (int d : m.moreDaysLeft.value_or(std::vector<int>())) {
            latest = std::max(latest, d);
        }
        if (range.from < latest) {
            return named +
                   QStringLiteral(" starts below the %1 days its situation shows.").arg(latest);
        }
    }
    if (varied == Varied::StrikeShift) {
        if (!load.rows) {
            return named + QStringLiteral(" needs a situation with rows of its own to shift.");
        }
        for (const links::Row& row : *load.rows) {
            if (row.strike && *row.strike + range.from <= 0) {
                return named + QStringLiteral(" takes the strike %1 to 0 or below.")
                                   .arg(number(*row.strike));
            }
        }
    }
    return QString();
}

bool holdsALeg(const links::Load& load) {
    if (!load.strategy.isEmpty()) {
        return true;
    }
    for (const links::Leg& leg : load.legs) {
        if (leg.quantity != 0) {
            return true;
        }
    }
    return false;
}

} // namespace

QString key(Varied varied) {
    switch (varied) {
    case Varied::Price:
        return QStringLiteral("price");
    case Varied::Volatility:
        return QStringLiteral("volatility");
    case Varied::Days:
        return QStringLiteral("days");
    case Varied::Rate:
        return QStringLiteral("rate");
    case Varied::StrikeShift:
        return QStringLiteral("strikeShift");
    }
    return QString();
}

QString words(Varied varied) {
    switch (varied) {
    case Varied::Price:
        return QStringLiteral("today's price");
    case Varied::Volatility:
        return QStringLiteral("the volatility (%)");
    case Varied::Days:
        return QStringLiteral("the days to expiry");
    case Varied::Rate:
        return QStringLiteral("the interest rate (%)");
    case Varied::StrikeShift:
        return QStringLiteral("the strike shift");
    }
    return QString();
}

Pack newPack(const QString& title) {
    Pack pack;
    pack.id = QUuid::createUuid().toString(QUuid::Id128);
    pack.title = title;
    return pack;
}

QString nextQuestionId(const Pack& pack) {
    int highest = 0;
    for (const Question& q : pack.questions) {
        highest = std::max(highest, q.id.mid(1).toInt());
    }
    return QStringLiteral("q%1").arg(highest + 1);
}

QString asksName(Asks asks) {
    const AsksEntry* e = entryOf(asks);
    return e ? QString::fromLatin1(e->name) : QString();
}

std::optional<Asks> asksNamed(QStringView name) {
    for (const AsksEntry& e : kAsks) {
        if (name == QLatin1String(e.name)) {
            return e.asks;
        }
    }
    return std::nullopt;
}

const std::vector<Asks>& everyAsks() {
    static const std::vector<Asks> all = [] {
        std::vector<Asks> out;
        for (const AsksEntry& e : kAsks) {
            out.push_back(e.asks);
        }
        return out;
    }();
    return all;
}

QString asksWords(Asks asks) {
    const AsksEntry* e = entryOf(asks);
    return e ? QString::fromUtf16(e->words) : QString();
}

bool atAPrice(Asks asks) {
    const AsksEntry* e = entryOf(asks);
    return e && e->atAPrice;
}

bool isQuestionId(const QString& id) {
    static const QRegularExpression form(QStringLiteral("^q[1-9][0-9]{0,3}$"));
    return form.match(id).hasMatch();
}

QString problemOf(const Question& q) {
    if (!isQuestionId(q.id)) {
        return QStringLiteral("its id \"%1\" is not q and a number.").arg(q.id.left(20));
    }
    if (q.text.size() > limits::longestText || holdsControl(q.text, true)) {
        return QStringLiteral("its text is longer than %1 characters or holds control characters.")
            .arg(limits::longestText);
    }
    if (q.hint.size() > limits::longestHint || holdsControl(q.hint, false)) {
        return QStringLiteral("its hint is longer than %1 characters or holds control characters.")
            .arg(limits::longestHint);
    }
    if (q.situation.size() > limits::longestSituation) {
        return QStringLiteral("its situation is longer than %1 characters; a pack holds smaller "
                              "positions.")
            .arg(limits::longestSituation);
    }
    const links::Reading reading = links::readText(q.situation, startingQuotes().rowCount());
    if (!reading.load) {
        return QStringLiteral("its situation loads nothing: ") +
               (reading.problem.isEmpty()
                    ? QStringLiteral("it is not a link that loads a position.")
                    : reading.problem);
    }
    if (!holdsALeg(*reading.load)) {
        return QStringLiteral("its situation holds no option and no underlying.");
    }
    if (const QString judged = lessons::situationProblem(q.situation); !judged.isEmpty()) {
        return QStringLiteral("its situation cannot be judged: ") + judged;
    }
    if (atAPrice(q.asks) && !q.atTodaysPrice &&
        !(std::isfinite(q.price) && q.price > 0 && q.price <= 1000000)) {
        return QStringLiteral("its price %1 is not above 0 and up to 1000000.")
            .arg(number(q.price));
    }
    if (!(q.tolerance >= limits::leastTolerance && q.tolerance <= limits::largestTolerance)) {
        return QStringLiteral("its tolerance %1 is not from %2 to %3.")
            .arg(number(q.tolerance), number(limits::leastTolerance),
                 number(limits::largestTolerance));
    }
    for (Varied varied : everyVaried) {
        if (const std::optional<Range>& range = q.vary[std::size_t(varied)]) {
            if (const QString why = rangeProblem(varied, *range, *reading.load); !why.isEmpty()) {
                return why;
            }
        }
    }
    return QString();
}

} // namespace workbench::packs
