#include "Exercises.h"

#include "workbench/model/PositionAnalysis.h"
#include "workbench/model/Strategies.h"

#include <QLocale>
#include <QUrl>

#include <cmath>
#include <optional>

namespace workbench::exercises {

namespace {

// A cent either way is right, with room for the binary fractions that
// 36.01 - 36.00 leaves beyond it.
constexpr double kWithin = 0.01 + 1e-9;

using analysis::money;

// The strategy as the list loads it with the quotes the program starts with.
PositionState positionOf(const Exercise& exercise) {
    PositionState position = startingQuotes();
    if (const Strategy* strategy = findStrategy(QString::fromUtf16(exercise.strategy))) {
        hold(position, *strategy);
    }
    return position;
}

analysis::Analysis analysed(const Exercise& exercise) {
    return analysis::analyse(positionOf(exercise), payoff::profitDiagram);
}

bool yesOrNo(Asks asks) {
    return asks == Asks::ProfitLimited || asks == Asks::LossLimited;
}

// The true answer as a number, or nothing when it has none (no break-even,
// an unlimited extreme): no typed number is right then.
std::optional<double> trueNumber(const Exercise& exercise) {
    if (exercise.asks == Asks::ProfitAt) {
        return analysis::valueAt(positionOf(exercise), exercise.price, payoff::profitDiagram);
    }
    const analysis::Analysis a = analysed(exercise);
    switch (exercise.asks) {
    case Asks::BreakEven:
        if (a.breakEvens.size() != 1) {
            return std::nullopt;
        }
        return a.breakEvens.front().from;
    case Asks::LowerBreakEven:
        if (a.breakEvens.empty()) {
            return std::nullopt;
        }
        return a.breakEvens.front().from;
    case Asks::UpperBreakEven:
        if (a.breakEvens.empty() || a.breakEvens.back().isUnboundedAbove()) {
            return std::nullopt;
        }
        return a.breakEvens.back().to;
    case Asks::GreatestProfit:
        return a.highest.unlimited ? std::nullopt : std::optional(a.highest.value);
    case Asks::GreatestLoss:
        return a.lowest.unlimited ? std::nullopt : std::optional(-a.lowest.value);
    case Asks::ProfitAt:
    case Asks::ProfitLimited:
    case Asks::LossLimited:
        break;
    }
    return std::nullopt;
}

// A true number as a page writes it.
QString written(const std::optional<double>& truth) {
    return truth ? money(*truth) : QStringLiteral("no limit");
}

bool trueYes(const Exercise& exercise) {
    const analysis::Analysis a = analysed(exercise);
    return exercise.asks == Asks::ProfitLimited ? !a.highest.unlimited : !a.lowest.unlimited;
}

// A number as students type one: "36", "36.5", "$36.50", "-7", "36,50".
std::optional<double> readNumber(QString text) {
    text = text.trimmed();
    text.remove(u'$');
    if (!text.contains(u'.') && text.count(u',') == 1) {
        text.replace(u',', u'.');
    }
    bool ok = false;
    const double value = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<bool> readYesOrNo(const QString& text) {
    const QString word = text.trimmed().toLower();
    if (word == u"yes" || word == u"y") {
        return true;
    }
    if (word == u"no" || word == u"n") {
        return false;
    }
    return std::nullopt;
}

} // namespace

const std::vector<Exercise>& all() {
    static const std::vector<Exercise> table = {
        {u"naked-put-1", u"Naked Put", Asks::BreakEven, 0, u"46.50"},
        {u"naked-put-2", u"Naked Put", Asks::ProfitAt, 45, u"1.50"},
        {u"naked-call-1", u"Naked Call", Asks::ProfitLimited, 0, u"no"},
        {u"naked-call-2", u"Naked Call", Asks::ProfitAt, 55, u"-5.50"},
        {u"covered-put-1", u"Covered Put", Asks::LossLimited, 0, u"no"},
        {u"covered-put-2", u"Covered Put", Asks::GreatestProfit, 0, u"3.50"},
        {u"covered-call-1", u"Covered Call", Asks::GreatestLoss, 0, u"39.50"},
        {u"covered-call-2", u"Covered Call", Asks::ProfitAt, 45, u"5.50"},
        {u"put-ratio-hedge-1", u"Put Ratio Hedge", Asks::LowerBreakEven, 0, u"43.00"},
        {u"put-ratio-hedge-2", u"Put Ratio Hedge", Asks::LossLimited, 0, u"no"},
        {u"call-ratio-hedge-1", u"Call Ratio Hedge", Asks::UpperBreakEven, 0, u"71.00"},
        {u"call-ratio-hedge-2", u"Call Ratio Hedge", Asks::ProfitAt, 60, u"11.00"},
        {u"bullish-put-spread-1", u"Bullish Put Spread", Asks::GreatestLoss, 0, u"10.50"},
        {u"bullish-put-spread-2", u"Bullish Put Spread", Asks::BreakEven, 0, u"50.50"},
        {u"bullish-call-spread-1", u"Bullish Call Spread", Asks::GreatestProfit, 0, u"10.50"},
        {u"bullish-call-spread-2", u"Bullish Call Spread", Asks::ProfitAt, 55, u"5.50"},
        {u"bearish-put-spread-1", u"Bearish Put Spread", Asks::GreatestLoss, 0, u"9.50"},
        {u"bearish-put-spread-2", u"Bearish Put Spread", Asks::BreakEven, 0, u"50.50"},
        {u"bearish-call-spread-1", u"Bearish Call Spread", Asks::GreatestProfit, 0, u"9.50"},
        {u"bearish-call-spread-2", u"Bearish Call Spread", Asks::ProfitAt, 50, u"-0.50"},
        {u"put-ratio-spread-1", u"Put Ratio Spread", Asks::GreatestLoss, 0, u"11.00"},
        {u"put-ratio-spread-2", u"Put Ratio Spread", Asks::UpperBreakEven, 0, u"51.00"},
        {u"call-ratio-spread-1", u"Call Ratio Spread", Asks::ProfitLimited, 0, u"no"},
        {u"call-ratio-spread-2", u"Call Ratio Spread", Asks::GreatestLoss, 0, u"17.00"},
        {u"put-butterfly-spread-1", u"Put Butterfly Spread", Asks::GreatestProfit, 0, u"6.50"},
        {u"put-butterfly-spread-2", u"Put Butterfly Spread", Asks::LowerBreakEven, 0, u"43.50"},
        {u"call-butterfly-spread-1", u"Call Butterfly Spread", Asks::UpperBreakEven, 0, u"58.50"},
        {u"call-butterfly-spread-2", u"Call Butterfly Spread", Asks::GreatestLoss, 0, u"1.50"},
        {u"straddle-1", u"Straddle", Asks::LowerBreakEven, 0, u"36.00"},
        {u"straddle-2", u"Straddle", Asks::GreatestLoss, 0, u"14.00"},
        {u"strangle-1", u"Strangle", Asks::UpperBreakEven, 0, u"67.00"},
        {u"strangle-2", u"Strangle", Asks::ProfitAt, 45, u"-7.00"},
        {u"strip-1", u"Strip", Asks::LowerBreakEven, 0, u"41.25"},
        {u"strip-2", u"Strip", Asks::ProfitAt, 40, u"2.50"},
        {u"strap-1", u"Strap", Asks::UpperBreakEven, 0, u"62.25"},
        {u"strap-2", u"Strap", Asks::LossLimited, 0, u"yes"},
    };
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

QString topic(const Exercise& exercise) {
    switch (exercise.asks) {
    case Asks::BreakEven:
        return QStringLiteral("the break-even");
    case Asks::LowerBreakEven:
        return QStringLiteral("the lower break-even");
    case Asks::UpperBreakEven:
        return QStringLiteral("the upper break-even");
    case Asks::GreatestProfit:
        return QStringLiteral("the greatest profit");
    case Asks::GreatestLoss:
        return QStringLiteral("the greatest loss");
    case Asks::ProfitAt:
        return QStringLiteral("the profit at ") + money(exercise.price);
    case Asks::ProfitLimited:
        return QStringLiteral("whether the profit is limited");
    case Asks::LossLimited:
        return QStringLiteral("whether the loss is limited");
    }
    return QString();
}

QString trueAnswer(const Exercise& exercise) {
    if (yesOrNo(exercise.asks)) {
        return trueYes(exercise) ? QStringLiteral("yes") : QStringLiteral("no");
    }
    return written(trueNumber(exercise));
}

QString hint(const Exercise& exercise) {
    // Every line named here is a line of the analysis as the profit diagram
    // writes it, so that the student finds the very words on the workbench,
    // with where the profit curve shows it.
    const auto readLine = [](const char* line, const char* where) {
        return QStringLiteral("Plot the profit diagram and read the \"%1\" line of the "
                              "analysis under the numbers: %2.")
            .arg(QLatin1String(line), QLatin1String(where));
    };
    switch (exercise.asks) {
    case Asks::BreakEven:
        return readLine("Break-even", "the price where the profit curve crosses zero");
    case Asks::LowerBreakEven:
        return readLine("Break-even", "the lowest price where the profit curve crosses zero");
    case Asks::UpperBreakEven:
        return readLine("Break-even", "the highest price where the profit curve crosses zero");
    case Asks::GreatestProfit:
        return readLine("Maximum profit", "the highest the profit curve goes");
    case Asks::GreatestLoss:
        return readLine("Maximum loss", "the lowest the profit curve goes, as an amount lost");
    case Asks::ProfitAt:
        return QStringLiteral("Plot the profit diagram and rest the mouse on the profit curve at "
                              "%1: the read-out in the plot area's bottom left corner gives the "
                              "profit there. Or "
                              "add up each leg's profit at %1.")
            .arg(money(exercise.price));
    case Asks::ProfitLimited:
        return QStringLiteral("Plot the profit diagram and follow the profit curve as the price "
                              "rises: does it level off? The \"Maximum profit\" line of the "
                              "analysis under the numbers says so too.");
    case Asks::LossLimited:
        return QStringLiteral("Plot the profit diagram and follow the profit curve as the price "
                              "rises and as it falls to 0: does it level off? The \"Maximum "
                              "loss\" line of the analysis under the numbers says so too.");
    }
    return QString();
}

QString tryIt(const Exercise& exercise) {
    return QStringLiteral("wqz-workbench:load?strategy=%1&diagram=profit")
        .arg(QString::fromLatin1(QUrl::toPercentEncoding(QString::fromUtf16(exercise.strategy))));
}

Verdict check(const Exercise& exercise, const QString& typed) {
    const QString shown = typed.trimmed().left(longestAnswer);
    if (yesOrNo(exercise.asks)) {
        const std::optional<bool> answer = readYesOrNo(shown);
        if (!answer) {
            return {Outcome::Unreadable, QStringLiteral("Answer yes or no.")};
        }
        const bool yes = trueYes(exercise);
        if (*answer != yes) {
            return {Outcome::Wrong,
                    QStringLiteral("Not right: think again whether the %1 has a limit.")
                        .arg(exercise.asks == Asks::ProfitLimited ? u"profit" : u"loss")};
        }
        return {Outcome::Right, QStringLiteral("Right: the %1 %2.")
                                    .arg(exercise.asks == Asks::ProfitLimited ? u"profit" : u"loss",
                                         yes ? u"is limited" : u"has no limit")};
    }
    const std::optional<double> answer =
        typed.size() > longestAnswer ? std::nullopt : readNumber(shown);
    if (!answer) {
        return {Outcome::Unreadable, QStringLiteral("Type a number, such as 45.50.")};
    }
    const std::optional<double> truth = trueNumber(exercise);
    const double given = exercise.asks == Asks::GreatestLoss ? std::abs(*answer) : *answer;
    if (truth && std::abs(given - *truth) <= kWithin) {
        return {Outcome::Right, QStringLiteral("Right: ") + topic(exercise) +
                                    QStringLiteral(" is ") + written(truth) + u'.'};
    }
    return {Outcome::Wrong, QStringLiteral("Not right: ") + topic(exercise) +
                                QStringLiteral(" is not ") + shown + u'.'};
}

} // namespace workbench::exercises
