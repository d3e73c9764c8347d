// How soon the loopback sites server answers a page while other programs on
// the machine hold connections to it that ask nothing, or that stall in the
// middle of their request line. Each iteration opens the held connections,
// times one page request on a fresh connection, and closes them again; only
// the request is timed. Target (median): under 200 milliseconds with fifty
// connections held, and within a few times the time with none.
//
// And how long stopping the server takes while fifty connections stall in
// their request line. Target (median): under 100 milliseconds.
#include "offline/HttpProbe.h"
#include "offline/SiteServer.h"
#include "services/Sites.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <chrono>
#include <vector>

namespace {

void BM_PageWhileConnectionsHeld(benchmark::State& state) {
    offline::SiteServer server;
    if (!server.start()) {
        state.SkipWithError("the server did not start");
        return;
    }
    const QByteArray host = services::sites::host(services::sites::Site::Modules).toLatin1();
    const QByteArray page = "/public/wqzmodhtm/wqzLumo/page1.htm";
    const QByteArray halfRequest = "GET " + page + " HTTP/1.1";
    for (auto _ : state) {
        std::vector<int> held;
        for (std::int64_t i = 0; i < state.range(0); ++i) {
            held.push_back(httpprobe::hold(server.port()));
        }
        for (std::int64_t i = 0; i < state.range(1); ++i) {
            held.push_back(httpprobe::hold(server.port(), halfRequest));
        }
        const auto start = std::chrono::steady_clock::now();
        const httpprobe::Response response = httpprobe::request(server.port(), host, page);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(took.count());
        for (const int fd : held) {
            if (fd >= 0) {
                ::close(fd);
            }
        }
        if (response.status != 200) {
            state.SkipWithError("no page within the probe's time-out");
            break;
        }
    }
}
BENCHMARK(BM_PageWhileConnectionsHeld)
    ->ArgNames({"idle", "half_open"})
    ->Args({0, 0})
    ->Args({50, 0})
    ->Args({0, 50})
    ->Args({50, 50})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

void BM_StopWhileConnectionsHeld(benchmark::State& state) {
    for (auto _ : state) {
        offline::SiteServer server;
        if (!server.start()) {
            state.SkipWithError("the server did not start");
            break;
        }
        std::vector<int> held;
        for (std::int64_t i = 0; i < state.range(0); ++i) {
            held.push_back(httpprobe::hold(server.port(), "GET / HTTP/1.1"));
        }
        const auto start = std::chrono::steady_clock::now();
        server.stop();
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(took.count());
        for (const int fd : held) {
            if (fd >= 0) {
                ::close(fd);
            }
        }
    }
}
BENCHMARK(BM_StopWhileConnectionsHeld)
    ->ArgName("half_open")
    ->Arg(50)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
