// What an exercise pack costs the window's thread: reading a pack of the
// most questions a pack holds (each situation read and held to the limits),
// the page's texts for one student (every question's numbers drawn, its
// situation written with them and its sentence made), and judging one
// answer, European and American.
//
// Targets: reading and the page's texts well within a frame at 60
// questions (16 ms), since both run as a pack opens; an answer judged as a
// lesson's is (a European one within 1 ms).
#include "workbench/lessons/Packs.h"

#include <benchmark/benchmark.h>

namespace {

namespace packs = workbench::packs;
namespace lessons = workbench::lessons;

packs::Pack fullPack(bool american) {
    packs::Pack pack = packs::newPack(QStringLiteral("Benchmark"));
    for (int i = 1; i <= packs::limits::mostQuestions; ++i) {
        packs::Question q;
        q.id = QStringLiteral("q%1").arg(i);
        q.situation = QStringLiteral("wqz-workbench:load?rows=45:6.2:0.85;50:2.7:2.3;55:0.9:5.4"
                                     "&position=c1:1,c2:-1&diagram=profit&price=50&days=30&rate=5"
                                     "&dividend=0&exercise=%1&volatility=30&daysLeft=15&dates=none"
                                     "&range=35:65:-6:6")
                          .arg(american ? u"american" : u"european");
        q.asks = i % 2 ? lessons::Asks::ValueWithDaysLeft : lessons::Asks::Delta;
        q.atTodaysPrice = true;
        q.vary[std::size_t(packs::Varied::Price)] = packs::Range{45, 55};
        q.vary[std::size_t(packs::Varied::Volatility)] = packs::Range{20, 40};
        pack.questions.push_back(q);
    }
    return pack;
}

void BM_PackRead(benchmark::State& state) {
    const QByteArray bytes = packs::toJson(fullPack(false));
    for (auto _ : state) {
        benchmark::DoNotOptimize(packs::fromJson(bytes));
    }
}
BENCHMARK(BM_PackRead)->Unit(benchmark::kMillisecond);

void BM_PackPageTexts(benchmark::State& state) {
    const packs::Pack pack = fullPack(false);
    for (auto _ : state) {
        for (const packs::Question& q : pack.questions) {
            // As the window gives them to the page.
            const packs::Numbers n = packs::draw(pack, q, QStringLiteral("Ann Lee"));
            const lessons::Question posed = packs::posed(q, n);
            benchmark::DoNotOptimize(packs::asked(q, posed));
            benchmark::DoNotOptimize(packs::numbersText(n));
        }
    }
}
BENCHMARK(BM_PackPageTexts)->Unit(benchmark::kMillisecond);

void BM_PackAnswerJudged(benchmark::State& state) {
    const packs::Pack pack = fullPack(state.range(0) != 0);
    const packs::Question& q = pack.questions.front();
    const lessons::Question posed = packs::posed(q, packs::draw(pack, q, QStringLiteral("Ann")));
    for (auto _ : state) {
        benchmark::DoNotOptimize(lessons::check(posed, QStringLiteral("1.23")));
    }
}
BENCHMARK(BM_PackAnswerJudged)->ArgName("american")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The lessons' own exercises, every one judged once: the judge the packs
// share, as the lesson pages ask it.
void BM_LessonAnswersJudged(benchmark::State& state) {
    for (auto _ : state) {
        for (const lessons::Exercise& e : lessons::all()) {
            benchmark::DoNotOptimize(lessons::check(e, QString::fromUtf16(e.answer)));
        }
    }
}
BENCHMARK(BM_LessonAnswersJudged)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
