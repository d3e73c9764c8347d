#pragma once

#include <httplib.h>

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace offline {

// The HTTP server's workers. Each connection keeps its worker for as long as
// it lasts, waiting for its client most of that time; a fixed handful of
// workers lets a few silent clients make every page wait. So a worker is
// started whenever a connection finds none free, up to `maxWorkers`, and
// workers stay for later connections until the server stops. Threads that
// are never needed are never started.
class WorkerPool : public httplib::TaskQueue {
public:
    explicit WorkerPool(std::size_t maxWorkers);
    ~WorkerPool() override;
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    void enqueue(std::function<void()> job) override;
    // Lets the workers finish every job given so far, then joins them.
    void shutdown() override;

private:
    void work();

    const std::size_t maxWorkers_;
    std::mutex mutex_;
    std::condition_variable jobWaiting_;
    std::deque<std::function<void()>> jobs_;
    std::vector<std::thread> workers_;
    std::size_t idle_ = 0;
    bool stopping_ = false;
};

} // namespace offline
