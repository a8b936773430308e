#pragma once

#include "core/playback/media_layer.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

typedef struct _GstElement GstElement;

namespace tb::test {

// Runs the calls posted to the user-interface thread when the test pumps them.
class ManualPoster final : public Poster {
public:
    void post(std::function<void()> call) override;
    // Runs what is queued; returns how many calls ran. A call that throws is recorded,
    // as the program's error box would show it.
    int drain();
    // Pumps until `done` holds or the time is up; true when it holds.
    bool pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);
    // Pumps for a while.
    void pumpFor(std::chrono::milliseconds span);
    const std::vector<std::string>& errors() const { return errors_; }

private:
    std::vector<std::string> errors_;
    std::mutex mutex_;
    std::condition_variable posted_;
    std::deque<std::function<void()>> calls_;
};

// An audio sink that keeps what it is given, in real time, as 16-bit mono at 44.1 kHz.
class RecordingSink final {
public:
    static constexpr int kRate = 44100;
    struct Chunk {
        std::chrono::steady_clock::time_point arrived;
        std::vector<short> samples;
    };

    // A new sink element for one device; everything it renders lands here.
    GstElement* make();
    std::vector<short> samples() const;
    std::vector<Chunk> chunks() const;
    void clear();
    double peak() const;

private:
    static void onHandoff(GstElement*, void* buffer, void* pad, void* self);
    mutable std::mutex mutex_;
    std::vector<Chunk> chunks_;
};

}  // namespace tb::test
