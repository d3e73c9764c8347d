// Dividend yields and American exercise: textbook prices, a binomial tree of
// our own as the judge of the engine, implied volatilities, where early
// exercise pays, and the curve that asks the engine only where it must.
#include "workbench/model/Strategies.h"
#include "workbench/pricing/BeforeExpiry.h"
#include "workbench/pricing/PriceCurve.h"

#include <QTest>

#include <cmath>
#include <utility>
#include <vector>

namespace {

namespace be = workbench::beforeexpiry;
namespace pricing = workbench::pricing;
using pricing::Right;

pricing::Quote american(Right right, double spot, double strike, int days, double rate,
                        double dividend) {
    return {right, spot, strike, days / 365.0, rate, dividend, true};
}

double exerciseValue(const pricing::Quote& q, double S) {
    return std::max(q.right == Right::Call ? S - q.strike : q.strike - S, 0.0);
}

// Cox, Ross and Rubinstein's tree, exercised wherever exercising is worth
// more than holding on.
double tree(pricing::Quote q, double volatility, double spot) {
    constexpr int steps = 2000;
    const double dt = q.years / steps;
    const double u = std::exp(volatility * std::sqrt(dt));
    const double up = (std::exp((q.rate - q.dividend) * dt) - 1 / u) / (u - 1 / u);
    const double discount = std::exp(-q.rate * dt);
    std::vector<double> powers(2 * steps + 1); // u to the power k - steps
    for (int k = 0; k <= 2 * steps; ++k) {
        powers[std::size_t(k)] = std::pow(u, k - steps);
    }
    std::vector<double> v(steps + 1);
    for (int i = 0; i <= steps; ++i) {
        v[std::size_t(i)] = exerciseValue(q, spot * powers[std::size_t(2 * i)]);
    }
    for (int n = steps - 1; n >= 0; --n) {
        for (int i = 0; i <= n; ++i) {
            const double hold =
                discount * (up * v[std::size_t(i) + 1] + (1 - up) * v[std::size_t(i)]);
            v[std::size_t(i)] =
                std::max(hold, exerciseValue(q, spot * powers[std::size_t(2 * i - n + steps)]));
        }
    }
    return v[0];
}

double normal(double x) {
    return 0.5 * std::erfc(-x / std::sqrt(2.0));
}

// The critical price of an American put with `years` to expiry, from the
// integral equation its exercise boundary B solves at every time left t
// (Kim, 1990):
//   K - B(t) = p(B(t), t) + integral over 0 < s < t of
//     r K e^(-r s) N(-d2(B(t) / B(t - s), s)) - q B(t) e^(-q s) N(-d1(...)),
// p the European put. Solved forwards from B(0) = K min(1, r / q) on times
// left crowded near 0, where the boundary falls fastest, each B(t) by
// bisection with the integral by the trapezoid rule.
double criticalPutPrice(double K, double years, double r, double q, double vol) {
    constexpr int steps = 600;
    std::vector<double> t(steps + 1);
    std::vector<double> b(steps + 1);
    for (int i = 0; i <= steps; ++i) {
        t[std::size_t(i)] = years * double(i) * i / (double(steps) * steps);
    }
    b[0] = q > 0 ? K * std::min(1.0, r / q) : K;
    const auto d1 = [&](double x, double s) {
        return (std::log(x) + (r - q + vol * vol / 2) * s) / (vol * std::sqrt(s));
    };
    for (std::size_t i = 1; i <= std::size_t(steps); ++i) {
        const double ti = t[i];
        const auto gap = [&](double B) {
            const double sd = vol * std::sqrt(ti);
            const double european = K * std::exp(-r * ti) * normal(-(d1(B / K, ti) - sd)) -
                                    B * std::exp(-q * ti) * normal(-d1(B / K, ti));
            // At s = 0 the two terms are half their weights.
            double integral = 0;
            double last = (r * K - q * B) / 2;
            for (std::size_t j = i; j-- > 0;) {
                const double s = ti - t[j];
                const double x = B / b[j];
                const double here =
                    r * K * std::exp(-r * s) * normal(-(d1(x, s) - vol * std::sqrt(s))) -
                    q * B * std::exp(-q * s) * normal(-d1(x, s));
                integral += (here + last) / 2 * (t[j + 1] - t[j]);
                last = here;
            }
            return K - B - european - integral;
        };
        double lo = 1e-6 * K;
        double hi = b[i - 1];
        for (int k = 0; k < 60; ++k) {
            const double mid = (lo + hi) / 2;
            (gap(mid) > 0 ? lo : hi) = mid;
        }
        b[i] = (lo + hi) / 2;
    }
    return b.back();
}

double worstEngineError = 0;

} // namespace

