// The position valued before expiry: textbook prices, the expiry limit, parity,
// the signs of a straddle's greeks and premiums no volatility explains.
#include "workbench/model/PositionAnalysis.h"
#include "workbench/model/Strategies.h"
#include "workbench/pricing/BeforeExpiry.h"

#include <QTest>

#include <cmath>
#include <utility>

namespace {

namespace be = workbench::beforeexpiry;
namespace pricing = workbench::pricing;
using workbench::payoff::payoffDiagram;
using workbench::payoff::profitDiagram;

workbench::PositionState holding(const QString& strategy) {
    workbench::PositionState p = workbench::startingQuotes();
    workbench::hold(p, *workbench::findStrategy(strategy));
    return p;
}

// Black, Scholes and Merton's price, written here apart from the program's.
double bsm(pricing::Right right, double S, double K, double t, double r, double v) {
    const double d1 = (std::log(S / K) + (r + v * v / 2) * t) / (v * std::sqrt(t));
    const double d2 = d1 - v * std::sqrt(t);
    const auto N = [](double x) { return 0.5 * std::erfc(-x / std::sqrt(2.0)); };
    return right == pricing::Right::Call ? S * N(d1) - K * std::exp(-r * t) * N(d2)
                                         : K * std::exp(-r * t) * N(-d2) - S * N(-d1);
}

be::Inputs days(int today, int left, bool implied = true) {
    be::Inputs in;
    in.daysToday = today;
    in.daysLeft = left;
    in.implied = implied;
    return in;
}

} // namespace

class TestBeforeExpiry : public QObject {
    Q_OBJECT
private slots:
    void textbook_prices_and_their_implied_volatility_data();
    void textbook_prices_and_their_implied_volatility();
    void with_no_days_left_every_strategy_is_worth_its_expiry_value();
    void another_date_of_one_valuer_is_a_valuer_built_for_it_data();
    void another_date_of_one_valuer_is_a_valuer_built_for_it();
    void a_call_less_a_put_of_one_strike_is_the_forward_less_the_strike();
    void a_long_straddle_gains_from_movement_and_loses_to_time();
    void a_premium_no_volatility_explains_is_priced_with_the_one_volatility();
    void a_thousand_rows_price_without_a_failure();
    void a_row_the_model_cannot_value_takes_no_part_data();
    void a_row_the_model_cannot_value_takes_no_part();
    void the_chance_of_a_profit_before_expiry_is_that_of_the_whole_law_data();
    void the_chance_of_a_profit_before_expiry_is_that_of_the_whole_law();
    void a_volatility_shift_values_each_option_at_its_volatility_moved_data();
    void a_volatility_shift_values_each_option_at_its_volatility_moved();
    void an_event_values_the_dates_from_it_on_at_the_volatility_after_it_data();
    void an_event_values_the_dates_from_it_on_at_the_volatility_after_it();
};

void TestBeforeExpiry::textbook_prices_and_their_implied_volatility_data() {
    QTest::addColumn<int>("right");
    QTest::addColumn<double>("premium");
    QTest::newRow("call") << int(pricing::Right::Call) << 4.76;
    QTest::newRow("put") << int(pricing::Right::Put) << 0.81;
}

void TestBeforeExpiry::textbook_prices_and_their_implied_volatility() {
    QFETCH(int, right);
    QFETCH(double, premium);
    // Spot 42, strike 40, rate 10 %, half a year, volatility 20 %.
    const pricing::Quote q{pricing::Right(right), 42, 40, 0.5, 0.10};
    const double price = *pricing::price(q, 0.20);
    QCOMPARE(std::round(price * 100) / 100, premium);
    const std::optional<double> implied = pricing::impliedVolatility(q, price);
    QVERIFY(implied);
    QVERIFY(std::abs(*implied - 0.20) < 1e-6);
}

