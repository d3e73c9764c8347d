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

// The HTTP server's workers, which answer requests that have come in full.
// A worker is started whenever a request finds none free, up to
// `maxWorkers`, and workers stay for later requests until the server stops,
// so threads that are never needed are never started.
class WorkerPool : public httplib::TaskQueue {
public:
    explicit WorkerPool(std::size_t maxWorkers);
    ~WorkerPool() override;
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    // Either queues the job or throws before it has taken it.
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
