// The scenarios table against the diagram's own curves: round price steps
// from today's price, the columns from today to expiry, the values at expiry
// worked out by hand and before expiry by a valuer of their own, and the rows
// marked for today and for each break-even.
#include "workbench/model/Strategies.h"
#include "workbench/pricing/Scenarios.h"

#include <QTest>

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

namespace sc = workbench::scenarios;
namespace be = workbench::beforeexpiry;
using workbench::payoff::DiagramKind;

workbench::PositionState holding(const QString& strategy) {
    workbench::PositionState p = workbench::startingQuotes();
    workbench::hold(p, *workbench::findStrategy(strategy));
    return p;
}

// The diagram's value at expiry, as a student works it out.
double byHand(const workbench::PositionState& p, double S, DiagramKind kind) {
    double v = p.underlyingQty * (S - kind * double(p.underlyingPrice));
    double traded = 0;
    for (int r = 1; r <= p.rowCount(); ++r) {
        const double K = p.strike[r];
        v += p.callQty[r] * (std::max(S - K, 0.0) - kind * double(p.callPrice[r]));
        v += p.putQty[r] * (std::max(K - S, 0.0) - kind * double(p.putPrice[r]));
        traded += std::abs(p.callQty[r]) + std::abs(p.putQty[r]);
    }
    return v - kind * (p.costPerOption * traded + p.costPerUnit * std::abs(p.underlyingQty));
}

} // namespace

class TestScenarios : public QObject {
    Q_OBJECT
private slots:
    void rows_are_round_steps_from_todays_price_over_the_range_data();
    void rows_are_round_steps_from_todays_price_over_the_range();
    void columns_run_from_today_to_expiry_each_day_once_data();
    void columns_run_from_today_to_expiry_each_day_once();
    void values_are_the_solid_and_the_dashed_curves_data();
    void values_are_the_solid_and_the_dashed_curves();
    void today_and_the_rows_nearest_each_break_even_are_marked_data();
    void today_and_the_rows_nearest_each_break_even_are_marked();
};

void TestScenarios::rows_are_round_steps_from_todays_price_over_the_range_data() {
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::addColumn<double>("today");
    QTest::addColumn<double>("step");
    QTest::addColumn<double>("top");
    QTest::addColumn<int>("todayRow");
    QTest::newRow("start-up range") << 1.0 << 100.0 << 50.0 << 5.0 << 100.0 << 10;
    QTest::newRow("close in") << 40.0 << 60.0 << 50.0 << 1.0 << 60.0 << 10;
    QTest::newRow("two and a half") << 30.0 << 80.0 << 52.5 << 2.5 << 80.0 << 11;
    QTest::newRow("empty boxes, today outside") << 0.0 << 1.0 << 50.0 << 0.05 << 1.0 << -1;
    QTest::newRow("never below 0") << 1.0 << 100.0 << 3.0 << 5.0 << 103.0 << 20;
    QTest::newRow("odd price") << 0.0 << 12.0 << 50.37 << 1.0 << 20.37 << -1;
}

void TestScenarios::rows_are_round_steps_from_todays_price_over_the_range() {
    QFETCH(double, from);
    QFETCH(double, to);
    QFETCH(double, today);
    QFETCH(double, step);
    QFETCH(double, top);
    QFETCH(int, todayRow);
    workbench::PositionState p = workbench::startingQuotes();
    p.underlyingPrice = float(today);
    const sc::Table t = sc::build(p, {}, 1, workbench::payoff::priceRange(float(from), float(to)));
    QCOMPARE(t.prices.size(), std::size_t(21));
    QCOMPARE(t.step, step);
    QVERIFY(std::abs(t.prices.front() - top) < 1e-9);
    for (std::size_t r = 1; r < t.prices.size(); ++r) {
        QVERIFY(std::abs(t.prices[r - 1] - t.prices[r] - step) < 1e-9);
    }
    QVERIFY(t.prices.back() >= 0);
    QCOMPARE(t.todayRow, todayRow);
}

void TestScenarios::columns_run_from_today_to_expiry_each_day_once_data() {
    QTest::addColumn<int>("daysToday");
    QTest::addColumn<QList<int>>("columns");
    QTest::newRow("a month") << 30 << QList<int>{30, 24, 18, 12, 6, 0};
    QTest::newRow("a week") << 7 << QList<int>{7, 6, 4, 3, 1, 0};
    QTest::newRow("three days") << 3 << QList<int>{3, 2, 1, 0};
    QTest::newRow("one day") << 1 << QList<int>{1, 0};
}

void TestScenarios::columns_run_from_today_to_expiry_each_day_once() {
    QFETCH(int, daysToday);
    QFETCH(QList<int>, columns);
    const std::vector<int> days = sc::columnDays(daysToday, sc::defaultColumns);
    QCOMPARE(QList<int>(days.begin(), days.end()), columns);
    // The dates the diagram's dashed curves show are columns as well.
    be::Inputs in;
    in.daysToday = daysToday;
    in.daysLeft = daysToday / 2 + 1;
    in.moreDaysLeft = {daysToday, 1};
    const sc::Table t =
        sc::build(holding(QStringLiteral("Straddle")), in, workbench::payoff::profitDiagram,
                  workbench::payoff::priceRange(1, 100));
    QList<int> withDates = columns;
    for (const int d : {in.daysLeft, 1}) {
        if (!withDates.contains(d)) {
            withDates << d;
        }
    }
    std::sort(withDates.begin(), withDates.end(), std::greater<>());
    QCOMPARE(QList<int>(t.daysLeft.begin(), t.daysLeft.end()), withDates);
}

