// The probability figures against a numerical integration of the same
// lognormal density, written here: Gauss-Legendre panels in log price,
// split wherever the value bends or crosses 0 as bisection finds it.
#include "workbench/model/PositionAnalysis.h"
#include "workbench/model/Probability.h"
#include "workbench/model/Strategies.h"

#include <QTest>

#include <array>
#include <cmath>
#include <functional>
#include <limits>

using workbench::PositionState;
namespace pr = workbench::probability;

namespace {

PositionState strategy(const char* name) {
    PositionState p = workbench::startingQuotes();
    workbench::hold(p, *workbench::findStrategy(QString::fromLatin1(name)));
    return p;
}

// The integral of f(S) times the density over the log prices from a to b.
double integrate(const pr::Lognormal& law, double a, double b,
                 const std::function<double(double)>& f) {
    static constexpr std::array<double, 5> x = {0.0, 0.5384693101056831, -0.5384693101056831,
                                                0.9061798459386640, -0.9061798459386640};
    static constexpr std::array<double, 5> w = {0.5688888888888889, 0.4786286704993665,
                                                0.4786286704993665, 0.2369268850561891,
                                                0.2369268850561891};
    constexpr int panels = 400;
    const double h = (b - a) / panels;
    double sum = 0;
    for (int i = 0; i < panels; ++i) {
        const double mid = a + h * (i + 0.5);
        for (std::size_t k = 0; k < x.size(); ++k) {
            const double S = std::exp(mid + h / 2 * x[k]);
            sum += w[k] * h / 2 * f(S) * law.density(S) * S;
        }
    }
    return sum;
}

// Over the whole law, split at the strikes and where `value` crosses
// `level`, so that each panel's integrand is smooth.
double expectation(const pr::Lognormal& law, const PositionState& p,
                   const std::function<double(double)>& value, double level,
                   const std::function<double(double)>& f) {
    const double lo = law.mean() - 12 * law.spread();
    const double hi = law.mean() + 12 * law.spread();
    std::vector<double> cuts{lo, hi};
    for (int r = 1; r <= p.rowCount(); ++r) {
        if (p.strike[r] > 0 && std::log(p.strike[r]) > lo && std::log(p.strike[r]) < hi) {
            cuts.push_back(std::log(p.strike[r]));
        }
    }
    constexpr int scan = 4000;
    for (int i = 0; i < scan; ++i) {
        double a = lo + (hi - lo) * i / scan;
        double b = lo + (hi - lo) * (i + 1) / scan;
        const auto side = [&](double x) { return value(std::exp(x)) > level; };
        if (side(a) != side(b)) {
            for (int k = 0; k < 80; ++k) {
                const double m = (a + b) / 2;
                (side(m) == side(a) ? a : b) = m;
            }
            cuts.push_back(a);
        }
    }
    std::sort(cuts.begin(), cuts.end());
    double sum = 0;
    for (std::size_t i = 0; i + 1 < cuts.size(); ++i) {
        sum += integrate(law, cuts[i], cuts[i + 1], f);
    }
    return sum;
}

} // namespace

class TestProbability : public QObject {
    Q_OBJECT
private slots:
    void figures_equal_a_numerical_integration_of_the_density_data();
    void figures_equal_a_numerical_integration_of_the_density();
    void the_chance_a_sampled_curve_ends_above_zero_data();
    void the_chance_a_sampled_curve_ends_above_zero();
};

void TestProbability::figures_equal_a_numerical_integration_of_the_density_data() {
    QTest::addColumn<PositionState>("position");
    QTest::addColumn<double>("volatility");
    QTest::addColumn<int>("days");
    QTest::addColumn<double>("dividend");
    QTest::newRow("straddle") << strategy("Straddle") << 0.3 << 30 << 0.0;
    QTest::newRow("call butterfly, a year")
        << strategy("Call Butterfly Spread") << 0.6 << 365 << 0.02;
    QTest::newRow("bull spread") << strategy("Bullish Call Spread") << 0.25 << 90 << 0.0;
    PositionState covered = strategy("Covered Call");
    covered.underlyingPrice = 63.2f;
    covered.costPerOption = 0.65f;
    covered.costPerUnit = 0.01f;
    QTest::newRow("covered call at 63.20 with costs") << covered << 0.4 << 60 << 0.03;
    QTest::newRow("naked put written") << [] {
        PositionState p = workbench::startingQuotes();
        p.putQty[2] = -2;
        return p;
    }() << 1.2 << 10 << 0.0;
}