void TestBeforeExpiry::with_no_days_left_every_strategy_is_worth_its_expiry_value() {
    for (const workbench::Strategy& s : workbench::standardStrategies()) {
        const QString name = QString::fromUtf16(s.name);
        workbench::PositionState p = holding(name);
        // Today's price and the trading costs enter both alike.
        if (name.startsWith(u'S') || name.startsWith(QStringLiteral("Covered"))) {
            p.underlyingPrice = 63.2f;
            p.costPerOption = 0.65f;
            p.costPerUnit = 0.01f;
        }
        for (const auto kind : {payoffDiagram, profitDiagram}) {
            const be::Valuer valuer(p, days(30, 0), kind);
            for (int i = 0; i <= 100; ++i) {
                const double S = i;
                const double expiry = workbench::analysis::valueAt(p, S, kind);
                QVERIFY2(std::abs(valuer.valueAt(S) - expiry) < 1e-9,
                         qPrintable(name + QStringLiteral(" at %1").arg(S)));
            }
        }
    }
}

void TestBeforeExpiry::another_date_of_one_valuer_is_a_valuer_built_for_it_data() {
    QTest::addColumn<QString>("strategy");
    QTest::addColumn<bool>("implied");
    QTest::addColumn<double>("dividend");
    QTest::addColumn<bool>("american");
    QTest::newRow("straddle, implied") << QStringLiteral("Straddle") << true << 0.0 << false;
    QTest::newRow("butterfly, one volatility, dividend")
        << QStringLiteral("Call Butterfly Spread") << false << 0.03 << false;
    QTest::newRow("bear put spread, American")
        << QStringLiteral("Bearish Put Spread") << true << 0.0 << true;
    QTest::newRow("covered call, American with dividend")
        << QStringLiteral("Covered Call") << false << 0.04 << true;
}

void TestBeforeExpiry::another_date_of_one_valuer_is_a_valuer_built_for_it() {
    QFETCH(QString, strategy);
    QFETCH(bool, implied);
    QFETCH(double, dividend);
    QFETCH(bool, american);
    const workbench::PositionState p = holding(strategy);
    be::Inputs in = days(45, 0, implied);
    in.dividendYield = dividend;
    in.american = american;
    const be::Valuer dates(p, in, profitDiagram);
    // Beyond the days to expiry is today; below 0 is expiry.
    for (const auto& [asked, meant] :
         {std::pair{45, 45}, {30, 30}, {7, 7}, {1, 1}, {60, 45}, {-3, 0}}) {
        const be::Valuer other = dates.atDaysLeft(asked);
        in.daysLeft = meant;
        const be::Valuer built(p, in, profitDiagram);
        for (const double S : {20.0, 44.5, 50.0, 57.25, 90.0}) {
            QVERIFY2(std::abs(other.valueAt(S) - built.valueAt(S)) < 1e-12,
                     qPrintable(QStringLiteral("%1 days at %2").arg(asked).arg(S)));
        }
        QCOMPARE(other.earlyExercise().size(), built.earlyExercise().size());
    }
}

void TestBeforeExpiry::a_call_less_a_put_of_one_strike_is_the_forward_less_the_strike() {
    workbench::PositionState call = workbench::startingQuotes();
    call.callQty[3] = 1;
    workbench::PositionState put = workbench::startingQuotes();
    put.putQty[3] = 1;
    const be::Inputs in = days(30, 20, false);
    const be::Valuer calls(call, in, payoffDiagram);
    const be::Valuer puts(put, in, payoffDiagram);
    const double discounted = 50 * std::exp(-in.rate * 20 / 365.0);
    for (const double S : {0.0, 1.0, 30.0, 50.0, 77.5, 100.0}) {
        QVERIFY2(std::abs(calls.valueAt(S) - puts.valueAt(S) - (S - discounted)) < 1e-9,
                 qPrintable(QString::number(S)));
    }
}

void TestBeforeExpiry::a_long_straddle_gains_from_movement_and_loses_to_time() {
    const workbench::PositionState p = holding(QStringLiteral("Straddle"));
    for (const bool implied : {true, false}) {
        const be::Greeks g = be::Valuer(p, days(30, 10, implied), profitDiagram).greeksAt(50);
        QVERIFY(g.gamma > 0);
        QVERIFY(g.vegaPerPoint > 0);
        QVERIFY(g.thetaPerDay < 0);
    }
    // Valued today with the volatilities its premiums imply, it is worth what it cost.
    QVERIFY(std::abs(be::Valuer(p, days(30, 30), profitDiagram).valueAt(50)) < 1e-6);
}

