// How long the workbench takes to answer: the evaluation of 100 sample prices
// alone, the whole PlotIt on an offscreen workbench (evaluation, values grid,
// drawing), a step button and a strategy choice, and the exact analysis of a
// position. Targets on the development machines (medians): evaluation under
// 5 microseconds, PlotIt under 1 millisecond, a step or a strategy under
// 2 milliseconds, a 1,000-line quote table pasted, plotted and analysed under
// 20 milliseconds, the analysis of a five-row position under 10 microseconds,
// a plot painted with its legend and markers no more than 1.2 times one
// painted bare, a pointer move over the plot area under 1 millisecond; before
// expiry, the curve of five rows at 100 prices under 0.5 milliseconds, the
// implied volatilities of five rows under 1 millisecond and of 1,000 under
// 50 milliseconds, a change of days left redrawn under 5 milliseconds, five
// American puts valued again after a move of the underlying (volatilities,
// the dashed curve, greeks and where early exercise pays) under 16
// milliseconds, and the European curve of five rows costing no more than it
// did before American exercise could be chosen (compare with a build from
// before, in one run); a tutorial page's "Try it" link read, loaded and
// plotted under 50 milliseconds; a greek curve of five rows costing no more
// than about twice the dashed curve of the same position and exercise.
#include "platform/Dialogs.h"
#include "platform/EventPump.h"
#include "platform/FlexGrid.h"
#include "platform/MousePointer.h"
#include "platform/PictureBox.h"
#include "platform/QtClipboard.h"
#include "workbench/control/BeforeExpiryPanel.h"
#include "workbench/control/ScenarioTable.h"
#include "workbench/control/wqzOptionPayoffs.h"
#include "workbench/model/PayoffEvaluation.h"
#include "workbench/model/PositionAnalysis.h"
#include "workbench/model/Probability.h"
#include "workbench/model/WorkbenchLink.h"
#include "workbench/pricing/BeforeExpiry.h"
#include "workbench/pricing/FirstExpiry.h"
#include "workbench/pricing/Scenarios.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QSlider>

#include <benchmark/benchmark.h>

#include <algorithm>

