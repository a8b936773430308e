#include "schedule/clock.h"

#include <chrono>

namespace tb {

// The parts every platform shares; the local time of day is the platform's own
// (clock_posix.cpp, clock_win32.cpp).
std::int64_t SystemClock::nowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

std::int64_t SystemClock::steadyMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace tb
