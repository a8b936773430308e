#pragma once

#include <atomic>
#include <chrono>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace tb::test {

// Records a PulseAudio source (a null sink's monitor) as 16-bit mono at 44.1 kHz and
// knows when each sample was captured.
class PulseRecorder final {
public:
    static constexpr int kRate = 44100;

    explicit PulseRecorder(const std::string& source);
    ~PulseRecorder();
    PulseRecorder(const PulseRecorder&) = delete;
    PulseRecorder& operator=(const PulseRecorder&) = delete;

    bool ok() const { return ok_; }
    const std::string& error() const { return error_; }

    std::vector<short> samples() const;
    // Capture time of the first sample louder than `level` (of full scale) at or after `from`.
    std::optional<std::chrono::system_clock::time_point> onset(double level,
                                                               std::chrono::system_clock::time_point from) const;
    // Index of the first sample louder than `level` captured at or after `from`.
    std::optional<std::size_t> onsetIndex(double level, std::chrono::system_clock::time_point from) const;
    std::chrono::system_clock::time_point timeOf(std::size_t index) const;
    // `count` samples from `first` on (fewer at the end of the recording).
    std::vector<short> slice(std::size_t first, std::size_t count) const;

private:
    void run();

    void* stream_ = nullptr;
    bool ok_ = false;
    std::string error_;
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    std::vector<short> samples_;
    // When the last sample of each read was captured: the read's time less the
    // server's latency. A read can only be late, so a stamp errs late, never early.
    struct Read {
        std::size_t end;
        std::chrono::system_clock::time_point lastCaptured;
    };
    std::vector<Read> reads_;
    std::thread thread_;
};

// The null sink the test script starts, or empty when the tests run without it.
std::string testSink();

}  // namespace tb::test
