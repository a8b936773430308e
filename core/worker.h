#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>

namespace tb {

// A thread that runs one device's blocking work (file checks, state changes, going to
// NULL) in order, so that the user-interface thread waits only as long as it chooses.
// A retired worker runs what is queued and then ends by itself; nobody waits for it,
// and whatever its jobs captured is released on its own thread.
class Worker final : public std::enable_shared_from_this<Worker> {
public:
    using Clock = std::chrono::steady_clock;

    static std::shared_ptr<Worker> start();
    ~Worker();
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;

    void post(std::function<void()> job);
    // Runs `job` once `when` has come, after the jobs posted before it are done.
    void postAt(Clock::time_point when, std::function<void()> job);

    // Runs `job` on the worker and waits for its result at most `limit`; empty when
    // the worker did not answer in time (the job still runs later, its result dropped).
    template <class T>
    std::optional<T> call(std::function<T()> job, std::chrono::milliseconds limit);

    // No more jobs: the thread ends once the queued ones have run. Never waits.
    void retire();

    // Runs `job` on a worker of its own and waits for it at most `limit`; a job that
    // overruns is let go and ends by itself, its result dropped.
    template <class T>
    static std::optional<T> runWithin(std::chrono::milliseconds limit, std::function<T()> job);

    // Workers whose threads have not ended yet, in the whole process.
    static int running();
    // Waits until no worker thread runs, at most `limit`; true when none runs.
    static bool waitForAll(std::chrono::milliseconds limit);

private:
    Worker() = default;
    void run();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> jobs_;
    std::multimap<Clock::time_point, std::function<void()>> timed_;
    bool retired_ = false;
};

template <class T>
std::optional<T> Worker::call(std::function<T()> job, std::chrono::milliseconds limit) {
    struct Slot {
        std::mutex mutex;
        std::condition_variable done;
        std::optional<T> value;
    };
    auto slot = std::make_shared<Slot>();
    post([slot, job = std::move(job)] {
        T value = job();
        std::lock_guard lock(slot->mutex);
        slot->value = std::move(value);
        slot->done.notify_all();
    });
    std::unique_lock lock(slot->mutex);
    if (!slot->done.wait_for(lock, limit, [&] { return slot->value.has_value(); })) return std::nullopt;
    return std::move(slot->value);
}

template <class T>
std::optional<T> Worker::runWithin(std::chrono::milliseconds limit, std::function<T()> job) {
    const auto worker = start();
    auto result = worker->call<T>(std::move(job), limit);
    worker->retire();
    return result;
}

}  // namespace tb
