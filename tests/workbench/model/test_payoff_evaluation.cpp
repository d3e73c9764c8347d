#include "platform/RunTimeError.h"
#include "workbench/model/PayoffEvaluation.h"

#include <QTest>

#include <algorithm>
#include <cmath>

using workbench::PositionState;
using workbench::startingQuotes;

namespace {

workbench::payoff::Extremes sample(const PositionState& p, float xmin, float xmax,
                                   workbench::payoff::DiagramKind f,
                                   workbench::payoff::Samples& price,
                                   workbench::payoff::Samples& value) {
    return workbench::payoff::sampleCurve(p, workbench::payoff::priceRange(xmin, xmax), f, price,
                                          value, [](int) {});
}

} // namespace

class TestPayoffEvaluation : public QObject {
    Q_OBJECT
private slots:
    void sample_prices_run_from_the_lowest_price_one_step_short_of_the_highest();
    void a_highest_price_not_above_the_lowest_becomes_lowest_plus_one();
    void position_values_follow_the_textbook_formulas_data();
    void position_values_follow_the_textbook_formulas();
    void every_strike_row_takes_part_however_many_there_are();
    void values_at_strikes_in_one_sweep_agree_with_each_valued_alone_data();
    void values_at_strikes_in_one_sweep_agree_with_each_valued_alone();
    void a_value_beyond_a_float_is_an_overflow();
    void extremes_are_bounded_by_their_starting_values();
    void the_display_range_and_zero_line_decisions();
};

void TestPayoffEvaluation::sample_prices_run_from_the_lowest_price_one_step_short_of_the_highest() {
    workbench::payoff::Samples price{}, value{};
    sample(startingQuotes(), 1, 100, workbench::payoff::payoffDiagram, price, value);
    QCOMPARE(workbench::payoff::priceRange(1, 100).step, 0.99f);
    QVERIFY(qAbs(price[1] - 1.0f) < 1e-5f);
    QVERIFY(qAbs(price[2] - 1.99f) < 1e-5f);
    QVERIFY(qAbs(price[3] - 2.98f) < 1e-5f);
    QVERIFY(qAbs(price[100] - 99.01f) < 1e-3f);
    QVERIFY(price[100] < 99.5f);
    for (int i = 2; i <= 100; ++i) {
        QVERIFY(price[i] > price[i - 1]);
    }
}

void TestPayoffEvaluation::a_highest_price_not_above_the_lowest_becomes_lowest_plus_one() {
    const workbench::payoff::PriceRange r = workbench::payoff::priceRange(60, 40);
    QCOMPARE(r.xmin, 60.0f);
    QCOMPARE(r.xmax, 61.0f);
    QCOMPARE(r.step, 0.01f);
    const workbench::payoff::PriceRange equal =
        workbench::payoff::priceRange(0, 0); // two empty boxes
    QCOMPARE(equal.xmax, 1.0f);
}

void TestPayoffEvaluation::position_values_follow_the_textbook_formulas_data() {
    QTest::addColumn<QString>("holding");
    QTest::addColumn<int>("row");
    QTest::addColumn<float>("qty");
    QTest::addColumn<float>("S");
    QTest::addColumn<float>("payoff");
    QTest::addColumn<float>("profit");
    // One bought call at 50, premium 10.5.
    QTest::newRow("call below strike") << "call" << 3 << 1.0f << 40.0f << 0.0f << -10.5f;
    QTest::newRow("call at strike") << "call" << 3 << 1.0f << 50.0f << 0.0f << -10.5f;
    QTest::newRow("call above strike") << "call" << 3 << 1.0f << 60.0f << 10.0f << -0.5f;
    QTest::newRow("call far above") << "call" << 3 << 1.0f << 70.5f << 20.5f << 10.0f;
    // A written call earns its premium.
    QTest::newRow("written call below") << "call" << 3 << -1.0f << 40.0f << 0.0f << 10.5f;
    QTest::newRow("written call above") << "call" << 3 << -1.0f << 60.0f << -10.0f << 0.5f;
    // One bought put at 50, premium 3.5.
    QTest::newRow("put below strike") << "put" << 3 << 1.0f << 40.0f << 10.0f << 6.5f;
    QTest::newRow("put at strike") << "put" << 3 << 1.0f << 50.0f << 0.0f << -3.5f;
    QTest::newRow("put above strike") << "put" << 3 << 1.0f << 60.0f << 0.0f << -3.5f;
    QTest::newRow("two puts at 60") << "put" << 5 << 2.0f << 55.0f << 10.0f << -10.0f;
    // The underlying counts at its price, against 50 today.
    QTest::newRow("underlying low") << "underlying" << 0 << 1.0f << 1.0f << 1.0f << -49.0f;
    QTest::newRow("underlying high") << "underlying" << 0 << 1.0f << 99.0f << 99.0f << 49.0f;
    QTest::newRow("short underlying") << "underlying" << 0 << -1.0f << 60.0f << -60.0f << -10.0f;
    QTest::newRow("nothing") << "none" << 0 << 0.0f << 37.0f << 0.0f << 0.0f;
}

void TestPayoffEvaluation::position_values_follow_the_textbook_formulas() {
    QFETCH(QString, holding);
    QFETCH(int, row);
    QFETCH(float, qty);
    QFETCH(float, S);
    QFETCH(float, payoff);
    QFETCH(float, profit);
    PositionState p = startingQuotes();
    if (holding == "call") {
        p.callQty[row] = qty;
    } else if (holding == "put") {
        p.putQty[row] = qty;
    } else if (holding == "underlying") {
        p.underlyingQty = qty;
    }
    QCOMPARE(workbench::payoff::positionValue(p, S, workbench::payoff::payoffDiagram), payoff);
    QCOMPARE(workbench::payoff::positionValue(p, S, workbench::payoff::profitDiagram), profit);
}

