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
    // localtime_r keeps the zone it first read; a change of the system's zone (or of
    // TZ) counts from the next second on.
    ::tzset();
    std::tm local{};
    localtime_r(&t, &local);
    return TimeOfDay{local.tm_hour, local.tm_min, local.tm_sec == 60 ? 59 : local.tm_sec, static_cast<int>(ms)};
}

}  // namespace tb
