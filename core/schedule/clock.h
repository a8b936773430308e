#pragma once

#include "core/schedule/time_text.h"

#include <cstdint>
#include <ctime>

namespace tb {

// Wall-clock time: milliseconds since the epoch, and the local time of day they fall on;
// and a clock that only ever goes forward, whatever is done to the wall clock.
class Clock {
public:
    virtual ~Clock() = default;
    virtual std::int64_t nowMs() = 0;
    virtual TimeOfDay localTime(std::int64_t epochMs) = 0;
    virtual std::int64_t steadyMs() = 0;
};

// The system's real-time clock and time zone (clock_posix.cpp, clock_win32.cpp).
class SystemClock final : public Clock {
public:
    std::int64_t nowMs() override;
    TimeOfDay localTime(std::int64_t epochMs) override;
    std::int64_t steadyMs() override;
};

// The local calendar time of a second since the epoch, in the system's time zone as it
// is now (per platform); false where the system cannot say.
bool localCalendar(std::int64_t epochSeconds, std::tm& local);

}  // namespace tb
