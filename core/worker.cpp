#include "core/worker.h"

#include <thread>

namespace tb {
namespace {

// How many worker threads run. A worker let go on a hung file or device may still end
// after main() has returned and the process's statics are destroyed, so this is made
// once and never destroyed.
struct Running {
    std::mutex mutex;
    std::condition_variable changed;
    int count = 0;
};

Running& runningWorkers() {
    static Running* const instance = new Running;
    return *instance;
}

}  // namespace

std::shared_ptr<Worker> Worker::start() {
    std::shared_ptr<Worker> worker(new Worker);
    {
        std::lock_guard lock(runningWorkers().mutex);
        ++runningWorkers().count;
    }
    // The thread owns the worker until it ends, so a retired worker outlives its device.
    std::thread([self = worker] { self->run(); }).detach();
    return worker;
}

Worker::~Worker() = default;

void Worker::post(std::function<void()> job) {
    {
        std::lock_guard lock(mutex_);
        jobs_.push_back(std::move(job));
    }
    wake_.notify_one();
}

void Worker::postAt(Clock::time_point when, std::function<void()> job) {
    {
        std::lock_guard lock(mutex_);
        timed_.emplace(when, std::move(job));
    }
    wake_.notify_one();
}

void Worker::retire() {
    {
        std::lock_guard lock(mutex_);
        retired_ = true;
    }
    wake_.notify_one();
}

void Worker::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        std::function<void()> job;
        if (!jobs_.empty()) {
            job = std::move(jobs_.front());
            jobs_.pop_front();
        } else if (retired_) {
            // Timed jobs only make sense for a device in use. They are dropped here, so
            // that what they hold (a pipeline, perhaps its last reference) goes on this
            // thread and never on the one that retired the worker.
            auto dropped = std::move(timed_);
            timed_.clear();
            lock.unlock();
            dropped.clear();
            break;
        } else if (!timed_.empty() && timed_.begin()->first <= Clock::now()) {
            job = std::move(timed_.begin()->second);
            timed_.erase(timed_.begin());
        } else if (!timed_.empty()) {
            wake_.wait_until(lock, timed_.begin()->first);
            continue;
        } else {
            wake_.wait(lock);
            continue;
        }
        lock.unlock();
        try {
            job();
        } catch (...) {
            // A job reports through its own result; nothing may end the thread early.
        }
        job = nullptr;  // what the job captured is released here, off the caller's thread
        lock.lock();
    }
    Running& all = runningWorkers();
    std::lock_guard counted(all.mutex);
    --all.count;
    all.changed.notify_all();
}

int Worker::running() {
    std::lock_guard lock(runningWorkers().mutex);
    return runningWorkers().count;
}

bool Worker::waitForAll(std::chrono::milliseconds limit) {
    Running& all = runningWorkers();
    std::unique_lock lock(all.mutex);
    return all.changed.wait_for(lock, limit, [&] { return all.count == 0; });
}

}  // namespace tb
