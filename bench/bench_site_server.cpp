// How soon the loopback sites server answers a page while other programs on
// the machine hold connections to it that ask nothing, or that stall in the
// middle of their request line. Each iteration opens the held connections,
// times one page request on a fresh connection, and closes them again; only
// the request is timed. Target (median): under 200 milliseconds with fifty
// or a thousand connections held, and within a few times the time with none.
//
// And the same while a thousand connections that ask nothing are held for
// seconds on end, each opened again as soon as the server drops it, so that
// the requests also meet the moments when the server drops them all. Target
// (median and slowest): under 200 milliseconds.
//
// And how long stopping the server takes while fifty connections stall in
// their request line. Target (median): under 100 milliseconds.
#include "offline/HttpProbe.h"
#include "offline/SiteServer.h"
#include "services/Sites.h"

#include <benchmark/benchmark.h>

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <thread>
#include <vector>

namespace {

// Both ends of every connection are in this process.
bool allowConnections(benchmark::State& state, std::int64_t count) {
    if (httpprobe::allowOpenFiles(std::size_t(2 * count + 256))) {
        return true;
    }
    state.SkipWithError("the process may not open that many descriptors");
    return false;
}

// Starts the server; says so and answers false when it does not start.
bool serving(benchmark::State& state, offline::SiteServer& server) {
    if (server.start()) {
        return true;
    }
    state.SkipWithError("the server did not start");
    return false;
}

// The page every case asks for, and the host it asks it of.
const QByteArray kPage = "/public/wqzmodhtm/wqzLumo/page1.htm";
QByteArray modulesHost() {
    return services::sites::host(services::sites::Site::Modules).toLatin1();
}

void BM_PageWhileConnectionsHeld(benchmark::State& state) {
    if (!allowConnections(state, state.range(0) + state.range(1))) {
        return;
    }
    offline::SiteServer server;
    if (!serving(state, server)) {
        return;
    }
    const QByteArray host = modulesHost();
    const QByteArray& page = kPage;
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
    ->Args({1000, 0})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// `count` connections to `port` that send nothing; one that the server
// closes is opened again at once, until the crowd is destroyed.
class SilentCrowd {
public:
    SilentCrowd(std::uint16_t port, std::int64_t count) : port_(port) {
        for (std::int64_t i = 0; i < count; ++i) {
            held_.push_back({httpprobe::hold(port_), POLLIN, 0});
        }
        thread_ = std::thread([this] { reopen(); });
    }
    ~SilentCrowd() {
        stop_ = true;
        thread_.join();
        for (const pollfd& p : held_) {
            ::close(p.fd);
        }
    }
    // Connections the server has dropped so far.
    std::int64_t dropped() const { return dropped_; }

private:
    void reopen() {
        while (!stop_) {
            if (::poll(held_.data(), held_.size(), 10) <= 0) {
                continue;
            }
            for (pollfd& p : held_) {
                if (p.revents != 0) {
                    ::close(p.fd);
                    p.fd = httpprobe::hold(port_);
                    p.revents = 0;
                    ++dropped_;
                }
            }
        }
    }

    const std::uint16_t port_;
    std::vector<pollfd> held_;
    std::atomic<bool> stop_{false};
    std::atomic<std::int64_t> dropped_{0};
    std::thread thread_;
};

void BM_PageWhileSilentConnectionsReopened(benchmark::State& state) {
    if (!allowConnections(state, state.range(0))) {
        return;
    }
    offline::SiteServer server;
    if (!serving(state, server)) {
        return;
    }
    const QByteArray host = modulesHost();
    const QByteArray& page = kPage;
    const SilentCrowd crowd(server.port(), state.range(0));
    double slowest = 0;
    for (auto _ : state) {
        // Requests a twentieth of a second apart, so that the run outlasts
        // the server's two seconds of patience with the crowd.
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        const auto start = std::chrono::steady_clock::now();
        const httpprobe::Response response = httpprobe::request(server.port(), host, page);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(took.count());
        slowest = std::max(slowest, took.count());
        if (response.status != 200) {
            state.SkipWithError("no page within the probe's time-out");
            break;
        }
    }
    state.counters["slowest_ms"] = slowest * 1000;
    state.counters["dropped"] = double(crowd.dropped());
}
BENCHMARK(BM_PageWhileSilentConnectionsReopened)
    ->ArgName("silent")
    ->Arg(1000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(60)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

void BM_StopWhileConnectionsHeld(benchmark::State& state) {
    for (auto _ : state) {
        offline::SiteServer server;
        if (!serving(state, server)) {
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
