// What takes longer than a frame is valued on the pricing thread: a held
// arrow under American exercise never queues work there, and once the hand
// stops the greek curve drawn is the one valued at the last price.
#include "WorkbenchHarness.h"
#include "workbench/control/GreekCurveLayer.h"
#include "workbench/control/PricingThread.h"

#include <QDoubleSpinBox>
#include <QKeyEvent>
#include <QSignalSpy>
#include <QThread>

#include <atomic>
#include <cmath>
#include <functional>
#include <vector>

class TestPricingThread : public QObject {
    Q_OBJECT
private slots:
    void a_held_arrow_leaves_one_valuation_and_draws_the_last_price();
    void the_newest_request_alone_is_taken();
    void a_file_of_the_diagram_waits_for_the_greek_being_valued();
};

void TestPricingThread::a_held_arrow_leaves_one_valuation_and_draws_the_last_price() {
    WorkbenchHarness h;
    QVERIFY(h.showActive());
    workbench::wqzOptionPayoffs& bench = *h.bench;
    h.chooseProfit();
    h.choose(QStringLiteral("Put Butterfly Spread"));
    h.box(0)->setText(QStringLiteral("100"));
    h.box(1)->setText(QStringLiteral("-100"));
    workbench::beforeexpiry::Inputs in = bench.beforeExpiry();
    in.daysLeft = 10;
    in.american = true;
    bench.setBeforeExpiry(in);
    h.child<QComboBox>(QStringLiteral("cmbGreek"))->setCurrentIndex(2); // gamma
    const workbench::PricingThread& pricing = bench.lastPlot().pricing();
    QSignalSpy delivered(&pricing, &workbench::PricingThread::delivered);
    QVERIFY(delivered.wait());
    const std::uint64_t before = pricing.started();

    auto* price = h.child<QDoubleSpinBox>(QStringLiteral("txtUnderlyingPrice"));
    QTest::mouseClick(price, Qt::LeftButton);
    QTRY_COMPARE(QApplication::focusWidget(), price);
    const float start = bench.position().underlyingPrice;
    // The key held: the window repeats it while the valuations run.
    constexpr int steps = 12;
    delivered.clear();
    for (int i = 0; i < steps; ++i) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier, QString(), i > 0);
        QApplication::sendEvent(QApplication::focusWidget(), &press);
        QCoreApplication::processEvents();
    }
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Up, Qt::NoModifier);
    QApplication::sendEvent(QApplication::focusWidget(), &release);
    // The box repeats a held key on its own timer as well.
    QVERIFY(bench.position().underlyingPrice >= start + 0.12f);
    // The greek follows once the events waiting are done; then its
    // valuation arrives.
    QCoreApplication::processEvents();
    while (pricing.busy()) {
        QVERIFY(delivered.wait());
    }
    // Each step took the place of one waiting or stopped the one running:
    // never more started than steps, and nothing queued behind them.
    const auto stepped =
        std::uint64_t(std::lround((bench.position().underlyingPrice - start) * 100));
    QVERIFY2(pricing.started() - before <= stepped,
             qPrintable(QStringLiteral("%1 valuations for %2 steps")
                            .arg(pricing.started() - before)
                            .arg(stepped)));
    // The ones overtaken stopped early: their results never came.
    QVERIFY(!delivered.isEmpty() && std::uint64_t(delivered.size()) < stepped);

    const auto* layer =
        h.pbox()->findChild<workbench::GreekCurveLayer*>(QStringLiteral("greekCurve"));
    QVERIFY(layer->curve() && !layer->dimmed());
    const workbench::LastPlot::Dated* date = bench.lastPlot().highlighted();
    QVERIFY(date);
    const workbench::payoff::PriceRange& range = bench.lastRange();
    const std::vector<double> values =
        date->valuer.greekCurve(workbench::beforeexpiry::Greek::Gamma, range.xmin, range.xmax, 200);
    QCOMPARE(layer->curve()->points.size(), qsizetype(values.size()));
    for (qsizetype i = 0; i < layer->curve()->points.size(); ++i) {
        QCOMPARE(layer->curve()->points[i].y(), values[std::size_t(i)]);
    }
}

void TestPricingThread::the_newest_request_alone_is_taken() {
    workbench::PricingThread pricing;
    QSignalSpy delivered(&pricing, &workbench::PricingThread::delivered);
    std::vector<int> taken;
    std::atomic<int> stoppedEarly{0};
    for (int i = 0; i < 20; ++i) {
        pricing.request([&, i](const workbench::PricingThread::Stopped& stopped) {
            // Work long enough to be overtaken, asking between its steps.
            for (int step = 0; step < 50; ++step) {
                if (stopped()) {
                    ++stoppedEarly;
                    return std::function<void()>();
                }
                QThread::usleep(200);
            }
            return std::function<void()>([&, i] { taken.push_back(i); });
        });
    }
    // A file waits for it, and takes it at once.
    pricing.finish();
    QCOMPARE(taken, std::vector<int>{19});
    QCOMPARE(delivered.size(), 1);
    QVERIFY(pricing.started() <= 20);
    QCOMPARE(int(pricing.started()) - 1, stoppedEarly.load());
    // Its queued arrival finds it taken already.
    QCoreApplication::processEvents();
    QCOMPARE(delivered.size(), 1);
}

void TestPricingThread::a_file_of_the_diagram_waits_for_the_greek_being_valued() {
    WorkbenchHarness h;
    QVERIFY(h.showActive());
    workbench::wqzOptionPayoffs& bench = *h.bench;
    h.choose(QStringLiteral("Straddle"));
    workbench::beforeexpiry::Inputs in = bench.beforeExpiry();
    in.daysLeft = 12;
    in.american = true;
    bench.setBeforeExpiry(in);
    h.child<QComboBox>(QStringLiteral("cmbGreek"))->setCurrentIndex(4); // vega
    // Asked for at once, and being valued when the file is written.
    QVERIFY(bench.lastPlot().greekValuing());
    const workbench::diagramexport::Diagram& d = bench.diagram();
    QVERIFY(!bench.lastPlot().greekValuing() && !bench.lastPlot().pricing().busy());
    QVERIFY(d.greekCurve);
    const workbench::payoff::PriceRange& range = bench.lastRange();
    const std::vector<double> values = bench.lastPlot().highlighted()->valuer.greekCurve(
        workbench::beforeexpiry::Greek::Vega, range.xmin, range.xmax, 200);
    QCOMPARE(d.greekCurve->points.size(), qsizetype(values.size()));
    QCOMPARE(d.greekCurve->points.constLast().y(), values.back());
    // The plot area took the same curve.
    const auto* layer =
        h.pbox()->findChild<workbench::GreekCurveLayer*>(QStringLiteral("greekCurve"));
    QVERIFY(layer->curve() && !layer->dimmed());
    QCOMPARE(layer->curve()->points, d.greekCurve->points);
}

QTEST_MAIN(TestPricingThread)
#include "test_pricing_thread.moc"
