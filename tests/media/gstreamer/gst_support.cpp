#include "tests/media/gstreamer/gst_support.h"

#include <gst/gst.h>

#include <cmath>
#include <cstring>
#include <cstdlib>
#include <thread>

namespace tb::test {

void ManualPoster::post(std::function<void()> call) {
    {
        std::lock_guard lock(mutex_);
        calls_.push_back(std::move(call));
    }
    posted_.notify_all();
}

int ManualPoster::drain() {
    int ran = 0;
    for (;;) {
        std::function<void()> call;
        {
            std::lock_guard lock(mutex_);
            if (calls_.empty()) return ran;
            call = std::move(calls_.front());
            calls_.pop_front();
        }
        try {
            call();
        } catch (const std::exception& e) {
            errors_.push_back(e.what());
        }
        ++ran;
    }
}

bool ManualPoster::pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        drain();
        if (done()) return true;
        std::unique_lock lock(mutex_);
        if (posted_.wait_until(lock, deadline, [&] { return !calls_.empty(); })) continue;
        lock.unlock();
        drain();
        return done();
    }
}

void ManualPoster::pumpFor(std::chrono::milliseconds span) {
    pumpUntil([] { return false; }, span);
}

GstElement* RecordingSink::make() {
    GstElement* bin = gst_parse_bin_from_description(
        "audioconvert ! audioresample ! audio/x-raw,format=S16LE,rate=44100,channels=1 ! "
        "fakesink name=record sync=true signal-handoffs=true",
        TRUE, nullptr);
    GstElement* sink = gst_bin_get_by_name(GST_BIN(bin), "record");
    g_signal_connect(sink, "handoff", G_CALLBACK(&RecordingSink::onHandoff), this);
    gst_object_unref(sink);
    return bin;
}

void RecordingSink::onHandoff(GstElement*, void* buffer, void*, void* self) {
    auto* sink = static_cast<RecordingSink*>(self);
    GstMapInfo map;
    if (!gst_buffer_map(static_cast<GstBuffer*>(buffer), &map, GST_MAP_READ)) return;
    Chunk chunk{std::chrono::steady_clock::now(), {}};
    chunk.samples.resize(map.size / 2);
    std::memcpy(chunk.samples.data(), map.data, chunk.samples.size() * 2);
    gst_buffer_unmap(static_cast<GstBuffer*>(buffer), &map);
    std::lock_guard lock(sink->mutex_);
    sink->chunks_.push_back(std::move(chunk));
}

std::vector<short> RecordingSink::samples() const {
    std::lock_guard lock(mutex_);
    std::vector<short> out;
    for (const auto& c : chunks_) out.insert(out.end(), c.samples.begin(), c.samples.end());
    return out;
}

std::vector<RecordingSink::Chunk> RecordingSink::chunks() const {
    std::lock_guard lock(mutex_);
    return chunks_;
}

void RecordingSink::clear() {
    std::lock_guard lock(mutex_);
    chunks_.clear();
}

double RecordingSink::peak() const {
    int peak = 0;
    for (short s : samples()) peak = std::max(peak, std::abs(static_cast<int>(s)));
    return peak / 32768.0;
}

}  // namespace tb::test
