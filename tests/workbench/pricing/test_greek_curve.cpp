// The greek curve against differences of the position's own value, taken
// here: in the price, a day apart and half a volatility point either way.
#include "workbench/model/Strategies.h"
#include "workbench/pricing/BeforeExpiry.h"

#include <QTest>

#include <algorithm>
#include <cmath>

namespace {

namespace be = workbench::beforeexpiry;
using be::Greek;

be::Inputs inputs(bool american, double dividend, int daysLeft = 12, double volatility = 0.3) {
    be::Inputs in;
    in.daysToday = 30;
    in.daysLeft = daysLeft;
    in.implied = false; // one volatility, so that the test can move it
    in.volatility = volatility;
    in.american = american;
    in.dividendYield = dividend;
    return in;
}

// The position's greeks from its values alone: prices 1 % of S apart under
// American exercise, as the read-out takes them, 0.1 % under European; a day
// either way, for theta is the derivative in time under either exercise;
// half a volatility point either way.
struct Differences {
    Differences(const workbench::PositionState& p, bool american, double dividend)
        : american(american), at(valuer(p, inputs(american, dividend))),
          dayLess(valuer(p, inputs(american, dividend, 11))),
          dayMore(valuer(p, inputs(american, dividend, 13))),
          lower(valuer(p, inputs(american, dividend, 12, 0.295))),
          upper(valuer(p, inputs(american, dividend, 12, 0.305))) {}

    static be::Valuer valuer(const workbench::PositionState& p, const be::Inputs& in) {
        return be::Valuer(p, in, workbench::payoff::profitDiagram);
    }

    double greek(Greek g, double S) const {
        const double h = (american ? 0.01 : 0.001) * S;
        switch (g) {
        case Greek::Delta:
            return (at.valueAt(S + h) - at.valueAt(S - h)) / (2 * h);
        case Greek::Gamma:
            return (at.valueAt(S + h) - 2 * at.valueAt(S) + at.valueAt(S - h)) / (h * h);
        case Greek::Theta:
            return (dayLess.valueAt(S) - dayMore.valueAt(S)) / 2;
        case Greek::Vega:
            return upper.valueAt(S) - lower.valueAt(S);
        case Greek::None:
            break;
        }
        return 0;
    }

    bool american;
    be::Valuer at, dayLess, dayMore, lower, upper;
};

} // namespace

class TestGreekCurve : public QObject {
    Q_OBJECT
private slots:
    void each_greek_is_the_difference_of_the_value_data();
    void each_greek_is_the_difference_of_the_value();
    void a_european_greek_curve_is_the_greeks_at_each_price_data();
    void a_european_greek_curve_is_the_greeks_at_each_price();
};

void TestGreekCurve::each_greek_is_the_difference_of_the_value_data() {
    QTest::addColumn<QString>("strategy");
    QTest::addColumn<int>("greek");
    QTest::addColumn<bool>("american");
    QTest::addColumn<double>("dividend");
    // Off by at most this share of the largest greek along the curve: the
    // differences' own error under European exercise, the engine's prices
    // drawn between the points it is asked at under American.
    QTest::addColumn<double>("share");
    const struct {
        const char* name;
        const char* strategy;
        Greek greek;
        bool american;
        double dividend;
    } rows[] = {
        {"call delta", "Naked Call", Greek::Delta, false, 0},
        {"covered put delta counts the underlying", "Covered Put", Greek::Delta, false, 0},
        {"straddle gamma", "Straddle", Greek::Gamma, false, 0.02},
        {"bull spread theta", "Bullish Call Spread", Greek::Theta, false, 0},
        {"strangle vega", "Strangle", Greek::Vega, false, 0},
        {"American put delta", "Naked Put", Greek::Delta, true, 0},
        {"American put gamma", "Naked Put", Greek::Gamma, true, 0},
        {"American butterfly of puts gamma", "Put Butterfly Spread", Greek::Gamma, true, 0},
        {"American strip theta", "Strip", Greek::Theta, true, 0.02},
        {"American covered call vega", "Covered Call", Greek::Vega, true, 0.04},
        {"American bear put spread delta", "Bearish Put Spread", Greek::Delta, true, 0},
    };
    for (const auto& row : rows) {
        QTest::newRow(row.name) << QString::fromLatin1(row.strategy) << int(row.greek)
                                << row.american << row.dividend << (row.american ? 0.004 : 0.003);
    }
}

