// How long a plot takes: the evaluation of 100 sample prices alone, and the
// whole PlotIt on an offscreen workbench (evaluation, values grid, drawing).
// Targets on the development machines: evaluation under 5 microseconds,
// PlotIt under 1 millisecond (medians).
#include "platform/Dialogs.h"
#include "platform/EventPump.h"
#include "platform/FlexGrid.h"
#include "platform/MousePointer.h"
#include "platform/QtClipboard.h"
#include "workbench/PayoffEvaluation.h"
#include "workbench/wqzOptionPayoffs.h"

#include <QApplication>
#include <QCoreApplication>

#include <benchmark/benchmark.h>

namespace {

workbench::PositionState butterfly() {
    workbench::PositionState p;
    const float calls[] = {0, 16, 13, 10.5f, 8.25f, 6.5f};
    const float puts[] = {0, 0.5f, 1.5f, 3.5f, 6.5f, 10};
    for (int r = 1; r <= 5; ++r) {
        p.strike[r] = float(5 * r + 35);
        p.callPrice[r] = calls[r];
        p.putPrice[r] = puts[r];
    }
    p.callQty[1] = 1;
    p.callQty[3] = -2;
    p.callQty[5] = 1;
    p.putQty[2] = 0.5f;
    p.underlyingQty = 1;
    return p;
}

void BM_Evaluation(benchmark::State& state) {
    const workbench::PositionState p = butterfly();
    payoff::Samples price{}, value{};
    const payoff::PriceRange range = payoff::priceRange(1, 100);
    for (auto _ : state) {
        const payoff::Extremes e =
            payoff::sampleCurve(p, range, payoff::profitDiagram, price, value, [](int) {});
        benchmark::DoNotOptimize(e);
        benchmark::DoNotOptimize(value.data());
    }
}
BENCHMARK(BM_Evaluation);

class SilentDialogs : public platform::Dialogs {
public:
    int msgBox(const QString&, Buttons, Icon, const QString&) override { return answerNo; }
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

void BM_PlotIt(benchmark::State& state) {
    SilentDialogs dialogs;
    StillPointer pointer;
    OnePass pump;
    platform::installDialogs(&dialogs);
    platform::installMousePointer(&pointer);
    platform::installEventPump(&pump);
    {
        platform::QtClipboard clipboard;
        wqzOptionPayoffs bench(clipboard);
        platform::FlexGrid values;
        bench.setGrddisplay(&values);
        bench.position() = butterfly();
        for (auto _ : state) {
            bench.PlotIt(platform::vbTrue);
        }
    }
    platform::installDialogs(nullptr);
    platform::installMousePointer(nullptr);
    platform::installEventPump(nullptr);
}
BENCHMARK(BM_PlotIt)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