void TestScenarios::values_are_the_solid_and_the_dashed_curves_data() {
    QTest::addColumn<QString>("strategy");
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("american");
    QTest::addColumn<float>("strike3"); // row 3's strike; 0 cannot be valued before expiry
    QTest::addColumn<bool>("across");   // across volatility, at 10 days left and 5 points more
    QTest::newRow("straddle, profit") << "Straddle" << 1 << false << 50.0f << false;
    QTest::newRow("butterfly, payoff") << "Call Butterfly Spread" << 0 << false << 50.0f << false;
    QTest::newRow("covered call, American") << "Covered Call" << 1 << true << 50.0f << false;
    QTest::newRow("put spread, American") << "Bearish Put Spread" << 1 << true << 50.0f << false;
    QTest::newRow("a strike of 0") << "Straddle" << 1 << false << 0.0f << false;
    QTest::newRow("straddle across volatility") << "Straddle" << 1 << false << 50.0f << true;
    QTest::newRow("covered call across volatility, American")
        << "Covered Call" << 1 << true << 50.0f << true;
    QTest::newRow("a strike of 0 across volatility") << "Straddle" << 1 << false << 0.0f << true;
}

void TestScenarios::values_are_the_solid_and_the_dashed_curves() {
    QFETCH(QString, strategy);
    QFETCH(int, kind);
    QFETCH(bool, american);
    QFETCH(float, strike3);
    QFETCH(bool, across);
    workbench::PositionState p = holding(strategy);
    p.strike[3] = strike3;
    p.underlyingPrice = 51.5f;
    p.costPerOption = 0.65f;
    p.costPerUnit = 0.02f;
    be::Inputs in;
    in.american = american;
    in.dividendYield = 0.02;
    const workbench::payoff::PriceRange range = workbench::payoff::priceRange(1, 100);
    in.daysLeft = across ? 10 : 0;
    in.volatilityShift = across ? 0.05 : 0;
    const sc::Table t = across ? sc::buildAcrossVolatility(p, in, DiagramKind(kind), range)
                               : sc::build(p, in, DiagramKind(kind), range);
    // Across volatility every column is at the slider's date, one a shift,
    // the inputs' own among them.
    const std::vector<int> shifts =
        across ? std::vector<int>{-20, -10, 0, 5, 10, 20} : std::vector<int>();
    QCOMPARE(t.shiftPoints, shifts);
    QCOMPARE(t.daysLeft.back(), across ? 10 : 0);
    for (std::size_t c = 0; c < t.daysLeft.size(); ++c) {
        in.daysLeft = t.daysLeft[c];
        if (across) {
            in.volatilityShift = t.shiftPoints[c] / 100.0;
        }
        const be::Valuer dashed(p, in, DiagramKind(kind));
        for (std::size_t r = 0; r < t.prices.size(); ++r) {
            const double S = t.prices[r];
            const double want = in.daysLeft == 0  ? byHand(p, S, DiagramKind(kind))
                                : strike3 == 0.0f ? NAN
                                                  : dashed.valueAt(S);
            const QString where = QStringLiteral("%1 days at %2").arg(in.daysLeft).arg(S);
            QVERIFY2(std::isnan(want) ? std::isnan(t.values[r][c])
                                      : std::abs(t.values[r][c] - want) < 0.005,
                     qPrintable(where + QStringLiteral(": %1").arg(t.values[r][c])));
        }
    }
}

void TestScenarios::today_and_the_rows_nearest_each_break_even_are_marked_data() {
    QTest::addColumn<QString>("strategy");
    QTest::addColumn<int>("kind");
    QTest::addColumn<float>("callPrice3");
    QTest::addColumn<QList<int>>("rows");
    QTest::addColumn<QList<double>>("breakEvens");
    // Rows from 100 down to 0 in steps of 5: row 7 is 65, row 13 is 35.
    QTest::newRow("straddle at 36 and 64")
        << "Straddle" << 1 << 10.5f << QList<int>{7, 13} << QList<double>{64, 36};
    QTest::newRow("half-way, both rows") << "Straddle" << 1 << 9.0f << QList<int>{7, 8, 12, 13}
                                         << QList<double>{62.5, 62.5, 37.5, 37.5};
    QTest::newRow("a call's payoff turns at its strike")
        << "Naked Call" << 0 << 10.5f << QList<int>{10} << QList<double>{50};
}

void TestScenarios::today_and_the_rows_nearest_each_break_even_are_marked() {
    QFETCH(QString, strategy);
    QFETCH(int, kind);
    QFETCH(float, callPrice3);
    QFETCH(QList<int>, rows);
    QFETCH(QList<double>, breakEvens);
    workbench::PositionState p = holding(strategy);
    p.callPrice[3] = callPrice3;
    const sc::Table t = sc::build(p, {}, DiagramKind(kind), workbench::payoff::priceRange(1, 100));
    QCOMPARE(t.todayRow, 10);
    QList<int> marked;
    QList<double> at;
    for (const sc::BreakEven& b : t.breakEvens) {
        marked << b.row;
        at << b.price;
    }
    QCOMPARE(marked, rows);
    QCOMPARE(at, breakEvens);
}

QTEST_GUILESS_MAIN(TestScenarios)
#include "test_scenarios.moc"