namespace {

workbench::PositionState butterfly() {
    workbench::PositionState p = workbench::startingQuotes();
    p.callQty[1] = 1;
    p.callQty[3] = -2;
    p.callQty[5] = 1;
    p.putQty[2] = 0.5f;
    p.underlyingQty = 1;
    return p;
}

void BM_Evaluation(benchmark::State& state) {
    const workbench::PositionState p = butterfly();
    workbench::payoff::Samples price{}, value{};
    const workbench::payoff::PriceRange range = workbench::payoff::priceRange(1, 100);
    for (auto _ : state) {
        const workbench::payoff::Extremes e = workbench::payoff::sampleCurve(
            p, range, workbench::payoff::profitDiagram, price, value, [](int) {});
        benchmark::DoNotOptimize(e);
        benchmark::DoNotOptimize(value.data());
    }
}
BENCHMARK(BM_Evaluation);

// The read-out beside the diagram is recomputed with every plot, so it has to
// cost no more than the curve: a five-row position under 10 microseconds.
void BM_Analysis(benchmark::State& state) {
    const workbench::PositionState p = butterfly();
    for (auto _ : state) {
        const workbench::analysis::Analysis a =
            workbench::analysis::analyse(p, workbench::payoff::profitDiagram);
        benchmark::DoNotOptimize(a.breakEvens.data());
    }
}
BENCHMARK(BM_Analysis);

// How likely the outcomes are, beside the analysis at every plot: a
// five-row position within 20 microseconds, a thousand rows within 2 ms.
void BM_ProbabilityFigures(benchmark::State& state) {
    workbench::PositionState p = butterfly();
    if (state.range(0) > 5) {
        p = workbench::PositionState(int(state.range(0)));
        for (int r = 1; r <= p.rowCount(); ++r) {
            p.strike[r] = float(20 + 0.06 * r);
            p.callPrice[r] = float(std::max(50 - p.strike[r], 0.0f) + 1.5);
            p.putPrice[r] = float(std::max(p.strike[r] - 50, 0.0f) + 1.5);
            p.callQty[r] = float(r % 5 - 2);
            p.putQty[r] = float(r % 3 - 1);
        }
    }
    const workbench::analysis::Analysis a =
        workbench::analysis::analyse(p, workbench::payoff::profitDiagram);
    const workbench::probability::Lognormal law{50, 30 / 365.0, 0.05, 0.0, 0.3};
    for (auto _ : state) {
        benchmark::DoNotOptimize(workbench::probability::figures(p, a, law));
    }
}
BENCHMARK(BM_ProbabilityFigures)->ArgName("rows")->Arg(5)->Arg(1000)->Unit(benchmark::kMicrosecond);

// A pasted quote table of 1,000 strikes with a quantity on every row.
void BM_AnalysisThousandRows(benchmark::State& state) {
    workbench::PositionState p(1000);
    for (int r = 1; r <= 1000; ++r) {
        p.strike[r] = float(20 + 0.06 * r);
        p.callPrice[r] = float(std::max(50 - p.strike[r], 0.0f) + 1.5);
        p.putPrice[r] = float(std::max(p.strike[r] - 50, 0.0f) + 1.5);
        p.callQty[r] = float(r % 5 - 2);
        p.putQty[r] = float(r % 3 - 1);
    }
    for (auto _ : state) {
        const workbench::analysis::Analysis a =
            workbench::analysis::analyse(p, workbench::payoff::profitDiagram);
        benchmark::DoNotOptimize(a.breakEvens.data());
    }
}
BENCHMARK(BM_AnalysisThousandRows)->Unit(benchmark::kMicrosecond);

// A quote table of `rows` lines (call premium, strike, put premium) with
// strikes from 20 a `step` apart, each premium its value at 50 and 1.50.
QString quoteTable(int rows, double step) {
    QString table;
    for (int k = 0; k < rows; ++k) {
        const double strike = 20 + step * k;
        table += QStringLiteral("%1\t%2\t%3\r\n")
                     .arg(std::max(50 - strike, 0.0) + 1.5)
                     .arg(strike)
                     .arg(std::max(strike - 50, 0.0) + 1.5);
    }
    return table;
}

// Five rows held: a put bought on each, calls written on three.
workbench::PositionState putsAndWrittenCalls() {
    workbench::PositionState p = workbench::startingQuotes();
    for (int r = 1; r <= 5; ++r) {
        p.putQty[r] = 1;
        p.callQty[r] = r % 2 == 1 ? -1.0f : 0.0f;
    }
    return p;
}

workbench::beforeexpiry::Inputs tenDaysLeft() {
    workbench::beforeexpiry::Inputs in;
    in.daysLeft = 10;
    return in;
}

// The position valued with days left at 100 prices, volatilities found first.
void BM_BeforeExpiryCurve(benchmark::State& state) {
    const workbench::PositionState p = butterfly();
    for (auto _ : state) {
        const workbench::beforeexpiry::Valuer valuer(p, tenDaysLeft(),
                                                     workbench::payoff::profitDiagram);
        double sum = 0;
        for (int i = 0; i < 100; ++i) {
            sum += valuer.valueAt(1 + i);
        }
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_BeforeExpiryCurve)->Unit(benchmark::kMicrosecond);

// The greek curve the workbench draws under the dashed one: five rows held (a
// put in each, calls written on three), valued ten days from expiry at the
// 200 prices of the default range, the valuer built once as the workbench
// builds it for the dashed curve. Greek 0 is the dashed curve itself, the
// measure of the rest; American exercise with a 2 % dividend yield, so that
// every option is the engine's.
void BM_GreekCurve(benchmark::State& state) {
    workbench::PositionState p = putsAndWrittenCalls();
    workbench::beforeexpiry::Inputs in = tenDaysLeft();
    in.american = state.range(0) != 0;
    in.dividendYield = in.american ? 0.02 : 0;
    const auto greek = workbench::beforeexpiry::Greek(state.range(1));
    const workbench::beforeexpiry::Valuer valuer(p, in, workbench::payoff::profitDiagram);
    for (auto _ : state) {
        const std::vector<double> curve = greek == workbench::beforeexpiry::Greek::None
                                              ? valuer.curve(1, 100, 200)
                                              : valuer.greekCurve(greek, 1, 100, 200);
        benchmark::DoNotOptimize(curve.data());
    }
}
BENCHMARK(BM_GreekCurve)
    ->ArgNames({"american", "greek"})
    ->ArgsProduct({{0, 1}, {0, 1, 2, 3, 4}})
    ->Unit(benchmark::kMicrosecond);

// Five American puts held with ten days left, after the underlying's price
// has moved: the volatilities their premiums imply found again, the dashed
// curve at the 200 prices the workbench draws over its default range, the
// greeks at today's price and where early exercise pays. With "every" the
// curve asks the engine at every price, as valueAt does: the ratio of the
// two is what the curve saves.
void BM_AmericanCurveAtNewPrice(benchmark::State& state) {
    const bool every = state.range(0) != 0;
    workbench::PositionState p = workbench::startingQuotes();
    for (int r = 1; r <= p.rowCount(); ++r) {
        p.putQty[r] = 1;
    }
    workbench::beforeexpiry::Inputs in = tenDaysLeft();
    in.american = true;
    constexpr int points = 200;
    constexpr double from = 1;
    constexpr double to = 100;
    bool up = false;
    for (auto _ : state) {
        p.underlyingPrice = up ? 50.5f : 49.5f;
        up = !up;
        const workbench::beforeexpiry::Valuer valuer(p, in, workbench::payoff::profitDiagram);
        std::vector<double> curve;
        if (every) {
            for (int i = 0; i <= points; ++i) {
                curve.push_back(valuer.valueAt(from + (to - from) * i / points));
            }
        } else {
            curve = valuer.curve(from, to, points);
        }
        const workbench::beforeexpiry::Greeks g = valuer.greeksAt(p.underlyingPrice);
        const auto early = valuer.earlyExercise();
        benchmark::DoNotOptimize(curve.data());
        benchmark::DoNotOptimize(g);
        benchmark::DoNotOptimize(early.data());
    }
}
BENCHMARK(BM_AmericanCurveAtNewPrice)
    ->ArgName("every")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond);

// The implied volatilities of the start-up quotes under American exercise
// with a 2 % yield, so that calls and puts both ask the engine: each
// premium's search on its prices.
void BM_AmericanImplied(benchmark::State& state) {
    const workbench::PositionState p = workbench::startingQuotes();
    workbench::beforeexpiry::Inputs in = tenDaysLeft();
    in.american = true;
    in.dividendYield = 0.02;
    for (auto _ : state) {
        const auto v = workbench::beforeexpiry::impliedVolatilities(p, in);
        benchmark::DoNotOptimize(v.data());
    }
}
BENCHMARK(BM_AmericanImplied)->Unit(benchmark::kMillisecond);

// The table of implied volatilities: the start-up quotes, and a pasted table.
void BM_ImpliedVolatilities(benchmark::State& state) {
    const int rows = int(state.range(0));
    workbench::PositionState p = workbench::startingQuotes();
    if (rows != 5) {
        p = workbench::PositionState(rows);
        for (int r = 1; r <= rows; ++r) {
            p.strike[r] = float(20 + 0.06 * r);
            p.callPrice[r] = float(std::max(50 - p.strike[r], 0.0f) + 1.5);
            p.putPrice[r] = float(std::max(p.strike[r] - 50, 0.0f) + 1.5);
        }
    }
    for (auto _ : state) {
        const auto v = workbench::beforeexpiry::impliedVolatilities(p, tenDaysLeft());
        benchmark::DoNotOptimize(v.data());
    }
}
BENCHMARK(BM_ImpliedVolatilities)
    ->ArgName("rows")
    ->Arg(5)
    ->Arg(1000)
    ->Unit(benchmark::kMicrosecond);

// The scenarios panel following a plot: five rows held (a put on each, calls
// written on three), its table of 21 prices and 6 columns valued and shown;
// across 1, the table across volatility instead, 21 prices by five shifts at
// ten days left (target: within 3 ms European). Exercise 0 is European, 1
// American.
void BM_ScenarioTable(benchmark::State& state) {
    workbench::PositionState p = putsAndWrittenCalls();
    const bool across = state.range(1) != 0;
    workbench::beforeexpiry::Inputs in = across ? tenDaysLeft() : workbench::beforeexpiry::Inputs();
    in.american = state.range(0) != 0;
    const workbench::payoff::PriceRange range = workbench::payoff::priceRange(1, 100);
    platform::QtClipboard clipboard;
    workbench::ScenarioTable table(clipboard);
    bool up = false;
    for (auto _ : state) {
        // A new price each time, as a plot after a change would bring.
        p.underlyingPrice = up ? 50.5f : 49.5f;
        up = !up;
        const workbench::scenarios::Table t =
            across ? workbench::scenarios::buildAcrossVolatility(
                         p, in, workbench::payoff::profitDiagram, range)
                   : workbench::scenarios::build(p, in, workbench::payoff::profitDiagram, range);
        table.showTable(t, workbench::payoff::profitDiagram, false);
        benchmark::DoNotOptimize(t.values.data());
    }
}
BENCHMARK(BM_ScenarioTable)
    ->ArgNames({"exercise", "across"})
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);

