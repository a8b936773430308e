#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tb {

// Decides which wall-clock seconds the schedule is evaluated for, so that every second
// of the day is evaluated once and in order however the ticks fall: a tick that comes
// twice in one second evaluates nothing new, a tick after a short stall also evaluates
// the seconds it missed, and a jump of the clock starts afresh from the second shown.
class SecondTracker final {
public:
    // Seconds missed by a stall that are still evaluated; a longer gap (a resume from
    // sleep, a clock set forward) evaluates only the current second.
    static constexpr std::int64_t kCatchUpSeconds = 5;

    // The next second to evaluate, given the current one, or nothing when all are done.
    // Call until it gives nothing; each second it gives counts as evaluated.
    std::optional<std::int64_t> next(std::int64_t nowSecond);

private:
    std::optional<std::int64_t> last_;
};

// Row of the first time text equal to `now`, if any.
std::optional<std::size_t> firstDue(const std::vector<std::string>& times, const std::string& now);

}  // namespace tb
