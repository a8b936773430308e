#include "tests/media/gstreamer/pulse_recorder.h"

#include <pulse/error.h>
#include <pulse/simple.h>

#include <algorithm>
#include <cstdlib>

namespace tb::test {

std::string testSink() {
    const char* sink = std::getenv("TOLLBROOK_TEST_SINK");
    return sink != nullptr ? sink : "";
}

PulseRecorder::PulseRecorder(const std::string& source) {
    pa_sample_spec spec{PA_SAMPLE_S16LE, kRate, 1};
    pa_buffer_attr attr{};
    attr.maxlength = static_cast<std::uint32_t>(-1);
    attr.fragsize = 441 * 2;  // 10 ms
    int error = 0;
    stream_ = pa_simple_new(nullptr, "tollbrook-tests", PA_STREAM_RECORD, source.c_str(), "record", &spec, nullptr,
                            &attr, &error);
    if (stream_ == nullptr) {
        error_ = pa_strerror(error);
        return;
    }
    ok_ = true;
    thread_ = std::thread([this] { run(); });
    // A new record stream delivers its first second or so late and in bursts; what it
    // brings after that comes at the pace of the sink.
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    std::lock_guard lock(mutex_);
    samples_.clear();
    reads_.clear();
}

PulseRecorder::~PulseRecorder() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (stream_ != nullptr) pa_simple_free(static_cast<pa_simple*>(stream_));
}

void PulseRecorder::run() {
    auto* s = static_cast<pa_simple*>(stream_);
    std::vector<short> buffer(441);
    while (!stop_) {
        int error = 0;
        if (pa_simple_read(s, buffer.data(), buffer.size() * sizeof(short), &error) < 0) return;
        const auto now = std::chrono::system_clock::now();
        const pa_usec_t latency = pa_simple_get_latency(s, &error);
        std::lock_guard lock(mutex_);
        samples_.insert(samples_.end(), buffer.begin(), buffer.end());
        reads_.push_back({samples_.size(), std::chrono::time_point_cast<std::chrono::system_clock::duration>(
                                               now - std::chrono::microseconds(latency))});
    }
}

std::chrono::system_clock::time_point PulseRecorder::timeOf(std::size_t index) const {
    const auto it = std::upper_bound(reads_.begin(), reads_.end(), index,
                                     [](std::size_t i, const Read& r) { return i < r.end; });
    const Read& r = it == reads_.end() ? reads_.back() : *it;
    const auto after = static_cast<long long>(r.end) - 1 - static_cast<long long>(index);
    return r.lastCaptured - std::chrono::microseconds(after * 1000000 / kRate);
}

std::vector<short> PulseRecorder::samples() const {
    std::lock_guard lock(mutex_);
    return samples_;
}

std::optional<std::size_t> PulseRecorder::onsetIndex(double level, std::chrono::system_clock::time_point from) const {
    const int threshold = static_cast<int>(level * 32768);
    std::lock_guard lock(mutex_);
    for (std::size_t i = 0; i < samples_.size(); ++i) {
        if (std::abs(static_cast<int>(samples_[i])) > threshold && timeOf(i) >= from) return i;
    }
    return std::nullopt;
}

std::optional<std::chrono::system_clock::time_point> PulseRecorder::onset(
    double level, std::chrono::system_clock::time_point from) const {
    const auto index = onsetIndex(level, from);
    if (!index) return std::nullopt;
    std::lock_guard lock(mutex_);
    return timeOf(*index);
}

std::vector<short> PulseRecorder::slice(std::size_t first, std::size_t count) const {
    std::lock_guard lock(mutex_);
    if (first >= samples_.size()) return {};
    const auto end = samples_.begin() + static_cast<long>(std::min(samples_.size(), first + count));
    return std::vector<short>(samples_.begin() + static_cast<long>(first), end);
}

}  // namespace tb::test