void TestProbability::figures_equal_a_numerical_integration_of_the_density() {
    QFETCH(PositionState, position);
    QFETCH(double, volatility);
    QFETCH(int, days);
    QFETCH(double, dividend);
    const auto kind = workbench::payoff::profitDiagram;
    const workbench::analysis::Analysis a = workbench::analysis::analyse(position, kind);
    const pr::Lognormal law{position.underlyingPrice, days / 365.0, 0.05, dividend, volatility};
    const pr::Figures f = pr::figures(position, a, law);
    const auto value = [&](double S) { return workbench::analysis::valueAt(position, S, kind); };
    const auto one = [](double) { return 1.0; };
    QVERIFY(std::abs(expectation(law, position, value, 1e300, one) - 1) < 1e-6);
    const double expected = expectation(law, position, value, 1e300, value);
    QVERIFY2(std::abs(f.expected - expected) < 1e-6,
             qPrintable(QStringLiteral("%1 vs %2").arg(f.expected).arg(expected)));
    const double profit =
        expectation(law, position, value, 0, [&](double S) { return value(S) > 0 ? 1.0 : 0.0; });
    QVERIFY2(std::abs(f.profit - profit) < 1e-6,
             qPrintable(QStringLiteral("%1 vs %2").arg(f.profit).arg(profit)));
    // An extreme over a span of prices is reached with the chance of the
    // span; at one price, never.
    for (const auto& [extreme, figure] :
         {std::pair{&a.highest, f.highest}, std::pair{&a.lowest, f.lowest}}) {
        if (extreme->unlimited) {
            QVERIFY(std::isnan(figure));
            continue;
        }
        const double at = extreme->value;
        // The analysis reads the decimals the grid shows, the value the floats.
        const double margin = 1e-5 * (1 + std::abs(at));
        const double reached = expectation(law, position, value, 1e300, [&](double S) {
            return std::abs(value(S) - at) <= margin ? 1.0 : 0.0;
        });
        QVERIFY2(std::abs(figure - reached) < 1e-4,
                 qPrintable(QStringLiteral("%1 vs %2").arg(figure).arg(reached)));
    }
}

void TestProbability::the_chance_a_sampled_curve_ends_above_zero_data() {
    QTest::addColumn<std::function<double(double)>>("curve");
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::addColumn<int>("points");
    QTest::addColumn<int>("days");
    const double nan = std::numeric_limits<double>::quiet_NaN();
    // A straddle's value before expiry: above 0 in both tails, beyond the
    // sampled prices too.
    const auto smile = [](double S) { return (S - 50) * (S - 50) / 40 - 4; };
    QTest::newRow("smile, both tails")
        << std::function<double(double)>(smile) << 1.0 << 100.0 << 200 << 30;
    QTest::newRow("tent, middle only")
        << std::function<double(double)>([](double S) { return 3 - std::abs(S - 52) * 0.4; })
        << 30.0 << 80.0 << 50 << 90;
    QTest::newRow("a price the model cannot value")
        << std::function<double(double)>(
               [nan](double S) { return std::abs(S - 47) < 0.3 ? nan : 0.8 * (S - 45); })
        << 1.0 << 100.0 << 200 << 10;
    QTest::newRow("never above") << std::function<double(double)>([](double) { return -1.0; })
                                 << 1.0 << 100.0 << 20 << 30;
    QTest::newRow("always above") << std::function<double(double)>([](double) { return 2.0; })
                                  << 1.0 << 100.0 << 20 << 30;
}

void TestProbability::the_chance_a_sampled_curve_ends_above_zero() {
    QFETCH(std::function<double(double)>, curve);
    QFETCH(double, from);
    QFETCH(double, to);
    QFETCH(int, points);
    QFETCH(int, days);
    const pr::Lognormal law{50, days / 365.0, 0.05, 0.01, 0.45};
    std::vector<double> prices;
    std::vector<double> values;
    for (int i = 0; i <= points; ++i) {
        prices.push_back(from + (to - from) * i / points);
        values.push_back(curve(prices.back()));
    }
    // The sampled curve as straight pieces between the known points, its
    // ends' values held beyond them.
    const auto drawn = [&](double S) {
        std::size_t lo = prices.size();
        std::size_t hi = prices.size();
        for (std::size_t i = 0; i < prices.size(); ++i) {
            if (!std::isfinite(values[i])) {
                continue;
            }
            if (prices[i] <= S) {
                lo = i;
            } else if (hi == prices.size()) {
                hi = i;
            }
        }
        if (lo == prices.size()) {
            return values[hi];
        }
        if (hi == prices.size()) {
            return values[lo];
        }
        const double t = (S - prices[lo]) / (prices[hi] - prices[lo]);
        return values[lo] + t * (values[hi] - values[lo]);
    };
    const double expected = expectation(law, PositionState(), drawn, 0,
                                        [&](double S) { return drawn(S) > 0 ? 1.0 : 0.0; });
    const double chance = pr::chanceAboveZero(law, prices, values);
    QVERIFY2(std::abs(chance - expected) < 1e-6,
             qPrintable(QStringLiteral("%1 vs %2").arg(chance).arg(expected)));
}

QTEST_MAIN(TestProbability)
#include "test_probability.moc"
