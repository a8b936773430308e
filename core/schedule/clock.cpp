#include "core/schedule/clock.h"

#include <chrono>
#include <ctime>

namespace tb {

// The parts every platform shares; the local calendar time is the platform's own
// (clock_posix.cpp, clock_win32.cpp).
std::int64_t SystemClock::nowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

std::int64_t SystemClock::steadyMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

TimeOfDay SystemClock::localTime(std::int64_t epochMs) {
    std::int64_t seconds = epochMs / 1000;
    std::int64_t ms = epochMs % 1000;
    if (ms < 0) {
        ms += 1000;
        --seconds;
    }
    std::tm local{};
    if (!localCalendar(seconds, local)) {
        // Outside the runtime's range (before 1970 on Windows): the time of day in UTC.
        const auto day = ((seconds % 86400) + 86400) % 86400;
        return TimeOfDay{static_cast<int>(day / 3600), static_cast<int>(day / 60 % 60), static_cast<int>(day % 60),
                         static_cast<int>(ms)};
    }
    return TimeOfDay{local.tm_hour, local.tm_min, local.tm_sec == 60 ? 59 : local.tm_sec, static_cast<int>(ms)};
}

}  // namespace tb
