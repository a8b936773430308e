#include "schedule/clock.h"

#include <chrono>
#include <ctime>

namespace tb {

TimeOfDay SystemClock::localTime(std::int64_t epochMs) {
    std::int64_t seconds = epochMs / 1000;
    std::int64_t ms = epochMs % 1000;
    if (ms < 0) {
        ms += 1000;
        --seconds;
    }
    const auto t = static_cast<std::time_t>(seconds);
    // The C runtime keeps the zone it read last; reading it again each time makes a
    // change of the system's zone (or of TZ) count from the next second on.
    ::_tzset();
    std::tm local{};
    if (::localtime_s(&local, &t) != 0) {
        // Outside the runtime's range (before 1970): the time of day in UTC.
        const auto day = ((seconds % 86400) + 86400) % 86400;
        return TimeOfDay{static_cast<int>(day / 3600), static_cast<int>(day / 60 % 60), static_cast<int>(day % 60),
                         static_cast<int>(ms)};
    }
    return TimeOfDay{local.tm_hour, local.tm_min, local.tm_sec == 60 ? 59 : local.tm_sec, static_cast<int>(ms)};
}

}  // namespace tb
