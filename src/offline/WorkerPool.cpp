#include "WorkerPool.h"

#include <system_error>
#include <utility>

namespace offline {

WorkerPool::WorkerPool(std::size_t maxWorkers) : maxWorkers_(maxWorkers) {
    // Starting a worker must not fail for want of room once the job is in.
    workers_.reserve(maxWorkers_);
}

WorkerPool::~WorkerPool() {
    shutdown();
}

void WorkerPool::enqueue(std::function<void()> job) {
    {
        const std::lock_guard lock(mutex_);
        jobs_.push_back(std::move(job));
        // A worker woken for an earlier job still counts as idle until it has
        // taken one, so this starts a thread only for a job nobody will take.
        if (jobs_.size() > idle_ && workers_.size() < maxWorkers_) {
            try {
                workers_.emplace_back([this] { work(); });
            } catch (const std::system_error&) {
                // Out of threads: the job waits for a worker that is running.
            }
        }
    }
    jobWaiting_.notify_one();
}

void WorkerPool::shutdown() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    jobWaiting_.notify_all();
    for (std::thread& worker : workers_) {
        if (worker.joinable()) {
            worker.join();
        }
    }
    // Jobs that no thread could be started for still own their connections;
    // the server has stopped, so each one only closes its own.
    while (!jobs_.empty()) {
        std::function<void()> job = std::move(jobs_.front());
        jobs_.pop_front();
        job();
    }
}

void WorkerPool::work() {
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock lock(mutex_);
            ++idle_;
            jobWaiting_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
            --idle_;
            if (jobs_.empty()) {
                return;
            }
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        job();
    }
}

} // namespace offline