class SilentDialogs : public platform::Dialogs {
public:
    int msgBox(const QString&, Buttons, Icon, const QString&) override { return answerNo; }
    QString saveFileName(const QString&, const QString&, const QString&) override {
        return QString();
    }
    QString openFileName(const QString&, const QString&, const QString&) override {
        return QString();
    }
    QString folderName(const QString&, const QString&) override { return QString(); }
    std::optional<QString> askText(const QString&, const QString&, int) override {
        return std::nullopt;
    }
    std::optional<int> askNumber(const QString&, int, int, int) override { return std::nullopt; }
    bool choosePrinter(QPrinter&, const QString&) override { return false; }
};
class StillPointer : public platform::MousePointer {
public:
    void setShape(Shape) override {}
    Shape shape() const override { return Shape::Default; }
};
class OnePass : public platform::EventPump {
public:
    void doEvents() override { QCoreApplication::processEvents(); }
    void waitForEvents() override { QCoreApplication::processEvents(); }
};

// The process-wide facilities for one benchmark.
struct Installed {
    Installed() {
        platform::installDialogs(&dialogs);
        platform::installMousePointer(&pointer);
        platform::installEventPump(&pump);
    }
    ~Installed() {
        platform::installDialogs(nullptr);
        platform::installMousePointer(nullptr);
        platform::installEventPump(nullptr);
    }
    SilentDialogs dialogs;
    StillPointer pointer;
    OnePass pump;
};

// A workbench after its start-up on the process-wide facilities, with a
// numeric-values grid as the main window gives it, or without one.
struct Workbench : Installed {
    explicit Workbench(bool withValues = true) {
        if (withValues) {
            bench.setGrddisplay(&values);
        }
    }
    platform::QtClipboard clipboard;
    workbench::wqzOptionPayoffs bench{clipboard};
    platform::FlexGrid values;
};

