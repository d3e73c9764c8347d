#pragma once

#include <QObject>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

namespace workbench {

// The one thread that values what takes longer than a frame (an American
// greek curve costs several whole curves of the engine's prices), so that the
// window keeps answering while it is valued. The newest request wins: one
// made while another waits takes its place, and the one running is told to
// stop, so that a held key never queues work. What a request found comes
// back on the window's thread, and only the newest request's.
class PricingThread : public QObject {
    Q_OBJECT
public:
    // Whether the request has been overtaken by a newer one, or the program
    // is closing: work that asks may end early, and its result is dropped.
    using Stopped = std::function<bool()>;
    // What a request does on the pricing thread. What it gives back is run on
    // the window's thread, if the request is still the newest then.
    using Work = std::function<std::function<void()>(const Stopped& stopped)>;

    explicit PricingThread(QObject* parent = nullptr);
    // The work running is told to stop, and the thread ends with it.
    ~PricingThread() override;

    // Gives the request's serial: the newest is the one whose result comes.
    std::uint64_t request(Work work);
    std::uint64_t newest() const { return newest_; }
    // Whether request `serial` is still on its way: the newest, and its
    // result not yet taken. A caller that asked for it need not ask again.
    bool coming(std::uint64_t serial) const;
    // Whether a request waits, runs, or has a result not yet taken.
    bool busy() const;
    // Waits for the newest request and takes its result at once: for what
    // must not write half a state (a file of the diagram).
    void finish();
    // How many requests have started, whole or stopped early.
    std::uint64_t started() const { return started_; }
    // The work running says how far it is, from 0 to 1, for a progress bar.
    void setProgress(double fraction) { progress_ = fraction; }
    double progress() const { return progress_; }
    // How long the work running has run, in milliseconds; 0 while none runs.
    std::int64_t runningMs() const;

signals:
    // The newest request's result was taken.
    void delivered();

private:
    void run();
    void take(std::uint64_t serial);

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    Work waiting_;
    std::atomic<std::uint64_t> newest_{0};
    // The request running, 0 for none, and the newest whose result is not
    // yet taken.
    std::uint64_t running_ = 0;
    std::uint64_t untaken_ = 0;
    std::function<void()> result_;
    bool quit_ = false;
    std::atomic<std::uint64_t> started_{0};
    std::atomic<double> progress_{0};
    // When the work running started, on the steady clock; 0 while none runs.
    std::atomic<std::int64_t> startedAt_{0};
    std::thread thread_;
};

} // namespace workbench