void TestPayoffEvaluation::every_strike_row_takes_part_however_many_there_are() {
    PositionState p = startingQuotes();
    p.setRowCount(7);
    QCOMPARE(p.strike[5], 60.0f); // rows that stay keep their values
    p.strike[7] = 80;
    p.callPrice[7] = 2;
    p.callQty[7] = 1;
    QCOMPARE(workbench::payoff::positionValue(p, 90, workbench::payoff::payoffDiagram), 10.0f);
    QCOMPARE(workbench::payoff::positionValue(p, 90, workbench::payoff::profitDiagram), 8.0f);
    p.setRowCount(3);
    p.putQty[3] = 1;
    QCOMPARE(p.rowCount(), 3);
    QCOMPARE(workbench::payoff::positionValue(p, 45, workbench::payoff::payoffDiagram), 5.0f);
}

void TestPayoffEvaluation::values_at_strikes_in_one_sweep_agree_with_each_valued_alone_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("costs");
    QTest::newRow("payoff") << int(workbench::payoff::payoffDiagram) << false;
    QTest::newRow("profit, with costs and the underlying")
        << int(workbench::payoff::profitDiagram) << true;
}

void TestPayoffEvaluation::values_at_strikes_in_one_sweep_agree_with_each_valued_alone() {
    QFETCH(int, kind);
    QFETCH(bool, costs);
    const auto f = workbench::payoff::DiagramKind(kind);
    // Rows of repeated strikes, rows held in no quantity and rows taking no
    // part, among many held both ways.
    PositionState p = startingQuotes();
    p.setRowCount(300);
    for (int r = 1; r <= 300; ++r) {
        p.strike[r] = 20 + float(r % 97) * 0.5f;
        p.callPrice[r] = 1.25f;
        p.putPrice[r] = 0.75f;
        p.callQty[r] = r % 3 == 0 ? 0.0f : float(r % 5) - 2;
        p.putQty[r] = r % 7 == 0 ? 0.0f : 2 - float(r % 4);
        p.takesPart[std::size_t(r)] = r % 11 != 0;
    }
    if (costs) {
        p.costPerOption = 0.1f;
        p.costPerUnit = 0.02f;
        p.underlyingQty = 3;
    }
    std::vector<float> strikes;
    for (int k = 0; k < 97; ++k) {
        strikes.push_back(20 + float(k) * 0.5f);
    }
    strikes.push_back(75.3f); // above every strike
    const std::vector<float> swept = workbench::payoff::valuesAtStrikes(p, strikes, f);
    QCOMPARE(swept.size(), strikes.size());
    for (std::size_t i = 0; i < strikes.size(); ++i) {
        const float alone = workbench::payoff::positionValue(p, strikes[i], f);
        QVERIFY2(std::abs(swept[i] - alone) <= 1e-4f * std::max(1.0f, std::abs(alone)),
                 qPrintable(
                     QStringLiteral("%1: %2 against %3").arg(strikes[i]).arg(swept[i]).arg(alone)));
    }
}

void TestPayoffEvaluation::a_value_beyond_a_float_is_an_overflow() {
    PositionState p = startingQuotes();
    p.callQty[3] = 1e38f;
    QCOMPARE(workbench::payoff::positionValue(p, 51, workbench::payoff::payoffDiagram), 1e38f);
    try {
        workbench::payoff::positionValue(p, 100, workbench::payoff::payoffDiagram); // 50 x 1e38
        QFAIL("no overflow");
    } catch (const platform::RunTimeError& e) {
        QCOMPARE(e.code(), 6);
    }
}

void TestPayoffEvaluation::extremes_are_bounded_by_their_starting_values() {
    workbench::payoff::Samples price{}, value{};
    PositionState p = startingQuotes();
    p.underlyingQty = 2000; // every value above 100000
    const workbench::payoff::Extremes high =
        sample(p, 51, 100, workbench::payoff::payoffDiagram, price, value);
    QCOMPARE(high.ymin, 100000.0f);
    QCOMPARE(workbench::payoff::rescaledBottom(high), 99995.0f);
    p.underlyingQty = -2000; // every value below -100000
    const workbench::payoff::Extremes low =
        sample(p, 51, 100, workbench::payoff::payoffDiagram, price, value);
    QCOMPARE(low.ymax, -100000.0f);
    QCOMPARE(workbench::payoff::rescaledTop(low), -99995.0f);

    const workbench::payoff::Extremes zero =
        sample(startingQuotes(), 1, 100, workbench::payoff::profitDiagram, price, value);
    QCOMPARE(zero.ymax, 0.0f);
    QCOMPARE(zero.ymin, 0.0f);
}

void TestPayoffEvaluation::the_display_range_and_zero_line_decisions() {
    const workbench::payoff::Extremes e{49.0f, -10.5f};
    QVERIFY(!workbench::payoff::outsideDisplay(49.0f, -10.5f, e)); // equal is inside
    QVERIFY(workbench::payoff::outsideDisplay(48.9f, -50, e));
    QVERIFY(workbench::payoff::outsideDisplay(50, -10, e));
    QVERIFY(workbench::payoff::crossesZero(e));
    QVERIFY(!workbench::payoff::crossesZero({49.0f, 0.0f}));
    QVERIFY(!workbench::payoff::crossesZero({0.0f, -3.0f}));
}

QTEST_APPLESS_MAIN(TestPayoffEvaluation)
#include "test_payoff_evaluation.moc"