void TestGreekCurve::each_greek_is_the_difference_of_the_value() {
    QFETCH(QString, strategy);
    QFETCH(int, greek);
    QFETCH(bool, american);
    QFETCH(double, dividend);
    QFETCH(double, share);
    workbench::PositionState p = workbench::startingQuotes();
    workbench::hold(p, *workbench::findStrategy(strategy));
    const be::Valuer valuer(p, inputs(american, dividend), workbench::payoff::profitDiagram);
    const Differences differences(p, american, dividend);
    constexpr double from = 20;
    constexpr double to = 80;
    constexpr int points = 60;
    const std::vector<double> curve = valuer.greekCurve(Greek(greek), from, to, points);
    QCOMPARE(curve.size(), std::size_t(points + 1));
    std::vector<double> expected;
    double largest = 0;
    for (int i = 0; i <= points; ++i) {
        expected.push_back(differences.greek(Greek(greek), from + (to - from) * i / points));
        largest = std::max(largest, std::abs(expected.back()));
    }
    QVERIFY(largest > 0);
    for (int i = 0; i <= points; ++i) {
        QVERIFY2(std::abs(curve[std::size_t(i)] - expected[std::size_t(i)]) <= share * largest,
                 qPrintable(QStringLiteral("at %1: %2 against %3")
                                .arg(from + (to - from) * i / points)
                                .arg(curve[std::size_t(i)])
                                .arg(expected[std::size_t(i)])));
    }
}

void TestGreekCurve::a_european_greek_curve_is_the_greeks_at_each_price_data() {
    QTest::addColumn<int>("greek");
    QTest::addColumn<int>("daysLeft");
    QTest::addColumn<double>("dividend");
    for (const Greek g : {Greek::Delta, Greek::Gamma, Greek::Theta, Greek::Vega}) {
        for (const int days : {1, 12, 30}) {
            QTest::addRow("greek %d, %d days", int(g), days) << int(g) << days << 0.03;
        }
    }
}

void TestGreekCurve::a_european_greek_curve_is_the_greeks_at_each_price() {
    // Asked only where it bends, the curve stays within a thousandth of its
    // largest size of the greeks the read-out gives at each price.
    QFETCH(int, greek);
    QFETCH(int, daysLeft);
    QFETCH(double, dividend);
    workbench::PositionState p = workbench::startingQuotes();
    workbench::hold(p, *workbench::findStrategy(QStringLiteral("Call Butterfly Spread")));
    p.putQty[2] = -3;
    p.underlyingQty = 1;
    be::Inputs in = inputs(false, dividend, daysLeft, 0.45);
    const be::Valuer valuer(p, in, workbench::payoff::profitDiagram);
    constexpr double from = 0.5;
    constexpr double to = 150;
    constexpr int points = 200;
    const std::vector<double> curve = valuer.greekCurve(Greek(greek), from, to, points);
    const auto pick = [greek](const be::Greeks& g) {
        switch (Greek(greek)) {
        case Greek::Delta:
            return g.delta;
        case Greek::Gamma:
            return g.gamma;
        case Greek::Theta:
            return g.thetaPerDay;
        default:
            return g.vegaPerPoint;
        }
    };
    std::vector<double> exact;
    double largest = 0;
    for (int i = 0; i <= points; ++i) {
        exact.push_back(pick(valuer.greeksAt(from + (to - from) * i / points)));
        largest = std::max(largest, std::abs(exact.back()));
    }
    for (int i = 0; i <= points; ++i) {
        QVERIFY2(std::abs(curve[std::size_t(i)] - exact[std::size_t(i)]) <= 1e-3 * largest,
                 qPrintable(QStringLiteral("at %1: %2 against %3")
                                .arg(from + (to - from) * i / points)
                                .arg(curve[std::size_t(i)])
                                .arg(exact[std::size_t(i)])));
    }
}

QTEST_GUILESS_MAIN(TestGreekCurve)
#include "test_greek_curve.moc"
