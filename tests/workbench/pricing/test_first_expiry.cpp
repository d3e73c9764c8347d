// Legs that expire apart: the curve at the first expiry against a
// Black-Scholes-Merton price written here, its break-evens against a root
// search of this test's own, its figures against a fine integration.
#include "workbench/model/LegExpiry.h"
#include "workbench/pricing/FirstExpiry.h"

#include <QtTest>

#include <cmath>
#include <functional>

using namespace workbench;

namespace {

struct Leg {
    bool call;
    int row;
    float qty;
    int days; // 0: the panel's
};

// The inputs every row values with: one volatility, the panel's 30 days.
beforeexpiry::Inputs inputsWith(double dividend) {
    beforeexpiry::Inputs in;
    in.daysToday = 30;
    in.implied = false;
    in.volatility = 0.3;
    in.rate = 0.05;
    in.dividendYield = dividend;
    return in;
}

// Strikes 40 to 60 by 5 as the grid starts, and a sixth row at 50 quoted for
// a later expiry, as a calendar's far leg is.
PositionState positionOf(const QList<Leg>& legs) {
    PositionState p = startingQuotes();
    p.setRowCount(6);
    p.strike[6] = 50;
    p.callPrice[6] = 4.5f;
    p.putPrice[6] = 4.1f;
    for (const Leg& leg : legs) {
        (leg.call ? p.callQty : p.putQty)[leg.row] = leg.qty;
        (leg.call ? p.callDays : p.putDays)[std::size_t(leg.row)] = leg.days;
    }
    return p;
}

double bsm(bool call, double S, double K, double years, double r, double q, double v) {
    if (years <= 0) {
        return std::max(call ? S - K : K - S, 0.0);
    }
    const auto N = [](double x) { return 0.5 * std::erfc(-x / std::sqrt(2.0)); };
    const double d1 = (std::log(S / K) + (r - q + v * v / 2) * years) / (v * std::sqrt(years));
    const double d2 = d1 - v * std::sqrt(years);
    return call ? S * std::exp(-q * years) * N(d1) - K * std::exp(-r * years) * N(d2)
                : K * std::exp(-r * years) * N(-d2) - S * std::exp(-q * years) * N(-d1);
}

// The profit at the first expiry as this test works it out: the legs that
// expire then at their payoff, the rest at their model value, less the
// premiums.
double profitAt(const PositionState& p, const beforeexpiry::Inputs& in, double S) {
    const int first = legexpiry::firstExpiry(p, in.daysToday);
    double v = 0;
    for (int r = 1; r <= p.rowCount(); ++r) {
        for (const bool call : {true, false}) {
            const float qty = call ? p.callQty[r] : p.putQty[r];
            const int days = call ? legexpiry::callDays(p, r, in.daysToday)
                                  : legexpiry::putDays(p, r, in.daysToday);
            if (qty != 0) {
                v += qty * (bsm(call, S, p.strike[r], (days - first) / 365.0, in.rate,
                                in.dividendYield, in.volatility) -
                            (call ? p.callPrice[r] : p.putPrice[r]));
            }
        }
    }
    return v;
}

} // namespace

class TestFirstExpiry : public QObject {
    Q_OBJECT
private slots:
    void the_curve_at_the_first_expiry_is_read_to_the_cent_data();
    void the_curve_at_the_first_expiry_is_read_to_the_cent();
    void legs_that_expire_together_are_todays_position();
    void a_cells_days_are_taken_within_the_limits_data();
    void a_cells_days_are_taken_within_the_limits();
};

void TestFirstExpiry::the_curve_at_the_first_expiry_is_read_to_the_cent_data() {
    QTest::addColumn<QList<Leg>>("legs");
    QTest::addColumn<double>("dividend");
    QTest::newRow("call calendar") << QList<Leg>{{true, 3, -1, 0}, {true, 6, 1, 60}} << 0.0;
    QTest::newRow("put calendar, dividend")
        << QList<Leg>{{false, 3, -1, 0}, {false, 6, 1, 60}} << 0.02;
    QTest::newRow("diagonal call spread") << QList<Leg>{{true, 4, -1, 0}, {true, 6, 1, 60}} << 0.0;
    // The near leg has days of its own, fewer than the panel's.
    QTest::newRow("near leg sooner than the panel")
        << QList<Leg>{{true, 3, -2, 10}, {true, 5, 1, 0}, {false, 1, 1, 45}} << 0.01;
}