void TestBeforeExpiry::a_premium_no_volatility_explains_is_priced_with_the_one_volatility() {
    workbench::PositionState p = workbench::startingQuotes();
    p.putPrice[5] = 9.00f; // below the 60 put's least value, 60 e^(-rt) - 50
    p.putQty[5] = 1;
    const std::vector<be::RowVolatility> rows = be::impliedVolatilities(p, days(30, 10));
    QCOMPARE(rows.size(), std::size_t(5));
    QVERIFY(!rows[4].put);
    QVERIFY(rows[4].call && rows[3].put);
    const be::Valuer implied(p, days(30, 10, true), payoffDiagram);
    const be::Valuer single(p, days(30, 10, false), payoffDiagram);
    for (const double S : {40.0, 55.0, 70.0}) {
        QCOMPARE(implied.valueAt(S), single.valueAt(S));
    }
}

void TestBeforeExpiry::a_thousand_rows_price_without_a_failure() {
    workbench::PositionState p(1000);
    for (int r = 1; r <= 1000; ++r) {
        p.strike[r] = float(20 + 0.06 * r);
        p.callPrice[r] = float(std::max(50 - p.strike[r], 0.0f) + 1.5);
        p.putPrice[r] = float(std::max(p.strike[r] - 50, 0.0f) + (r % 7 == 0 ? 0 : 1.5));
        p.callQty[r] = float(r % 5 - 2);
        p.putQty[r] = float(r % 3 - 1);
    }
    QCOMPARE(be::impliedVolatilities(p, days(30, 5)).size(), std::size_t(1000));
    const be::Valuer valuer(p, days(30, 5), profitDiagram);
    for (const double S : {0.0, 25.0, 50.0, 100.0}) {
        QVERIFY(std::isfinite(valuer.valueAt(S)));
    }
    const be::Greeks g = valuer.greeksAt(50);
    QVERIFY(std::isfinite(g.delta + g.gamma + g.thetaPerDay + g.vegaPerPoint));
}

void TestBeforeExpiry::a_row_the_model_cannot_value_takes_no_part_data() {
    QTest::addColumn<float>("strike");
    QTest::addColumn<double>("volatility");
    QTest::addColumn<int>("why");
    QTest::newRow("negative strike") << -10.0f << 0.3 << int(be::NotValued::StrikeNotAboveZero);
    QTest::newRow("strike of 0") << 0.0f << 0.3 << int(be::NotValued::StrikeNotAboveZero);
    QTest::newRow("strike next to 0") << 1e-30f << 0.3 << int(be::NotValued::BeyondTheModel);
    QTest::newRow("negative volatility") << 50.0f << -0.3 << int(be::NotValued::NoVolatility);
}

void TestBeforeExpiry::a_row_the_model_cannot_value_takes_no_part() {
    QFETCH(float, strike);
    QFETCH(double, volatility);
    QFETCH(int, why);
    // A straddle at 50 and a call of row 3 whose strike or volatility fails.
    workbench::PositionState p = holding(QStringLiteral("Straddle"));
    p.strike[3] = strike;
    be::Inputs in = days(30, 10, false);
    in.volatility = volatility;
    const std::vector<be::RowNotValued> rows = be::rowsNotValued(p, in);
    QCOMPARE(rows.size(), std::size_t(1));
    QCOMPARE(rows[0].row, 3);
    QCOMPARE(int(rows[0].why), why);
    const be::Valuer valuer(p, in, payoffDiagram);
    QCOMPARE(valuer.notValued().size(), std::size_t(1));
    // Nothing is left to value but the underlying, which the straddle has none of.
    for (const double S : {0.0, 50.0, 100.0}) {
        QCOMPARE(valuer.valueAt(S), 0.0);
    }
    QCOMPARE(valuer.greeksAt(50).gamma, 0.0);
}

QTEST_GUILESS_MAIN(TestBeforeExpiry)
#include "test_before_expiry.moc"

void TestBeforeExpiry::the_chance_of_a_profit_before_expiry_is_that_of_the_whole_law_data() {
    QTest::addColumn<QString>("strategy");
    QTest::addColumn<double>("spot");
    QTest::addColumn<bool>("american");
    QTest::addColumn<int>("daysToday");
    QTest::addColumn<int>("daysLeft");
    QTest::newRow("a butterfly about 250") << "Call Butterfly Spread" << 250.0 << false << 30 << 10;
    QTest::newRow("a butterfly, 2 days left")
        << "Call Butterfly Spread" << 50.0 << false << 30 << 2;
    QTest::newRow("a strangle") << "Strangle" << 50.0 << false << 60 << 20;
    QTest::newRow("an American strip") << "Strip" << 47.0 << true << 40 << 15;
}

