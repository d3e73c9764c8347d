#include "platform/Numbers.h"
#include "workbench/model/PositionAnalysis.h"
#include "workbench/model/Strategies.h"

#include <QTest>

#include <cmath>

using workbench::PositionState;
using workbench::analysis::Extreme;
using workbench::analysis::PriceSpan;
namespace analysis = workbench::analysis;
namespace payoff = workbench::payoff;

namespace {

using Spans = std::vector<PriceSpan>;

const auto at = [](double x) { return PriceSpan{x, x}; };
const auto upTo = [](double x) { return PriceSpan{0, x}; };
const auto from = [](double a, double b) { return PriceSpan{a, b}; };
const auto above = [](double x) { return PriceSpan{x, analysis::unbounded}; };
const auto limited = [](double value, Spans where) { return Extreme{false, value, where}; };
const Extreme unlimited{true, 0, {}};

struct Expected {
    double netPremium;
    Spans breakEvens;
    Extreme highest;
    Extreme lowest;
};

bool near(const Spans& a, const Spans& b) {
    const auto same = [](double x, double y) { return x == y || std::abs(x - y) < 1e-9; };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [&](auto& s, auto& t) { return same(s.from, t.from) && same(s.to, t.to); });
}

bool near(const Extreme& a, const Extreme& b) {
    return a.unlimited == b.unlimited && std::abs(a.value - b.value) < 1e-9 &&
           near(a.where, b.where);
}

PositionState strategy(const QString& name) {
    PositionState p = workbench::startingQuotes();
    workbench::hold(p, *workbench::findStrategy(name));
    return p;
}

// One option of row 3 (strike 50 unless given) beside the start-up quotes.
PositionState one(bool call, float qty, float premium, float strike = 50) {
    PositionState p = workbench::startingQuotes();
    p.strike[3] = strike;
    (call ? p.callQty : p.putQty)[3] = qty;
    (call ? p.callPrice : p.putPrice)[3] = premium;
    return p;
}

// The start-up premiums by strike.
constexpr double c40 = 16, c50 = 10.5, c60 = 6.5;
constexpr double p40 = 0.5, p50 = 3.5, p60 = 10;

} // namespace

Q_DECLARE_METATYPE(Expected)
Q_DECLARE_METATYPE(PositionState)

class TestPositionAnalysis : public QObject {
    Q_OBJECT
private slots:
    void every_strategy_breaks_even_and_peaks_where_the_textbook_says_data();
    void every_strategy_breaks_even_and_peaks_where_the_textbook_says();
    void positions_read_in_plain_words_data();
    void positions_read_in_plain_words();
    void a_thousand_rows_agree_with_dense_sampling();
};

