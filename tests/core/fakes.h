#pragma once

#include "core/desktop/autostart.h"
#include "core/playback/media_layer.h"
#include "core/schedule/clock.h"
#include "core/schedule/locale_settings.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tb::test {

// Regional settings with a 12-hour clock and the markers "AM" and "PM".
inline LocaleSettings twelveHour() {
    LocaleSettings s;
    s.twelveHour = true;
    s.amString = "AM";
    s.pmString = "PM";
    return s;
}

// A clock the test sets; local time is UTC.
class FakeClock final : public Clock {
public:
    std::int64_t nowMs() override { return now; }
    TimeOfDay localTime(std::int64_t epochMs) override {
        return TimeOfDay::fromMilliseconds(std::chrono::milliseconds(epochMs));
    }
    std::int64_t steadyMs() override { return steady; }
    // Sets the wall clock; the steady clock moves on by as much, unless the wall clock
    // was set back (it goes back by `steadyStep` then, as after a correction).
    void at(int h, int m, int s, int ms = 0) {
        const std::int64_t next = day + ((h * 60LL + m) * 60 + s) * 1000 + ms;
        steady += next > now ? next - now : steadyStep;
        now = next;
    }

    static constexpr std::int64_t day = 20000LL * 86400 * 1000;  // some day in 2024
    std::int64_t now = day;
    std::int64_t steady = 1'000'000;
    std::int64_t steadyStep = 1000;
};

class RecordingVolume final : public OutputVolume {
public:
    void setVolume(std::uint32_t packed) override { set.push_back(packed); }
    std::vector<std::uint32_t> set;
};

// The start-at-logon registration in memory (the real stores are tested on their own).
class MemoryAutostart final : public AutostartStore {
public:
    std::string read() override { return registered.string(); }
    void write(const std::filesystem::path& executable) override {
        if (refuseWrites) throw AutostartError(std::string("Failed to set data for '") + kAutostartName + "'");
        registered = executable;
    }
    void remove() noexcept override { registered.clear(); }

    std::filesystem::path registered;
    bool refuseWrites = false;
};

}  // namespace tb::test