void TestBeforeExpiry::the_chance_of_a_profit_before_expiry_is_that_of_the_whole_law() {
    QFETCH(QString, strategy);
    QFETCH(double, spot);
    QFETCH(bool, american);
    QFETCH(int, daysToday);
    QFETCH(int, daysLeft);
    be::Inputs in = days(daysToday, daysLeft, false);
    in.volatility = 0.3;
    in.rate = 0.04;
    in.dividendYield = 0.01;
    in.american = american;
    // The same strikes in proportion about today's price, bought at what
    // the model says they are worth today.
    workbench::PositionState p = holding(strategy);
    p.underlyingPrice = float(spot);
    for (std::size_t r = 1; r <= std::size_t(p.rowCount()); ++r) {
        p.strike[r] = float(p.strike[r] * spot / 50);
        pricing::Quote q{pricing::Right::Call, spot,    p.strike[r], daysToday / 365.0, in.rate,
                         in.dividendYield,     american};
        p.callPrice[r] = float(*pricing::price(q, in.volatility));
        q.right = pricing::Right::Put;
        p.putPrice[r] = float(*pricing::price(q, in.volatility));
    }
    const be::Valuer valuer(p, in, profitDiagram);
    const workbench::probability::Lognormal law{spot, (daysToday - daysLeft) / 365.0, in.rate,
                                                in.dividendYield, in.volatility};
    // A fine integration of the density over ln S, each price valued: a
    // step of a 4,000th of a standard deviation leaves under 0.0001 at two
    // sign changes.
    double expected = 0;
    constexpr int steps = 48000;
    constexpr double span = 6;
    const double sd = law.spread();
    for (int i = 0; i < steps; ++i) {
        const double z = -span + 2 * span * (i + 0.5) / steps;
        const double weight = std::exp(-z * z / 2) / std::sqrt(2 * M_PI) * 2 * span / steps;
        if (valuer.valueAt(std::exp(law.mean() + z * sd)) > 0) {
            expected += weight;
        }
    }
    const double chance = be::chanceOfProfit(valuer, law);
    QVERIFY2(expected > 0.05 && expected < 0.95, qPrintable(QString::number(expected)));
    QVERIFY2(std::abs(chance - expected) < 0.0001,
             qPrintable(
                 QStringLiteral("%1 against %2").arg(chance, 0, 'f', 6).arg(expected, 0, 'f', 6)));
}

void TestBeforeExpiry::a_volatility_shift_values_each_option_at_its_volatility_moved_data() {
    QTest::addColumn<bool>("implied");
    QTest::addColumn<double>("shift");
    QTest::newRow("the one volatility, 10 points more") << false << 0.10;
    QTest::newRow("the one volatility, 40 points less: the least") << false << -0.40;
    QTest::newRow("implied, 10 points more") << true << 0.10;
    QTest::newRow("implied, 50 points less") << true << -0.50;
}