void BM_PlotIt(benchmark::State& state) {
    Workbench w;
    workbench::wqzOptionPayoffs& bench = w.bench;
    bench.position() = butterfly();
    for (auto _ : state) {
        bench.PlotIt(platform::vbTrue);
    }
}
BENCHMARK(BM_PlotIt)->Unit(benchmark::kMicrosecond);

// A plot as the student sees it: PlotIt (which also analyses the position and
// names the curve) and the plot area painted. Bare, the area is painted
// alone; with overlays, with the legend and the markers over it. The ratio of
// the two is the price of what lies over the curve; compare them in one run.
void BM_PlotPainted(benchmark::State& state) {
    const bool overlays = state.range(0) != 0;
    Workbench w;
    workbench::wqzOptionPayoffs& bench = w.bench;
    bench.position() = butterfly();
    bench.setMarkersShown(overlays);
    auto* area = bench.findChild<platform::PictureBox*>(QStringLiteral("pbox"));
    QPixmap target(area->size());
    const QWidget::RenderFlags flags = overlays
                                           ? QWidget::DrawWindowBackground | QWidget::DrawChildren
                                           : QWidget::RenderFlags(QWidget::DrawWindowBackground);
    for (auto _ : state) {
        bench.PlotIt(platform::vbTrue);
        static_cast<QWidget*>(area)->render(&target, QPoint(), QRegion(), flags);
    }
}
BENCHMARK(BM_PlotPainted)->ArgName("overlays")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The pointer moving over the plot area: the price under it, the last curve's
// exact value there, and the read-out with its crosshair painted again.
void BM_PointerMove(benchmark::State& state) {
    Workbench w(false);
    workbench::wqzOptionPayoffs& bench = w.bench;
    bench.position() = butterfly();
    bench.PlotIt(platform::vbTrue);
    bench.show();
    auto* area = bench.findChild<platform::PictureBox*>(QStringLiteral("pbox"));
    QCoreApplication::processEvents();
    int x = 0;
    for (auto _ : state) {
        const QPointF at(x % area->width(), area->height() / 2.0);
        QMouseEvent move(QEvent::MouseMove, at, area->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(area, &move);
        area->repaint();
        x += 7;
    }
}
BENCHMARK(BM_PointerMove)->Unit(benchmark::kMicrosecond);

// A change of days left: the last curve valued again, its greeks written and
// the dashed curve painted over the plot area.
void BM_DaysLeftChange(benchmark::State& state) {
    Workbench w(false);
    workbench::wqzOptionPayoffs& bench = w.bench;
    bench.position() = butterfly();
    bench.PlotIt(platform::vbTrue);
    auto* area = bench.findChild<platform::PictureBox*>(QStringLiteral("pbox"));
    QPixmap target(area->size());
    workbench::beforeexpiry::Inputs in = tenDaysLeft();
    for (auto _ : state) {
        in.daysLeft = in.daysLeft == 10 ? 20 : 10;
        bench.setBeforeExpiry(in);
        static_cast<QWidget*>(area)->render(&target);
    }
}
BENCHMARK(BM_DaysLeftChange)->Unit(benchmark::kMicrosecond);

// The window resized, or an edge beside the workbench dragged, by a step:
// the plot area takes the new room and draws again, at its new size, ten
// curves drawn since the last clear, the last with five dates before expiry
// and its greek curve. A drag must keep up: each step within 16 ms.
void BM_ResizeStep(benchmark::State& state) {
    Workbench w(false);
    workbench::wqzOptionPayoffs& bench = w.bench;
    workbench::beforeexpiry::Inputs in = tenDaysLeft();
    in.moreDaysLeft = {25, 20, 15, 5};
    bench.setBeforeExpiry(in);
    for (int curve = 0; curve < 10; ++curve) {
        workbench::PositionState p = butterfly();
        p.callQty[1 + curve % 5] += 1;
        bench.position() = p;
        bench.PlotIt(platform::vbFalse);
    }
    bench.findChild<QComboBox*>(QStringLiteral("cmbGreek"))->setCurrentIndex(1);
    bench.show();
    bench.settle();
    QCoreApplication::processEvents();
    // The start-up curve is one more.
    if (bench.diagram().curves.size() < 10 || !bench.diagram().greekCurve) {
        state.SkipWithError("not the ten curves and the greek curve");
        return;
    }
    auto* area = bench.findChild<platform::PictureBox*>(QStringLiteral("pbox"));
    const QSize own = bench.size();
    bool wider = true;
    for (auto _ : state) {
        bench.resize(own + (wider ? QSize(600, 400) : QSize(590, 395)));
        QPixmap target(area->size());
        static_cast<QWidget*>(area)->render(&target);
        wider = !wider;
    }
}
BENCHMARK(BM_ResizeStep)->Unit(benchmark::kMicrosecond);

// The student holding the Up arrow on today's price: each step re-plots the
// position (five rows held, a put in each and calls on three), analyses it,
// values the dashed curve ten days from expiry with its greeks and, under
// American exercise, where early exercise pays. Exercise 0 is European, 1
// American, 2 American with a 2 % dividend yield (calls exercised early
// too). A held key must keep up: each step within 16 ms. The steps go up and
// down between two prices, each a state the workbench has valued before and
// keeps; BM_PriceArrowRising below meets a new price at every step.
// Five rows held, a put in each and calls written on three, in the grid as
// typed, valued before expiry with `in` and plotted in a range wide enough
// that no step asks about re-scaling.
void holdFiveRows(workbench::wqzOptionPayoffs& bench, const workbench::beforeexpiry::Inputs& in) {
    workbench::PositionState p = putsAndWrittenCalls();
    bench.position() = p;
    auto* grid = bench.findChild<platform::FlexGrid*>(QStringLiteral("Grid1"));
    for (int r = 1; r <= 5; ++r) {
        grid->setTextMatrix(r, 3, QStringLiteral("1"));
        grid->setTextMatrix(r, 0, r % 2 == 1 ? QStringLiteral("-1") : QStringLiteral("0"));
    }
    bench.findChild<QLineEdit*>(QStringLiteral("Text1(0)"))->setText(QStringLiteral("1000"));
    bench.findChild<QLineEdit*>(QStringLiteral("Text1(1)"))->setText(QStringLiteral("-1000"));
    bench.setBeforeExpiry(in);
    bench.PlotIt(platform::vbFalse);
}

void BM_PriceArrowHeld(benchmark::State& state) {
    Workbench w(false);
    workbench::wqzOptionPayoffs& bench = w.bench;
    workbench::beforeexpiry::Inputs in = tenDaysLeft();
    in.american = state.range(0) > 0;
    in.dividendYield = state.range(0) > 1 ? 0.02 : 0;
    holdFiveRows(bench, in);
    bench.findChild<QComboBox*>(QStringLiteral("cmbGreek"))->setCurrentIndex(int(state.range(1)));
    auto* price = bench.findChild<QAbstractSpinBox*>(QStringLiteral("txtUnderlyingPrice"));
    bool up = true;
    for (auto _ : state) {
        QKeyEvent key(QEvent::KeyPress, up ? Qt::Key_Up : Qt::Key_Down, Qt::NoModifier);
        QCoreApplication::sendEvent(price, &key);
        // The greek curve follows once the events waiting are done: with a
        // greek chosen the step is timed with it.
        if (state.range(1) > 0) {
            QCoreApplication::processEvents();
        }
        up = !up;
    }
    // The last step's values, once the pricing thread has them.
    if (!bench.settledAnalysisText().contains(QStringLiteral("Greeks at 50."))) {
        state.SkipWithError("the price step did not re-plot");
    }
}
BENCHMARK(BM_PriceArrowHeld)
    ->ArgNames({"exercise", "greek"})
    ->ArgsProduct({{0, 1, 2}, {0, 1, 2}})
    ->Unit(benchmark::kMillisecond);

// The same arrow held in one direction: every step a price not seen before,
// so that nothing valued for an earlier step serves it. Exercise 0 is
// European, 1 American.
void BM_PriceArrowRising(benchmark::State& state) {
    Workbench w(false);
    workbench::wqzOptionPayoffs& bench = w.bench;
    workbench::beforeexpiry::Inputs in = tenDaysLeft();
    in.american = state.range(0) > 0;
    holdFiveRows(bench, in);
    auto* price = bench.findChild<QAbstractSpinBox*>(QStringLiteral("txtUnderlyingPrice"));
    for (auto _ : state) {
        QKeyEvent key(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
        QCoreApplication::sendEvent(price, &key);
    }
    if (!bench.settledAnalysisText().contains(QStringLiteral("Greeks at 5"))) {
        state.SkipWithError("the price step did not re-plot");
    }
}
BENCHMARK(BM_PriceArrowRising)->ArgName("exercise")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A step of today's price with a greek chosen under American exercise, from
// the key to the greek curve drawn: the step on the window's thread, the
// greek's valuation on the pricing thread, waited for. Greek 1 delta, 2
// gamma; BM_PriceArrowHeld times the window's part alone.
void BM_PriceStepGreekDrawn(benchmark::State& state) {
    Workbench w(false);
    workbench::wqzOptionPayoffs& bench = w.bench;
    workbench::beforeexpiry::Inputs in = tenDaysLeft();
    in.american = true;
    holdFiveRows(bench, in);
    bench.findChild<QComboBox*>(QStringLiteral("cmbGreek"))->setCurrentIndex(int(state.range(0)));
    auto* price = bench.findChild<QAbstractSpinBox*>(QStringLiteral("txtUnderlyingPrice"));
    for (auto _ : state) {
        QKeyEvent key(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
        QCoreApplication::sendEvent(price, &key);
        // The greek is asked for once the events waiting are done.
        QCoreApplication::processEvents();
        bench.lastPlot().settle();
    }
    if (bench.lastPlot().valuing() || !bench.lastPlot().greekCurve()) {
        state.SkipWithError("the greek curve was not drawn");
    }
}
BENCHMARK(BM_PriceStepGreekDrawn)->ArgName("greek")->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// The date slider dragged with five rows held: each step values the one
// date it moves (the other dates' curves and the volatilities kept) with its
// greeks, and a date it comes back to is drawn from what was kept. Exercise 0 is European, 1
// American. A drag must keep up: each step within 8 ms.
void BM_DateSliderStep(benchmark::State& state) {
    Workbench w(false);
    workbench::wqzOptionPayoffs& bench = w.bench;
    workbench::beforeexpiry::Inputs in = tenDaysLeft();
    in.american = state.range(0) > 0;
    in.moreDaysLeft = {30, 20, 10, 5};
    holdFiveRows(bench, in);
    workbench::BeforeExpiryPanel panel(bench);
    auto* slider = panel.findChild<QSlider*>(QStringLiteral("sldDaysLeft"));
    int days = 10;
    for (auto _ : state) {
        days = days >= 28 ? 2 : days + 1;
        slider->setValue(days);
    }
    if (bench.beforeExpiry().daysLeft != days) {
        state.SkipWithError("the slider did not move the days left");
    }
}
BENCHMARK(BM_DateSliderStep)->ArgName("exercise")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Each live step from the event to its valuation drawn, or the window's part
// alone: step 0 a new price by the Up arrow on the price box, 1 a date
// slider step to a date not yet valued (the others valued), 2 the Scenarios
// table after a new price, as the panel asks for it when it is shown.
// Exercise 0 is European, 1 American; drawn 0 times what the window's thread
// does (the event and the events it leaves), 1 waits for the pricing threads
// and takes what they valued, as the window would when it arrives. Targets:
// every window part within 16 ms; drawn within 100 ms for the dashed curves,
// 150 ms for the table.
void BM_StepDrawn(benchmark::State& state) {
    Workbench w(false);
    workbench::wqzOptionPayoffs& bench = w.bench;
    const int step = int(state.range(0));
    const bool drawn = state.range(2) != 0;
    workbench::beforeexpiry::Inputs in = tenDaysLeft();
    in.american = state.range(1) != 0;
    in.moreDaysLeft = {30, 20, 5};
    holdFiveRows(bench, in);
    workbench::BeforeExpiryPanel panel(bench);
    auto* slider = panel.findChild<QSlider*>(QStringLiteral("sldDaysLeft"));
    auto* price = bench.findChild<QAbstractSpinBox*>(QStringLiteral("txtUnderlyingPrice"));
    const workbench::LastPlot& plot = bench.lastPlot();
    int days = 10;
    for (auto _ : state) {
        if (step == 1) {
            // A price not seen before, valued whole before the step, so that
            // the step finds its date alone to value.
            state.PauseTiming();
            QKeyEvent key(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
            QCoreApplication::sendEvent(price, &key);
            plot.diagram();
            plot.settle();
            days = days >= 28 ? 2 : days + 1;
            state.ResumeTiming();
            slider->setValue(days);
        } else {
            QKeyEvent key(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
            QCoreApplication::sendEvent(price, &key);
            if (step == 2) {
                benchmark::DoNotOptimize(plot.scenarios());
            }
        }
        QCoreApplication::processEvents();
        if (drawn) {
            plot.settle();
        }
    }
    plot.settle();
    if (plot.dated().empty() || (step == 2 && !plot.scenarios()) ||
        (step == 1 && bench.beforeExpiry().daysLeft != days)) {
        state.SkipWithError("the step valued nothing");
    }
}
BENCHMARK(BM_StepDrawn)
    ->ArgNames({"step", "exercise", "drawn"})
    ->ArgsProduct({{0, 1, 2}, {0, 1}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

// The volatility shift's slider dragged with five rows held and five dates
// shown, each step to a shift not valued yet (a drag sweeps -50 to +50
// points): every dashed curve, the highlighted date's greeks and the law
// valued again, the implied volatilities kept. Exercise 0 is European, 1
// American; drawn 0 is the window's part (the step and the events it
// leaves), 1 waits for the pricing threads as well. Targets: the window's
// part within 2 ms European and 16 ms American, drawn within 100 ms.
void BM_ShiftSliderStep(benchmark::State& state) {
    Workbench w(false);
    workbench::wqzOptionPayoffs& bench = w.bench;
    workbench::beforeexpiry::Inputs in = tenDaysLeft();
    in.american = state.range(0) != 0;
    in.moreDaysLeft = {30, 20, 5, 2};
    holdFiveRows(bench, in);
    const bool drawn = state.range(1) != 0;
    workbench::BeforeExpiryPanel panel(bench);
    auto* slider = panel.findChild<QSlider*>(QStringLiteral("sldVolatilityShift"));
    const workbench::LastPlot& plot = bench.lastPlot();
    int shift = 0;
    for (auto _ : state) {
        shift = shift >= 50 ? -50 : shift + 1;
        slider->setValue(shift);
        // What the plot area asks for once the events are done: the dashed
        // curves, valued here or asked of the pricing thread.
        benchmark::DoNotOptimize(&plot.diagram(false));
        QCoreApplication::processEvents();
        if (drawn) {
            plot.settle();
        }
    }
    plot.settle();
    if (std::lround(bench.beforeExpiry().volatilityShift * 100) != shift ||
        plot.dated().size() != 5) {
        state.SkipWithError("the slider did not move the shift");
    }
}
BENCHMARK(BM_ShiftSliderStep)
    ->ArgNames({"exercise", "drawn"})
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

// A step of today's price with 5,000 rows held (a put in each), the window's
// part: target within 50 ms whatever the exercise, the valuation going on on
// the pricing thread meanwhile.
void BM_PriceStepManyRows(benchmark::State& state) {
    Workbench w(false);
    workbench::wqzOptionPayoffs& bench = w.bench;
    constexpr int rows = 5000;
    bench.pasteData(quoteTable(rows, 0.012));
    auto* grid = bench.findChild<platform::FlexGrid*>(QStringLiteral("Grid1"));
    for (int r = 1; r <= rows; ++r) {
        grid->setTextMatrix(r, 3, QStringLiteral("1"));
    }
    workbench::beforeexpiry::Inputs in = tenDaysLeft();
    in.american = state.range(0) != 0;
    bench.setBeforeExpiry(in);
    bench.PlotIt(platform::vbFalse);
    auto* price = bench.findChild<QAbstractSpinBox*>(QStringLiteral("txtUnderlyingPrice"));
    for (auto _ : state) {
        QKeyEvent key(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
        QCoreApplication::sendEvent(price, &key);
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_PriceStepManyRows)->ArgName("exercise")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A full re-plot with five rows held: with no dashed curve (dates 0), with
// one (dates 1), and with five (dates 5), every one valued afresh, and with
// five and a greek's curve (greek 1 to 4: delta, gamma, theta, vega).
// Compare them in one run: five dates and the chosen greek's curve within
// twice the one.
void BM_ReplotWithDates(benchmark::State& state) {
    Workbench w(false);
    workbench::wqzOptionPayoffs& bench = w.bench;
    workbench::beforeexpiry::Inputs in = tenDaysLeft();
    in.daysLeft = state.range(0) > 0 ? 10 : 0;
    if (state.range(0) > 1) {
        in.moreDaysLeft = {30, 24, 18, 5};
    }
    holdFiveRows(bench, in);
    if (state.range(0) > 1) {
        bench.findChild<QComboBox*>(QStringLiteral("cmbGreek"))
            ->setCurrentIndex(int(state.range(1)));
    }
    for (auto _ : state) {
        bench.PlotIt(platform::vbTrue);
    }
}
BENCHMARK(BM_ReplotWithDates)
    ->ArgNames({"dates", "greek"})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({5, 0})
    ->Args({5, 1})
    ->Args({5, 2})
    ->Args({5, 3})
    ->Args({5, 4})
    ->Unit(benchmark::kMicrosecond);

// A "Try it" link from a strategy page, from its address to the plotted curve.
void BM_TryItLink(benchmark::State& state) {
    Workbench w;
    workbench::wqzOptionPayoffs& bench = w.bench;
    const QUrl links[] = {
        QUrl(QStringLiteral("wqz-workbench:load?strategy=Straddle&diagram=profit")),
        QUrl(QStringLiteral("wqz-workbench:load?position=u:1,p3:1&diagram=profit"))};
    int i = 0;
    for (auto _ : state) {
        const workbench::links::Reading reading =
            workbench::links::read(links[i++ % 2], bench.position().rowCount());
        bench.followLink(*reading.load);
    }
}
BENCHMARK(BM_TryItLink)->Unit(benchmark::kMicrosecond);

// A step button press: adjust the selected quantity, read the grid, plot.
// A strategy choice: write the position and re-plot from scratch.
// Targets: each under 2 milliseconds (median).
void BM_StepButton(benchmark::State& state) {
    Workbench w;
    workbench::wqzOptionPayoffs& bench = w.bench;
    auto* up = bench.findChild<QPushButton*>(QStringLiteral("scup(0)"));
    auto* down = bench.findChild<QPushButton*>(QStringLiteral("scdown(0)"));
    bool goingUp = true;
    for (auto _ : state) {
        // Up and down in turn, so the curve stays inside the display range.
        (goingUp ? up : down)->click();
        goingUp = !goingUp;
    }
}
BENCHMARK(BM_StepButton)->Unit(benchmark::kMicrosecond);

void BM_StrategyChoice(benchmark::State& state) {
    Workbench w;
    workbench::wqzOptionPayoffs& bench = w.bench;
    auto* list = bench.findChild<QComboBox*>(QStringLiteral("cmbStandard"));
    int index = 0;
    for (auto _ : state) {
        list->setCurrentIndex(index);
        emit list->activated(index);
        index = (index + 1) % list->count();
    }
}
BENCHMARK(BM_StrategyChoice)->Unit(benchmark::kMicrosecond);

// A quote table of 1,000 lines loaded, plotted and analysed. Target: under
// 20 ms (median).
void BM_PasteThousandQuotesAndPlot(benchmark::State& state) {
    Workbench w;
    workbench::wqzOptionPayoffs& bench = w.bench;
    const QString table = quoteTable(1000, 0.06);
    auto* plot = bench.findChild<QPushButton*>(QStringLiteral("cmdPlot"));
    for (auto _ : state) {
        bench.pasteData(table);
        plot->click();
    }
}
BENCHMARK(BM_PasteThousandQuotesAndPlot)->Unit(benchmark::kMillisecond);

} // namespace

// Five rows whose legs expire apart, as a double diagonal: the puts at 40
// (bought, 60 days) and 45 (written), the calls at 55 (written) and 60
// (bought, 60 days), and one at 50 written to expire in 45, the panel's 30
// days for the rest. In the grid as a student types them.
void holdFiveRowsApart(workbench::wqzOptionPayoffs& bench,
                       const workbench::beforeexpiry::Inputs& in) {
    auto* grid = bench.findChild<platform::FlexGrid*>(QStringLiteral("Grid1"));
    const char* calls[] = {"0", "0", "-1 @45d", "-1", "1 @60d"};
    const char* puts[] = {"1 @60d", "-1", "0", "0", "0"};
    for (int r = 1; r <= 5; ++r) {
        grid->setTextMatrix(r, 0, QString::fromLatin1(calls[r - 1]));
        grid->setTextMatrix(r, 3, QString::fromLatin1(puts[r - 1]));
    }
    bench.findChild<QLineEdit*>(QStringLiteral("Text1(0)"))->setText(QStringLiteral("1000"));
    bench.findChild<QLineEdit*>(QStringLiteral("Text1(1)"))->setText(QStringLiteral("-1000"));
    bench.setBeforeExpiry(in);
    bench.findChild<QPushButton*>(QStringLiteral("cmdPlot"))->click();
}

// The curve at the first expiry of five rows that expire apart, read: the
// break-evens and extremes to the cent and the law's figures, on a valuer
// built once as the workbench builds it. Exercise 0 is European, 1
// American. Target: within 2 ms European.
void BM_FirstExpiryAnalysis(benchmark::State& state) {
    Workbench w(false);
    workbench::beforeexpiry::Inputs in = tenDaysLeft();
    in.american = state.range(0) != 0;
    holdFiveRowsApart(w.bench, in);
    const workbench::LastPlot& plot = w.bench.lastPlot();
    const workbench::beforeexpiry::Valuer atFirst = *plot.atFirstExpiry();
    const workbench::probability::Lognormal law = *plot.law();
    for (auto _ : state) {
        const workbench::analysis::Analysis a = workbench::firstexpiry::analyse(
            plot.valuedPosition(), plot.valuedInputs(), atFirst, workbench::payoff::profitDiagram);
        benchmark::DoNotOptimize(workbench::firstexpiry::figures(a, atFirst, law));
    }
}
BENCHMARK(BM_FirstExpiryAnalysis)
    ->ArgName("exercise")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond);

// Those five rows re-plotted step by step: control 0 is today's price
// rising by the arrow, each step a price not seen before; 1 the volatility
// shift's slider dragged, each step a shift not valued yet. Either draws the
// curve at the first expiry again with its later legs valued, and its
// analysis. The window's part: the step, the events it leaves and the
// diagram the plot area asks for. Targets: 3 ms European, 16 ms American.
void BM_FirstExpiryReplot(benchmark::State& state) {
    Workbench w(false);
    workbench::wqzOptionPayoffs& bench = w.bench;
    workbench::beforeexpiry::Inputs in = tenDaysLeft();
    in.american = state.range(1) != 0;
    holdFiveRowsApart(bench, in);
    workbench::BeforeExpiryPanel panel(bench);
    auto* slider = panel.findChild<QSlider*>(QStringLiteral("sldVolatilityShift"));
    auto* price = bench.findChild<QAbstractSpinBox*>(QStringLiteral("txtUnderlyingPrice"));
    const workbench::LastPlot& plot = bench.lastPlot();
    int shift = 0;
    int steps = 0;
    for (auto _ : state) {
        if (state.range(0) == 0) {
            // Back to 50 now and then, unseen, so that the range holds it.
            if (++steps % 40 == 0) {
                state.PauseTiming();
                bench.position().underlyingPrice = 50.0f + float(steps) * 1e-4f;
                state.ResumeTiming();
            }
            QKeyEvent key(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
            QCoreApplication::sendEvent(price, &key);
        } else {
            shift = shift >= 50 ? -50 : shift + 1;
            slider->setValue(shift);
        }
        benchmark::DoNotOptimize(plot.analysis());
        benchmark::DoNotOptimize(&plot.diagram(false));
        QCoreApplication::processEvents();
    }
    plot.settle();
    if (!plot.staggered() || !plot.analysis() || plot.analysis()->firstExpiry != 30) {
        state.SkipWithError("the step drew no curve at the first expiry");
    }
}
BENCHMARK(BM_FirstExpiryReplot)
    ->ArgNames({"control", "exercise"})
    ->ArgsProduct({{0, 1}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
