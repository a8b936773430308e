#include "core/schedule/clock.h"

#include <ctime>

namespace tb {

bool localCalendar(std::int64_t epochSeconds, std::tm& local) {
    const auto t = static_cast<std::time_t>(epochSeconds);
    // The C runtime keeps the zone it read last; reading it again each time makes a
    // change of the system's zone (or of TZ) count from the next second on.
    ::_tzset();
    return ::localtime_s(&local, &t) == 0;
}

}  // namespace tb