class TestEarlyExercise : public QObject {
    Q_OBJECT
private slots:
    void a_dividend_yield_lowers_the_forward_data();
    void a_dividend_yield_lowers_the_forward();
    void american_prices_agree_with_the_tree_data();
    void american_prices_agree_with_the_tree();
    void an_american_premium_gives_back_its_volatility_data();
    void an_american_premium_gives_back_its_volatility();
    void early_exercise_pays_beyond_the_boundary_and_not_before_data();
    void early_exercise_pays_beyond_the_boundary_and_not_before();
    void the_curve_keeps_within_a_tenth_of_a_cent_of_every_price_data();
    void the_curve_keeps_within_a_tenth_of_a_cent_of_every_price();
    void a_european_curve_keeps_within_a_tenth_of_a_cent_everywhere();
    void cleanupTestCase() { qInfo("engine against the tree: at most %.6f", worstEngineError); }
};

void TestEarlyExercise::a_dividend_yield_lowers_the_forward_data() {
    QTest::addColumn<double>("spot");
    QTest::addColumn<double>("rate");
    QTest::addColumn<double>("dividend");
    QTest::addColumn<double>("call");
    // An index option: strike 900, volatility 20 %, two months. The first is
    // the textbook's worked example, the second the formula worked by hand.
    QTest::newRow("index at 930") << 930.0 << 0.08 << 0.03 << 51.83;
    QTest::newRow("index at 850") << 850.0 << 0.02 << 0.06 << 8.80;
}

void TestEarlyExercise::a_dividend_yield_lowers_the_forward() {
    QFETCH(double, spot);
    QFETCH(double, rate);
    QFETCH(double, dividend);
    QFETCH(double, call);
    pricing::Quote q{Right::Call, spot, 900, 2 / 12.0, rate, dividend, false};
    QCOMPARE(std::round(*pricing::price(q, 0.2) * 100) / 100, call);
    pricing::Quote put = q;
    put.right = Right::Put;
    const double parity = spot * std::exp(-dividend * q.years) - 900 * std::exp(-rate * q.years);
    QVERIFY(std::abs(*pricing::price(q, 0.2) - *pricing::price(put, 0.2) - parity) < 1e-9);
    QVERIFY(std::abs(*pricing::impliedVolatility(put, *pricing::price(put, 0.2)) - 0.2) < 1e-6);
}

void TestEarlyExercise::american_prices_agree_with_the_tree_data() {
    QTest::addColumn<int>("right");
    QTest::addColumn<double>("strike");
    QTest::addColumn<int>("days");
    QTest::addColumn<double>("rate");
    QTest::addColumn<double>("dividend");
    QTest::addColumn<double>("volatility");
    // The start-up quotes with a yield, at the volatilities their premiums imply.
    for (const double strike : {40.0, 45.0, 50.0, 55.0, 60.0}) {
        for (const double volatility : {0.3, 0.63, 1.84}) {
            for (const Right right : {Right::Put, Right::Call}) {
                QTest::addRow("%s %g at %g", right == Right::Put ? "put" : "call", strike,
                              volatility)
                    << int(right) << strike << 30 << 0.05 << 0.03 << volatility;
            }
        }
    }
    QTest::newRow("textbook put, 5 months") << int(Right::Put) << 50.0 << 152 << 0.10 << 0.0 << 0.4;
    QTest::newRow("call, high yield") << int(Right::Call) << 45.0 << 200 << 0.02 << 0.12 << 0.25;
    QTest::newRow("put, rate below 0 and yield below it")
        << int(Right::Put) << 50.0 << 180 << -0.02 << -0.04 << 0.3;
    QTest::newRow("call, yield below 0 and rate below it")
        << int(Right::Call) << 50.0 << 180 << -0.04 << -0.02 << 0.3;
}

