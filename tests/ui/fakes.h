#pragma once

#include "playback/core/media_layer.h"
#include "schedule/clock.h"

#include <cstdint>
#include <vector>

namespace tb::test {

// A clock the test sets; local time is UTC.
class FakeClock final : public Clock {
public:
    std::int64_t nowMs() override { return now; }
    TimeOfDay localTime(std::int64_t epochMs) override {
        return TimeOfDay::fromMilliseconds(std::chrono::milliseconds(epochMs));
    }
    void at(int h, int m, int s, int ms = 0) { now = day + ((h * 60LL + m) * 60 + s) * 1000 + ms; }

    static constexpr std::int64_t day = 20000LL * 86400 * 1000;  // some day in 2024
    std::int64_t now = day;
};

class RecordingVolume final : public OutputVolume {
public:
    void setVolume(std::uint32_t packed) override { set.push_back(packed); }
    std::vector<std::uint32_t> set;
};

}  // namespace tb::test