void TestBeforeExpiry::a_volatility_shift_values_each_option_at_its_volatility_moved() {
    QFETCH(bool, implied);
    QFETCH(double, shift);
    const workbench::PositionState p = holding(QStringLiteral("Straddle"));
    be::Inputs in = days(30, 10, implied);
    in.volatilityShift = shift;
    // The straddle's options at strike 50, each at the volatility its premium
    // implies (unmoved by the shift) or the one volatility, then moved.
    const be::RowVolatility row = be::impliedVolatilities(p, in)[2];
    QCOMPARE(row.strike, 50.0);
    const auto moved = [&](std::optional<double> own) {
        return std::max(0.01, (implied ? *own : in.volatility) + shift);
    };
    const double t = 10 / 365.0;
    const be::Valuer valuer(p, in, payoffDiagram);
    for (const double S : {44.0, 50.0, 57.5}) {
        const double expected = bsm(pricing::Right::Call, S, 50, t, in.rate, moved(row.call)) +
                                bsm(pricing::Right::Put, S, 50, t, in.rate, moved(row.put));
        QVERIFY2(std::abs(valuer.valueAt(S) - expected) < 1e-9,
                 qPrintable(QStringLiteral("%1 against %2").arg(valuer.valueAt(S)).arg(expected)));
    }
    // The law of the price at expiry moves with it.
    const double law = implied ? (*row.call + *row.put) / 2 : in.volatility;
    QCOMPARE(be::lawVolatility(p, in).volatility, std::max(0.01, law + shift));
    // American exercise: the engine at the moved volatility, as a student
    // would set it as the one volatility.
    if (!implied) {
        in.american = true;
        be::Inputs set = in;
        set.volatilityShift = 0;
        set.volatility = moved(std::nullopt);
        const be::Valuer shifted(p, in, payoffDiagram);
        const be::Valuer asSet(p, set, payoffDiagram);
        for (const double S : {44.0, 50.0, 57.5}) {
            QCOMPARE(shifted.valueAt(S), asSet.valueAt(S));
        }
    }
}

void TestBeforeExpiry::an_event_values_the_dates_from_it_on_at_the_volatility_after_it_data() {
    QTest::addColumn<int>("daysLeft");
    QTest::addColumn<double>("shift");
    QTest::addColumn<double>("expected"); // the volatility the date is valued with
    // Thirty days to expiry, 40 % before an event ten days from today, 25 %
    // after it.
    QTest::newRow("a date before the event") << 25 << 0.0 << 0.40;
    QTest::newRow("the day before it") << 21 << 0.0 << 0.40;
    QTest::newRow("the day of the event") << 20 << 0.0 << 0.25;
    QTest::newRow("after it, shifted 5 points") << 5 << 0.05 << 0.30;
    QTest::newRow("before it, shifted 5 points less") << 28 << -0.05 << 0.35;
}

void TestBeforeExpiry::an_event_values_the_dates_from_it_on_at_the_volatility_after_it() {
    QFETCH(int, daysLeft);
    QFETCH(double, shift);
    QFETCH(double, expected);
    const workbench::PositionState p = holding(QStringLiteral("Straddle"));
    be::Inputs in = days(30, 0, false);
    in.volatility = 0.40;
    in.volatilityShift = shift;
    in.eventDays = 10;
    in.volatilityAfter = 0.25;
    const double t = daysLeft / 365.0;
    // Built for the date, and moved to it from another: the same values.
    be::Inputs at = in;
    at.daysLeft = daysLeft;
    const be::Valuer built(p, at, payoffDiagram);
    const be::Valuer moved = be::Valuer(p, in, payoffDiagram).atDaysLeft(daysLeft);
    for (const double S : {44.0, 50.0, 57.5}) {
        const double want = bsm(pricing::Right::Call, S, 50, t, in.rate, expected) +
                            bsm(pricing::Right::Put, S, 50, t, in.rate, expected);
        QVERIFY2(std::abs(built.valueAt(S) - want) < 1e-9,
                 qPrintable(QStringLiteral("%1 against %2").arg(built.valueAt(S)).arg(want)));
        QCOMPARE(moved.valueAt(S), built.valueAt(S));
    }
    // The law to that date: the variance of the days before the event at the
    // volatility then, and of those after it at the one after it.
    const int passed = 30 - daysLeft;
    const double before = 0.40 + shift;
    const double after = 0.25 + shift;
    const double variance = passed <= 10 ? before * before * passed
                                         : before * before * 10 + after * after * (passed - 10);
    const double law = be::lawOver(p, in, before, passed).volatility;
    QVERIFY2(std::abs(law * law * passed - variance) < 1e-12, qPrintable(QString::number(law)));
    // American exercise: the engine at the volatility of the date.
    in.american = true;
    at = in;
    at.daysLeft = daysLeft;
    at.eventDays = 0;
    at.volatilityShift = 0;
    at.volatility = expected;
    const be::Valuer american = be::Valuer(p, in, payoffDiagram).atDaysLeft(daysLeft);
    const be::Valuer asSet(p, at, payoffDiagram);
    for (const double S : {44.0, 57.5}) {
        QCOMPARE(american.valueAt(S), asSet.valueAt(S));
    }
}