void TestEarlyExercise::american_prices_agree_with_the_tree() {
    QFETCH(int, right);
    QFETCH(double, strike);
    QFETCH(int, days);
    QFETCH(double, rate);
    QFETCH(double, dividend);
    QFETCH(double, volatility);
    const pricing::Quote q = american(Right(right), 50, strike, days, rate, dividend);
    const std::optional<double> price = pricing::price(q, volatility);
    QVERIFY(price);
    const double error = std::abs(*price - tree(q, volatility, 50));
    worstEngineError = std::max(worstEngineError, error);
    QVERIFY2(error < 0.01, qPrintable(QString::number(error)));
    if (strike == 50 && days == 152) {
        QCOMPARE(std::round(*price * 100) / 100, 4.28);
    }
}

void TestEarlyExercise::an_american_premium_gives_back_its_volatility_data() {
    QTest::addColumn<int>("right");
    QTest::addColumn<double>("strike");
    QTest::addColumn<double>("volatility");
    QTest::newRow("put deep in the money") << int(Right::Put) << 60.0 << 0.3;
    QTest::newRow("put at the money") << int(Right::Put) << 50.0 << 0.63;
    QTest::newRow("call with a yield") << int(Right::Call) << 40.0 << 1.84;
}

void TestEarlyExercise::an_american_premium_gives_back_its_volatility() {
    QFETCH(int, right);
    QFETCH(double, strike);
    QFETCH(double, volatility);
    const pricing::Quote q = american(Right(right), 50, strike, 30, 0.05, 0.08);
    const std::optional<double> implied =
        pricing::impliedVolatility(q, *pricing::price(q, volatility));
    QVERIFY(implied);
    QVERIFY2(std::abs(*implied - volatility) < 1e-5, qPrintable(QString::number(*implied)));
    // No volatility gives the exercise value or less: it is had at once.
    QVERIFY(!pricing::impliedVolatility(q, exerciseValue(q, 50)));
}

void TestEarlyExercise::early_exercise_pays_beyond_the_boundary_and_not_before_data() {
    QTest::addColumn<int>("right");
    QTest::addColumn<double>("strike");
    QTest::addColumn<int>("days");
    QTest::addColumn<double>("rate");
    QTest::addColumn<double>("dividend");
    QTest::addColumn<bool>("pays");
    QTest::newRow("put") << int(Right::Put) << 50.0 << 60 << 0.05 << 0.0 << true;
    // The market of the row before: its critical price scaled to the strike.
    QTest::newRow("index put at 900") << int(Right::Put) << 900.0 << 60 << 0.05 << 0.0 << true;
    QTest::newRow("the lesson's put at 60, 90 days")
        << int(Right::Put) << 60.0 << 90 << 0.05 << 0.0 << true;
    QTest::newRow("put with a yield") << int(Right::Put) << 50.0 << 60 << 0.10 << 0.03 << true;
    QTest::newRow("call with a yield") << int(Right::Call) << 50.0 << 60 << 0.05 << 0.08 << true;
    QTest::newRow("call 45, a 3 % yield, 20 days")
        << int(Right::Call) << 45.0 << 20 << 0.01 << 0.03 << true;
    QTest::newRow("call without one") << int(Right::Call) << 50.0 << 60 << 0.05 << 0.0 << false;
    QTest::newRow("put at a rate of 0") << int(Right::Put) << 50.0 << 60 << 0.0 << 0.02 << false;
}

void TestEarlyExercise::early_exercise_pays_beyond_the_boundary_and_not_before() {
    QFETCH(int, right);
    QFETCH(double, strike);
    QFETCH(int, days);
    QFETCH(double, rate);
    QFETCH(double, dividend);
    QFETCH(bool, pays);
    const pricing::Quote q = american(Right(right), 50, strike, days, rate, dividend);
    const std::optional<double> boundary = pricing::earlyExerciseBoundary(q, 0.3);
    QCOMPARE(bool(boundary), pays);
    if (boundary) {
        // A call's critical price is a put's with the rate and the yield
        // changed places, the strike squared over it.
        const double B =
            q.right == Right::Put
                ? criticalPutPrice(strike, q.years, rate, dividend, 0.3)
                : strike * strike / criticalPutPrice(strike, q.years, dividend, rate, 0.3);
        // Half a cent at the lessons' strikes, the same share of an index's.
        QVERIFY2(std::abs(*boundary - B) < 0.005 * std::max(1.0, strike / 100),
                 qPrintable(
                     QStringLiteral("%1 against %2").arg(*boundary, 0, 'f', 4).arg(B, 0, 'f', 4)));
    }
}