void TestPositionAnalysis::every_strategy_breaks_even_and_peaks_where_the_textbook_says_data() {
    QTest::addColumn<Expected>("expected");
    // Spreads between 40 and 60 have a gap of 20: the most one side can make
    // is the gap less what the other side can make.
    QTest::newRow("Naked Put") << Expected{
        p50, {at(50 - p50)}, limited(50 - p50, {at(0)}), limited(-p50, {above(50)})};
    QTest::newRow("Naked Call") << Expected{
        c50, {at(50 + c50)}, unlimited, limited(-c50, {upTo(50)})};
    QTest::newRow("Covered Put") << Expected{
        -p50, {at(50 + p50)}, limited(p50, {upTo(50)}), unlimited};
    QTest::newRow("Covered Call") << Expected{
        -c50, {at(50 - c50)}, limited(c50, {above(50)}), limited(c50 - 50, {at(0)})};
    QTest::newRow("Put Ratio Hedge") << Expected{
        -2 * p50, {at(50 - 2 * p50), at(50 + 2 * p50)}, limited(2 * p50, {at(50)}), unlimited};
    QTest::newRow("Call Ratio Hedge") << Expected{
        -2 * c50, {at(50 - 2 * c50), at(50 + 2 * c50)}, limited(2 * c50, {at(50)}), unlimited};
    const double bullPutC = p60 - p40, bullCallD = c40 - c60;
    QTest::newRow("Bullish Put Spread") << Expected{-bullPutC,
                                                    {at(60 - bullPutC)},
                                                    limited(bullPutC, {above(60)}),
                                                    limited(-(20 - bullPutC), {upTo(40)})};
    QTest::newRow("Bullish Call Spread") << Expected{bullCallD,
                                                     {at(40 + bullCallD)},
                                                     limited(20 - bullCallD, {above(60)}),
                                                     limited(-bullCallD, {upTo(40)})};
    QTest::newRow("Bearish Put Spread") << Expected{bullPutC,
                                                    {at(60 - bullPutC)},
                                                    limited(20 - bullPutC, {upTo(40)}),
                                                    limited(-bullPutC, {above(60)})};
    QTest::newRow("Bearish Call Spread") << Expected{-bullCallD,
                                                     {at(40 + bullCallD)},
                                                     limited(bullCallD, {upTo(40)}),
                                                     limited(-(20 - bullCallD), {above(60)})};
    // Ratio spreads: the worst is at the inner strike, 20 less the credit.
    const double putRatioC = p60 - 2 * p40, callRatioC = c40 - 2 * c60;
    QTest::newRow("Put Ratio Spread") << Expected{-putRatioC,
                                                  {at(40 - (20 - putRatioC)), at(60 - putRatioC)},
                                                  limited(40 - (20 - putRatioC), {at(0)}),
                                                  limited(-(20 - putRatioC), {at(40)})};
    QTest::newRow("Call Ratio Spread")
        << Expected{-callRatioC,
                    {at(40 + callRatioC), at(60 + (20 - callRatioC))},
                    unlimited,
                    limited(-(20 - callRatioC), {at(60)})};
    // Butterflies: 10 less the debit at the body, the debit lost on both wings.
    const double putFlyD = p40 - 2 * p50 + p60, callFlyD = c40 - 2 * c50 + c60;
    QTest::newRow("Put Butterfly Spread") << Expected{putFlyD,
                                                      {at(40 + putFlyD), at(60 - putFlyD)},
                                                      limited(10 - putFlyD, {at(50)}),
                                                      limited(-putFlyD, {upTo(40), above(60)})};
    QTest::newRow("Call Butterfly Spread") << Expected{callFlyD,
                                                       {at(40 + callFlyD), at(60 - callFlyD)},
                                                       limited(8.5, {at(50)}),
                                                       limited(-callFlyD, {upTo(40), above(60)})};
    // Long volatility: the strikes plus or minus the premiums over the slope.
    const double straddleD = c50 + p50, strangleD = c60 + p40;
    const double stripD = c50 + 2 * p50, strapD = 2 * c50 + p50;
    QTest::newRow("Straddle") << Expected{straddleD,
                                          {at(50 - straddleD), at(50 + straddleD)},
                                          unlimited,
                                          limited(-straddleD, {at(50)})};
    QTest::newRow("Strangle") << Expected{strangleD,
                                          {at(40 - strangleD), at(60 + strangleD)},
                                          unlimited,
                                          limited(-strangleD, {from(40, 60)})};
    QTest::newRow("Strip") << Expected{
        stripD, {at(50 - stripD / 2), at(50 + stripD)}, unlimited, limited(-stripD, {at(50)})};
    QTest::newRow("Strap") << Expected{
        strapD, {at(50 - strapD), at(50 + strapD / 2)}, unlimited, limited(-strapD, {at(50)})};
}

void TestPositionAnalysis::every_strategy_breaks_even_and_peaks_where_the_textbook_says() {
    QFETCH(Expected, expected);
    const PositionState p = strategy(QString::fromLatin1(QTest::currentDataTag()));
    const analysis::Analysis a = analysis::analyse(p, payoff::profitDiagram);
    const QByteArray text = analysis::describe(a).toUtf8();
    QVERIFY2(std::abs(a.netPremium - expected.netPremium) < 1e-9, text);
    QVERIFY2(near(a.breakEvens, expected.breakEvens), text);
    QVERIFY2(near(a.highest, expected.highest), text);
    QVERIFY2(near(a.lowest, expected.lowest), text);
    // The drawn curve, rounded to floats, goes through the same corners.
    for (double k : a.kinks) {
        QCOMPARE(payoff::positionValue(p, float(k), payoff::profitDiagram),
                 float(analysis::valueAt(p, k, payoff::profitDiagram)));
    }
}