void TestFirstExpiry::the_curve_at_the_first_expiry_is_read_to_the_cent() {
    QFETCH(QList<Leg>, legs);
    QFETCH(double, dividend);
    const PositionState given = positionOf(legs);
    PositionState p = given;
    beforeexpiry::Inputs in = inputsWith(dividend);
    QVERIFY(legexpiry::staggered(p, in.daysToday));
    legexpiry::resolve(p, in);
    QCOMPARE(in.daysToday, legexpiry::firstExpiry(given, 30));
    const beforeexpiry::Valuer atFirst =
        beforeexpiry::Valuer(p, in, payoff::profitDiagram).atDaysLeft(0);
    for (double S = 20; S <= 90; S += 0.7) {
        QVERIFY2(std::abs(atFirst.valueAt(S) - profitAt(given, inputsWith(dividend), S)) < 1e-9,
                 qPrintable(QString::number(S)));
    }
    const analysis::Analysis a = firstexpiry::analyse(p, in, atFirst, payoff::profitDiagram);
    QCOMPARE(a.firstExpiry, in.daysToday);
    QVERIFY(analysis::describe(a).contains(u"Break-evens (to the cent): "_qs));

    // This test's own search: a scan by a cent, then halving.
    const auto f = [&](double S) { return profitAt(given, inputsWith(dividend), S); };
    QList<double> roots;
    for (double S = 0.01; S < 400; S += 0.01) {
        if ((f(S) > 0) != (f(S + 0.01) > 0)) {
            double lo = S;
            double hi = S + 0.01;
            for (int i = 0; i < 60; ++i) {
                const double mid = (lo + hi) / 2;
                ((f(mid) > 0) == (f(lo) > 0) ? lo : hi) = mid;
            }
            roots << (lo + hi) / 2;
        }
    }
    QCOMPARE(qsizetype(a.breakEvens.size()), roots.size());
    double highest = -1e9;
    double lowest = 1e9;
    for (double S = 0; S < 400; S += 0.01) {
        highest = std::max(highest, f(S));
        lowest = std::min(lowest, f(S));
    }
    for (qsizetype i = 0; i < roots.size(); ++i) {
        QCOMPARE(analysis::money(a.breakEvens[std::size_t(i)].from), analysis::money(roots[i]));
        QVERIFY(std::abs(a.breakEvens[std::size_t(i)].from - roots[i]) < 1e-6);
    }
    // The extremes, read to the cent, as a fine scan reaches them.
    QVERIFY2(std::abs(a.highest.value - highest) < 0.005, qPrintable(analysis::describe(a)));
    if (!a.lowest.unlimited) {
        QVERIFY2(std::abs(a.lowest.value - lowest) < 0.005, qPrintable(analysis::describe(a)));
    }

    // The figures against a fine integration of the law's density.
    const probability::Lognormal law{50, 30 / 365.0, in.rate, in.dividendYield, in.volatility};
    const probability::Figures got = firstexpiry::figures(a, atFirst, law);
    // Simpson's rule between the break-evens and the strikes, where the
    // value bends, in steps of a hundredth.
    QList<double> ends{1e-9, 40, 45, 50, 55, 60, 300};
    ends << roots;
    std::sort(ends.begin(), ends.end());
    double chance = 0;
    double expected = 0;
    for (qsizetype i = 0; i + 1 < ends.size(); ++i) {
        const int n = 2 * std::max(1, int((ends[i + 1] - ends[i]) / 0.02));
        const double h = (ends[i + 1] - ends[i]) / n;
        const bool above = f((ends[i] + ends[i + 1]) / 2) > 0;
        for (int j = 0; j <= n; ++j) {
            const double S = ends[i] + j * h;
            const double w = (j == 0 || j == n ? 1 : j % 2 ? 4 : 2) * h / 3 * law.density(S);
            chance += above ? w : 0;
            expected += f(S) * w;
        }
    }
    QVERIFY2(std::abs(got.profit - chance) < 1e-6,
             qPrintable(QString::number(got.profit - chance)));
    QVERIFY2(std::abs(got.expected - expected) < 1e-6,
             qPrintable(QString::number(got.expected - expected)));
}

void TestFirstExpiry::legs_that_expire_together_are_todays_position() {
    // Every leg with days of its own, all the same: nothing lives on.
    PositionState p = positionOf({{true, 1, 1, 60}, {true, 5, -1, 60}, {false, 3, 2, 60}});
    beforeexpiry::Inputs in = inputsWith(0);
    QVERIFY(!legexpiry::staggered(p, in.daysToday));
    legexpiry::resolve(p, in);
    QCOMPARE(in.daysToday, 60);
    PositionState plain = positionOf({{true, 1, 1, 0}, {true, 5, -1, 0}, {false, 3, 2, 0}});
    beforeexpiry::Inputs sixty = inputsWith(0);
    sixty.daysToday = 60;
    sixty.daysLeft = 20;
    in.daysLeft = 20;
    const beforeexpiry::Valuer a(p, in, payoff::profitDiagram);
    const beforeexpiry::Valuer b(plain, sixty, payoff::profitDiagram);
    for (double S = 30; S <= 70; S += 2.5) {
        QCOMPARE(a.valueAt(S), b.valueAt(S));
    }
}

void TestFirstExpiry::a_cells_days_are_taken_within_the_limits_data() {
    QTest::addColumn<QString>("cell");
    QTest::addColumn<int>("days");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<bool>("whole");
    QTest::newRow("none") << "-1.00" << 0 << false << true;
    QTest::newRow("as written") << "-1.00 @60d" << 60 << false << true;
    QTest::newRow("as typed") << "2 @ 45 days" << 45 << false << true;
    QTest::newRow("the most") << "1 @3650" << 3650 << false << true;
    QTest::newRow("past the most") << "1 @3651d" << 0 << true << false;
    QTest::newRow("none at all") << "1 @0" << 0 << true << false;
    QTest::newRow("not days") << "1 @soon" << 0 << true << false;
    QTest::newRow("the mark alone") << "1 @" << 0 << false << true;
    QTest::newRow("no quantity") << "@30d" << 30 << false << true;
    QTest::newRow("a comma") << "1,5 @30d" << 0 << false << false;
}

void TestFirstExpiry::a_cells_days_are_taken_within_the_limits() {
    QFETCH(QString, cell);
    QFETCH(int, days);
    QFETCH(bool, refused);
    QFETCH(bool, whole);
    QCOMPARE(legexpiry::daysOf(cell).days, days);
    QCOMPARE(!legexpiry::daysOf(cell).refusal.isEmpty(), refused);
    QCOMPARE(legexpiry::wholeQuantity(cell), whole);
}

QTEST_APPLESS_MAIN(TestFirstExpiry)
#include "test_first_expiry.moc"