void TestEarlyExercise::the_curve_keeps_within_a_tenth_of_a_cent_of_every_price_data() {
    QTest::addColumn<int>("daysLeft");
    QTest::addColumn<double>("dividend");
    QTest::addColumn<bool>("calls");
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::addColumn<bool>("american");
    QTest::newRow("puts, a day left") << 1 << 0.0 << false << 1.0 << 100.0 << true;
    QTest::newRow("puts, ten days left") << 10 << 0.0 << false << 25.0 << 75.0 << true;
    QTest::newRow("puts, close up") << 10 << 0.03 << false << 45.0 << 55.0 << true;
    QTest::newRow("calls with a yield") << 29 << 0.1 << true << 1.0 << 200.0 << true;
    // European curves asked only where they bend, from a price of 0 on.
    QTest::newRow("European puts, a day left") << 1 << 0.0 << false << 0.0 << 100.0 << false;
    QTest::newRow("European calls, a yield") << 29 << 0.04 << true << 0.0 << 400.0 << false;
    QTest::newRow("European puts, a year, close up")
        << 365 << 0.0 << false << 45.0 << 55.0 << false;
    QTest::newRow("European calls, a day, wide") << 1 << 0.0 << true << 1.0 << 1000.0 << false;
}

void TestEarlyExercise::the_curve_keeps_within_a_tenth_of_a_cent_of_every_price() {
    QFETCH(int, daysLeft);
    QFETCH(double, dividend);
    QFETCH(bool, calls);
    QFETCH(double, from);
    QFETCH(double, to);
    QFETCH(bool, american);
    workbench::PositionState p = workbench::startingQuotes();
    for (int r = 1; r <= p.rowCount(); ++r) {
        (calls ? p.callQty : p.putQty)[r] = 1;
    }
    be::Inputs in;
    in.daysLeft = daysLeft;
    in.dividendYield = dividend;
    in.american = american;
    const be::Valuer valuer(p, in, workbench::payoff::profitDiagram);
    const std::vector<double> curve = valuer.curve(from, to, 200);
    QCOMPARE(curve.size(), std::size_t(201));
    const double tolerance = 0.001;
    for (int i = 0; i <= 200; ++i) {
        const double S = from + (to - from) * i / 200;
        QVERIFY2(std::abs(curve[std::size_t(i)] - valuer.valueAt(S)) <= tolerance,
                 qPrintable(QString::number(S)));
    }
    if (!american) {
        return;
    }
    // Every option held is American with days left; the puts' early exercise
    // pays, so does the calls' with their yield.
    QCOMPARE(valuer.earlyExercise().size(), std::size_t(5));
    in.american = false;
    QVERIFY(be::Valuer(p, in, workbench::payoff::profitDiagram).earlyExercise().empty());
}

void TestEarlyExercise::a_european_curve_keeps_within_a_tenth_of_a_cent_everywhere() {
    // A European curve is asked only where it bends, the rest drawn between:
    // across days, volatilities, ranges and rates, every point stays within
    // the tolerance of the price asked there.
    double worst = 0;
    for (const int days : {1, 5, 30, 365, 3650}) {
        for (const double volatility : {0.02, 0.3, 1.5, 4.0}) {
            for (const auto& [from, to] : {std::pair{1.0, 100.0}, {45.0, 55.0}, {0.5, 1000.0}}) {
                for (const auto right : {pricing::Right::Call, pricing::Right::Put}) {
                    const pricing::Quote q{right, 0, 50, days / 365.0, 0.07, 0.02, false};
                    const std::vector<double> curve =
                        pricing::priceCurve(q, volatility, from, to, 200, 0.001);
                    for (int i = 0; i <= 200; ++i) {
                        pricing::Quote at = q;
                        at.spot = from + (to - from) * i / 200;
                        worst = std::max(worst, std::abs(curve[std::size_t(i)] -
                                                         *pricing::price(at, volatility)));
                    }
                }
            }
        }
    }
    QVERIFY2(worst <= 0.001, qPrintable(QString::number(worst)));
    qInfo("European curve against every price: at most %.6f", worst);
}

QTEST_GUILESS_MAIN(TestEarlyExercise)
#include "test_early_exercise.moc"