void TestPositionAnalysis::positions_read_in_plain_words_data() {
    QTest::addColumn<PositionState>("position");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QStringList>("lines"); // the lines the row is about
    const int profit = payoff::profitDiagram;
    const int payoffKind = payoff::payoffDiagram;
    QTest::newRow("a call butterfly, every line")
        << strategy("Call Butterfly Spread") << profit
        << QStringList{"Net premium: 1.50 paid",
                       "Break-even: 41.50 and 58.50",
                       "Break-even from 50.00: -17.00 % and +17.00 %",
                       "Maximum profit: 8.50 at 50.00",
                       "Maximum loss: 1.50 at or below 40.00 and at or above 60.00",
                       "Reward to risk: 5.67 to 1",
                       "Capital at risk: 1.50, 100.00 % of the 1.50 the position costs today",
                       "At expiry, if the price stays at 50.00: 8.50"};
    // Costs move the break-evens and the extremes; today's price moves the
    // underlying's cost and the distances.
    PositionState costly = strategy("Straddle");
    costly.costPerOption = 0.65f;
    costly.underlyingPrice = 63.2f;
    QTest::newRow("a straddle with costs, the price at 63.20")
        << costly << profit
        << QStringList{"Trading costs: 1.30 paid",
                       "Break-even: 34.70 and 65.30",
                       "Break-even from 63.20: -45.09 % and +3.32 %",
                       "Maximum loss: 15.30 at 50.00",
                       "Capital at risk: 15.30, 100.00 % of the "
                       "15.30 the position costs today",
                       "At expiry, if the price stays at 63.20: -2.10"};
    PositionState covered = strategy("Covered Call");
    covered.costPerUnit = 0.01f;
    covered.costPerOption = 0.5f;
    QTest::newRow("costs per unit and per option")
        << covered << profit
        << QStringList{"Trading costs: 0.51 paid", "Underlying bought at 50.00: 50.00 paid"};
    PositionState credit = workbench::startingQuotes();
    credit.putQty[4] = -1;
    credit.putQty[3] = 1;
    QTest::newRow("a spread opened for a credit")
        << credit << profit
        << QStringList{"Reward to risk: 1.50 to 1",
                       "Capital at risk: 2.00 (the position is opened for a credit of 3.00)"};
    QTest::newRow("the payoff diagram knows no costs")
        << costly << payoffKind
        << QStringList{"Net premium: 14.00 paid", "Zero payoff: 50.00",
                       "Minimum payoff: 0.00 at 50.00",
                       "At expiry, if the price stays at 63.20: 13.20"};
    PositionState only = workbench::startingQuotes();
    only.underlyingQty = 1;
    QTest::newRow("the underlying alone")
        << only << payoffKind
        << QStringList{"Underlying bought at 50.00: 50.00 paid", "Zero payoff: 0.00",
                       "Maximum payoff: unlimited as the price rises",
                       "Minimum payoff: 0.00 at 0.00",
                       "At expiry, if the price stays at 50.00: 50.00"};
    only.underlyingQty = -2;
    QTest::newRow("two of the underlying sold short")
        << only << profit
        << QStringList{"Underlying sold at 50.00: 100.00 received",
                       "Maximum loss: unlimited as the price rises"};
    QTest::newRow("every quantity 0") << workbench::startingQuotes() << profit
                                      << QStringList{"Net premium: 0.00",
                                                     "Break-even: at every price",
                                                     "Break-even from 50.00: at every price",
                                                     "Maximum profit: 0.00 at every price",
                                                     "Maximum loss: 0.00 at every price",
                                                     "Capital at risk: none"};
    // 0.1 + 0.2 - 0.3 is 7e-9 in floats: still a flat break-even. The put
    // struck at 0 is worth nothing but its premium.
    PositionState noise(3);
    noise.strike = {0, 45, 55, 0};
    noise.putQty = {0, 1, 0, -1};
    noise.putPrice = {0, 0.1f, 0, 0.3f};
    noise.callQty = {0, 0, 1, 0};
    noise.callPrice = {0, 0, 0.2f, 0};
    QTest::newRow("premiums that cancel in float rounding")
        << noise << profit
        << QStringList{"Net premium: 0.00", "Break-even: from 45.00 to 55.00",
                       "Maximum loss: 0.00 from 45.00 to 55.00"};
    PositionState slopes = workbench::startingQuotes();
    slopes.callQty[1] = 0.1f;
    slopes.callQty[2] = 0.2f;
    slopes.callQty[5] = -0.3f;
    QTest::newRow("quantities that cancel in float rounding")
        << slopes << payoffKind
        << QStringList{"Zero payoff: at or below 40.00", "Maximum payoff: 5.00 at or above 60.00"};
    // Three steps up by 0.1 and three down leave 1.5e-8, which the grid shows
    // as 0.00 and which is no holding.
    PositionState residue = workbench::startingQuotes();
    for (const float step : {0.1f, 0.1f, 0.1f, -0.1f, -0.1f, -0.1f}) {
        residue.callQty[3] = platform::numbers::single(double(residue.callQty[3]) + step);
    }
    QTest::newRow("what stepping up and down leaves behind")
        << residue << payoffKind
        << QStringList{"Zero payoff: at every price", "Maximum payoff: 0.00 at every price"};
    PositionState atZero(1);
    atZero.callQty[1] = 1;
    atZero.callPrice[1] = 50;
    QTest::newRow("a call struck at 0 is the underlying")
        << atZero << profit
        << QStringList{"Net premium: 50.00 paid", "Break-even: 50.00",
                       "Maximum loss: 50.00 at 0.00"};
    PositionState outside = strategy("Straddle");
    outside.callQty[2] = 5;
    outside.putQty[4] = -3;
    outside.takesPart[2] = outside.takesPart[4] = false;
    QTest::newRow("rows that take no part")
        << outside << profit
        << QStringList{"Net premium: 14.00 paid", "Break-even: 36.00 and 64.00",
                       "Maximum loss: 14.00 at 50.00"};
    PositionState twice = workbench::startingQuotes();
    twice.strike[2] = 40; // bought at 16, written at 13: the same call
    twice.callQty[1] = 1;
    twice.callQty[2] = -1;
    QTest::newRow("one strike twice")
        << twice << profit
        << QStringList{"Break-even: none",
                       "Maximum profit: none (the smallest loss is 3.00 at every price)",
                       "Maximum loss: 3.00 at every price",
                       "At expiry, if the price stays at 50.00: -3.00"};
    twice.callQty = {0, -1, 1, 0, 0, 0};
    twice.putQty[3] = 0.5f;
    QTest::newRow("a gain at every price")
        << twice << profit
        << QStringList{"Maximum loss: none (the smallest profit is 1.25 at or above 50.00)"};
    // Halves away from zero on the decimals the grid shows, whatever the
    // float or the double sum holds.
    QTest::newRow("16.445 paid") << one(true, 1, 16.445f) << profit
                                 << QStringList{"Net premium: 16.45 paid", "Break-even: 66.45"};
    QTest::newRow("16.445 received")
        << one(true, -1, 16.445f) << profit << QStringList{"Net premium: 16.45 received"};
    QTest::newRow("122.305") << one(false, 1, 122.305f, 150) << profit
                             << QStringList{"Net premium: 122.31 paid", "Break-even: 27.70"};
    QTest::newRow("2.675") << one(true, 1, 2.675f) << profit
                           << QStringList{"Net premium: 2.68 paid"};
    QTest::newRow("0.005") << one(false, 1, 0.005f) << profit
                           << QStringList{"Net premium: 0.01 paid"};
    QTest::newRow("0.15 x 11.5, 1.7249999999999999 in double")
        << one(true, 0.15f, 11.5f) << profit << QStringList{"Maximum loss: 1.73 at or below 50.00"};
}

