#include "core/schedule/clock.h"

#include <ctime>

namespace tb {

bool localCalendar(std::int64_t epochSeconds, std::tm& local) {
    const auto t = static_cast<std::time_t>(epochSeconds);
    // localtime_r keeps the zone it first read; a change of the system's zone (or of
    // TZ) counts from the next second on.
    ::tzset();
    return localtime_r(&t, &local) != nullptr;
}

}  // namespace tb
