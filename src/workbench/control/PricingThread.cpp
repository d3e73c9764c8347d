#include "PricingThread.h"

#include <QMetaObject>

#include <chrono>
#include <exception>

namespace workbench {

PricingThread::PricingThread(QObject* parent) : QObject(parent), thread_([this] { run(); }) {}

PricingThread::~PricingThread() {
    {
        const std::lock_guard lock(mutex_);
        quit_ = true;
        // Work that asks stops at its next step.
        ++newest_;
    }
    changed_.notify_all();
    thread_.join();
}

namespace {

std::int64_t now() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

std::uint64_t PricingThread::request(Work work) {
    std::uint64_t serial = 0;
    {
        const std::lock_guard lock(mutex_);
        // A request still waiting is dropped: this one takes its place.
        waiting_ = std::move(work);
        serial = ++newest_;
    }
    changed_.notify_all();
    return serial;
}

std::int64_t PricingThread::runningMs() const {
    const std::int64_t since = startedAt_;
    return since == 0 ? 0 : (now() - since) / 1'000'000;
}

bool PricingThread::coming(std::uint64_t serial) const {
    return serial != 0 && serial == newest_ && busy();
}

bool PricingThread::busy() const {
    const std::lock_guard lock(mutex_);
    return waiting_ || running_ != 0 || untaken_ != 0;
}

void PricingThread::finish() {
    std::uint64_t serial = 0;
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !waiting_ && running_ == 0; });
        serial = untaken_;
    }
    if (serial != 0) {
        take(serial);
    }
}

void PricingThread::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return quit_ || waiting_; });
        if (quit_) {
            return;
        }
        const Work work = std::move(waiting_);
        waiting_ = nullptr;
        const std::uint64_t serial = newest_;
        running_ = serial;
        lock.unlock();
        ++started_;
        progress_ = 0;
        startedAt_ = now();
        const Stopped stopped = [this, serial] { return serial != newest_; };
        std::function<void()> result;
        try {
            result = work(stopped);
        } catch (const std::exception&) {
            // The work says what failed in what it gives back; a library
            // that throws past it leaves nothing to take.
        }
        startedAt_ = 0;
        lock.lock();
        running_ = 0;
        if (serial == newest_ && !quit_) {
            untaken_ = serial;
            result_ = result ? std::move(result) : [] {};
            QMetaObject::invokeMethod(
                this, [this, serial] { take(serial); }, Qt::QueuedConnection);
        }
        changed_.notify_all();
    }
}

void PricingThread::take(std::uint64_t serial) {
    std::function<void()> result;
    {
        const std::lock_guard lock(mutex_);
        // Taken already (by finish()), or overtaken by a newer request.
        if (untaken_ != serial || serial != newest_) {
            return;
        }
        result = std::move(result_);
        result_ = nullptr;
        untaken_ = 0;
    }
    result();
    emit delivered();
}

} // namespace workbench