void TestPositionAnalysis::positions_read_in_plain_words() {
    QFETCH(PositionState, position);
    QFETCH(int, kind);
    QFETCH(QStringList, lines);
    const QString text = analysis::describe(analysis::analyse(position, payoff::DiagramKind(kind)));
    for (const QString& line : lines) {
        QVERIFY2(text.split(u'\n').contains(line), qPrintable(text));
    }
    if (QByteArray(QTest::currentDataTag()).contains("every line")) {
        QCOMPARE(text, lines.join(u'\n'));
    }
}

void TestPositionAnalysis::a_thousand_rows_agree_with_dense_sampling() {
    PositionState p(1000);
    for (int r = 1; r <= 1000; ++r) {
        p.strike[r] = float(20 + 0.06 * r);
        p.callPrice[r] = float(std::max(50 - p.strike[r], 0.0f) + 1.5);
        p.putPrice[r] = float(std::max(p.strike[r] - 50, 0.0f) + 1.5);
        p.callQty[r] = float((r * 7919 % 11 - 5) * 0.5);
        p.putQty[r] = float(r * 104729 % 7 - 3);
        p.takesPart[r] = r % 97 != 0;
    }
    p.underlyingQty = 2;
    const auto f = payoff::profitDiagram;
    const analysis::Analysis a = analysis::analyse(p, f);
    QVERIFY(a.highest.unlimited != a.lowest.unlimited);
    const Extreme& limitedOne = a.highest.unlimited ? a.lowest : a.highest;
    const double sign = a.highest.unlimited ? -1 : 1;
    for (const PriceSpan& s : limitedOne.where) {
        QVERIFY(std::abs(analysis::valueAt(p, s.from, f) - limitedOne.value) <= a.tolerance);
    }
    for (const PriceSpan& s : a.breakEvens) {
        QVERIFY(s.isPoint());
        QVERIFY(std::abs(analysis::valueAt(p, s.from, f)) <= a.tolerance);
    }
    double before = analysis::valueAt(p, 0, f);
    int crossings = 0;
    for (double S = 0.005; S < 120; S += 0.005) {
        const double v = analysis::valueAt(p, S, f);
        QVERIFY(sign * v <= sign * limitedOne.value + a.tolerance);
        if ((before < 0) != (v < 0)) {
            ++crossings;
            const bool found = std::any_of(a.breakEvens.begin(), a.breakEvens.end(), [&](auto& s) {
                return s.from >= S - 0.005 && s.from <= S;
            });
            QVERIFY2(found, qPrintable(QString::number(S)));
        }
        before = v;
    }
    QCOMPARE(int(a.breakEvens.size()), crossings);
}

QTEST_APPLESS_MAIN(TestPositionAnalysis)
#include "test_position_analysis.moc"
