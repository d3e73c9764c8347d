// What takes longer than a frame is valued on the pricing thread: a held
// arrow under American exercise never queues work there, once the hand stops
// the dashed and greek curves drawn are those valued at the last price, and
// what is written waits for them.
#include "WorkbenchHarness.h"
#include "workbench/control/DiagramWindow.h"
#include "workbench/control/ExpiryCurveLayer.h"
#include "workbench/control/GreekCurveLayer.h"
#include "workbench/control/PricingThread.h"

#include <QDoubleSpinBox>
#include <QImage>
#include <QKeyEvent>
#include <QPushButton>
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
    void many_american_rows_find_their_volatilities_away_and_value_as_at_once();
    void what_is_written_waits_for_the_valuation_in_progress_data();
    void what_is_written_waits_for_the_valuation_in_progress();
    void diagram_only_draws_without_waiting_for_the_valuation();
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
        // The next repeat is already waiting when this one is plotted: the
        // plot's pass over the events waiting takes it in the middle.
        QCoreApplication::postEvent(
            QApplication::focusWidget(),
            new QKeyEvent(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier, QString(), true));
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier, QString(), i > 0);
        QApplication::sendEvent(QApplication::focusWidget(), &press);
        // The window values none of the new price's curves itself.
        QVERIFY(bench.lastPlot().valuing() || !pricing.busy());
        QCoreApplication::processEvents();
    }
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Up, Qt::NoModifier);
    QApplication::sendEvent(QApplication::focusWidget(), &release);
    // The box repeats a held key on its own timer as well.
    QVERIFY(bench.position().underlyingPrice >= start + 0.12f);
    // Each step's curve took the place of the one before.
    QCOMPARE(bench.lastPlot().drawn().size(), qsizetype(1));
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

    // Both curves drawn are the ones valued, as the window would value them
    // itself, at the last price.
    const auto* layer =
        h.pbox()->findChild<workbench::GreekCurveLayer*>(QStringLiteral("greekCurve"));
    const auto* dashed =
        h.pbox()->findChild<workbench::ExpiryCurveLayer*>(QStringLiteral("expiryCurve"));
    QVERIFY(layer->curve() && !layer->dimmed());
    QVERIFY(dashed->curves().size() == 1 && !dashed->dimmed());
    const workbench::payoff::PriceRange& range = bench.lastRange();
    const workbench::beforeexpiry::Valuer valuer(bench.position(), bench.beforeExpiry(),
                                                 bench.lastKind());
    const workbench::beforeexpiry::Valuer tenDays = valuer.atDaysLeft(10);
    for (const auto& [drawn, values] :
         {std::pair(layer->curve()->points,
                    tenDays.greekCurve(workbench::beforeexpiry::Greek::Gamma, range.xmin,
                                       range.xmax, 200)),
          std::pair(QPolygonF(dashed->curves()[0].points),
                    tenDays.curve(range.xmin, range.xmax, 200))}) {
        QCOMPARE(drawn.size(), qsizetype(values.size()));
        for (qsizetype i = 0; i < drawn.size(); ++i) {
            QCOMPARE(drawn[i].y(), values[std::size_t(i)]);
        }
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

void TestPricingThread::many_american_rows_find_their_volatilities_away_and_value_as_at_once() {
    WorkbenchHarness h;
    QVERIFY(h.showActive());
    workbench::wqzOptionPayoffs& bench = *h.bench;
    h.chooseProfit();
    constexpr int rows = 80;
    QString table;
    for (int k = 0; k < rows; ++k) {
        const double strike = 30 + 0.5 * k;
        table += QStringLiteral("%1\t%2\t%3\r\n")
                     .arg(std::max(50 - strike, 0.0) + 1.5)
                     .arg(strike)
                     .arg(std::max(strike - 50, 0.0) + 1.5);
    }
    bench.pasteData(table);
    for (int r = 1; r <= rows; ++r) {
        h.grid()->setTextMatrix(r, 3, QStringLiteral("1"));
    }
    workbench::beforeexpiry::Inputs in = bench.beforeExpiry();
    in.daysLeft = 20;
    in.american = true;
    in.dividendYield = 0.02;
    in.implied = true;
    bench.setBeforeExpiry(in);
    h.box(0)->setText(QStringLiteral("10000"));
    h.box(1)->setText(QStringLiteral("-10000"));
    h.child<QPushButton>(QStringLiteral("cmdPlot"))->click();
    // The window searched none of them: they are being found, and what
    // values with them waits.
    const workbench::LastPlot& plot = bench.lastPlot();
    QVERIFY(!plot.volatilitiesReady() && plot.valuing() && plot.impliedRows().empty());
    QVERIFY(plot.notValued().empty());
    bench.settle();
    QVERIFY(plot.volatilitiesReady() && !plot.valuing());
    // As found at once on the window's thread.
    const workbench::PositionState& p = bench.position();
    const std::vector<workbench::beforeexpiry::RowVolatility> found = plot.impliedRows();
    const std::vector<workbench::beforeexpiry::RowVolatility> atOnce =
        workbench::beforeexpiry::impliedVolatilities(p, bench.beforeExpiry());
    QCOMPARE(found.size(), atOnce.size());
    for (std::size_t i = 0; i < found.size(); ++i) {
        QCOMPARE(found[i].call, atOnce[i].call);
        QCOMPARE(found[i].put, atOnce[i].put);
    }
    const workbench::payoff::PriceRange& range = bench.lastRange();
    const std::vector<double> values =
        workbench::beforeexpiry::Valuer(p, bench.beforeExpiry(), bench.lastKind())
            .atDaysLeft(20)
            .curve(range.xmin, range.xmax, 200);
    QCOMPARE(plot.dated().size(), std::size_t(1));
    QCOMPARE(plot.dated()[0]->points.constLast().y(), values.back());
}

namespace {

// A straddle under American exercise, twelve days left, its vega curve
// asked for: a valuation that runs on the pricing thread.
void valueAmericanVega(WorkbenchHarness& h) {
    h.choose(QStringLiteral("Straddle"));
    workbench::beforeexpiry::Inputs in = h.bench->beforeExpiry();
    in.daysLeft = 12;
    in.american = true;
    h.bench->setBeforeExpiry(in);
    h.child<QComboBox>(QStringLiteral("cmbGreek"))->setCurrentIndex(4); // vega
}

} // namespace

enum class Written { DiagramFile, ValuesExport, CopyAnalysis };

void TestPricingThread::what_is_written_waits_for_the_valuation_in_progress_data() {
    QTest::addColumn<Written>("written");
    QTest::newRow("a file of the diagram") << Written::DiagramFile;
    QTest::newRow("the values exported") << Written::ValuesExport;
    QTest::newRow("Copy Analysis") << Written::CopyAnalysis;
}

void TestPricingThread::what_is_written_waits_for_the_valuation_in_progress() {
    QFETCH(Written, written);
    WorkbenchHarness h;
    QVERIFY(h.showActive());
    workbench::wqzOptionPayoffs& bench = *h.bench;
    h.chooseProfit();
    valueAmericanVega(h);
    // Asked for at once, and being valued when it is written.
    const workbench::LastPlot& plot = bench.lastPlot();
    QVERIFY(plot.valuing());
    QVERIFY(bench.analysisText().contains(QStringLiteral("Valuing before expiry")));
    const workbench::beforeexpiry::Valuer twelveDays =
        workbench::beforeexpiry::Valuer(bench.position(), bench.beforeExpiry(), bench.lastKind())
            .atDaysLeft(12);
    const workbench::payoff::PriceRange& range = bench.lastRange();
    switch (written) {
    case Written::DiagramFile: {
        const workbench::diagramexport::Diagram& d = bench.diagram();
        QVERIFY(d.greekCurve && d.beforeExpiry.size() == 1 && !d.beforeExpiryValuing);
        const std::vector<double> vega = twelveDays.greekCurve(workbench::beforeexpiry::Greek::Vega,
                                                               range.xmin, range.xmax, 200);
        QCOMPARE(d.greekCurve->points.constLast().y(), vega.back());
        QCOMPARE(d.beforeExpiry[0].points.constLast().y(),
                 twelveDays.curve(range.xmin, range.xmax, 200).back());
        break;
    }
    case Written::ValuesExport: {
        const QList<workbench::valuesexport::Column> columns = bench.beforeExpiryColumns();
        QCOMPARE(columns.size(), 1);
        QCOMPARE(columns[0].values.size(), qsizetype(workbench::payoff::sampleCount));
        break;
    }
    case Written::CopyAnalysis: {
        const QString& text = bench.settledAnalysisText();
        QVERIFY2(!text.contains(QStringLiteral("Valuing")) &&
                     text.contains(QStringLiteral("Greeks at 50.00 with 12 days left")),
                 qPrintable(text));
        break;
    }
    }
    QVERIFY(!plot.valuing() && !plot.busy());
    // The plot area took the same curves, no longer dimmed.
    const auto* layer =
        h.pbox()->findChild<workbench::GreekCurveLayer*>(QStringLiteral("greekCurve"));
    const auto* dashed =
        h.pbox()->findChild<workbench::ExpiryCurveLayer*>(QStringLiteral("expiryCurve"));
    QVERIFY(layer->curve() && !layer->dimmed() && !dashed->dimmed());
    QCOMPARE(layer->curve()->points, plot.diagram().greekCurve->points);
}

void TestPricingThread::diagram_only_draws_without_waiting_for_the_valuation() {
    WorkbenchHarness h;
    QVERIFY(h.showActive());
    workbench::wqzOptionPayoffs& bench = *h.bench;
    valueAmericanVega(h);
    const workbench::LastPlot& plot = bench.lastPlot();
    QVERIFY(plot.valuing());
    // Painted while the greek curve is being valued, the window shows what
    // the plot area shows meanwhile; a wait here would hold the window's
    // thread, a drag on the slider with it.
    workbench::DiagramWindow only(bench);
    only.resize(640, 480);
    QImage drawn(only.size(), QImage::Format_RGB32);
    only.render(&drawn);
    QVERIFY(plot.valuing());
    bench.settle();
    QVERIFY(!plot.valuing());
}

QTEST_MAIN(TestPricingThread)
#include "test_pricing_thread.moc"
