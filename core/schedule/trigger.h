#pragma once

#include "core/schedule/clock.h"
#include "core/schedule/schedule_model.h"
#include "core/schedule/time_text.h"

#include <cstddef>
#include <cstdint>
#include <map>
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

// The schedule's decision for each second: its time text and the row that comes due
// then, if any. The main window shows the text and starts the row.
//
// A row that came due does not come due again for the same time text while the wall
// clock passes that second once more (set back by a small correction) within ten
// minutes of steady time; after a longer while, as after the clock went back an hour,
// it rings again.
class BellSequencer final {
public:
    static constexpr std::int64_t kRingOnceWithinMs = 10 * 60 * 1000;

    struct Second {
        std::int64_t epochSecond;
        std::string timeText;
        std::optional<std::size_t> dueRow;
    };

    BellSequencer(const ScheduleModel& schedule, Clock& clock) : schedule_(schedule), clock_(clock) {}

    // The next second to act on at wall-clock time `nowMs`, or nothing when every
    // second up to now has been decided. Each second given counts as done, so a bell
    // that fails does not hold up the seconds after it.
    std::optional<Second> next(std::int64_t nowMs, const LongTimeFormat& format);

    // After the timer was off: seconds that passed meanwhile are not caught up on.
    void restart() { seconds_ = SecondTracker{}; }

    // The row that comes due in one of the `seconds` seconds after the one `nowMs` falls
    // in, the soonest first: the bell that can be got ready now.
    std::optional<std::size_t> dueWithin(std::int64_t nowMs, int seconds, const LongTimeFormat& format) const;

private:
    // Whether `row` may ring for `timeText` now, by steady time; remembers it if so.
    bool firstRinging(std::size_t row, const std::string& timeText);

    struct Rung {
        std::string timeText;
        std::int64_t steadyMs;
    };

    const ScheduleModel& schedule_;
    Clock& clock_;
    SecondTracker seconds_;
    std::map<std::size_t, Rung> rung_;  // rows that came due in the last ten minutes
};

// Rows whose time text the format never renders, so that they never come due: a text
// that does not read back as a time, or reads back as one the format shows otherwise
// (written under other regional settings, with a stray blank, a leading zero).
std::vector<std::size_t> rowsThatNeverComeDue(const std::vector<std::string>& times, const LongTimeFormat& format);

// What staff are told about them: how many, the first few with their texts, and how
// the time of day is written here (`example`, such as the clock shows it now).
std::string neverDueNotice(const std::vector<std::size_t>& rows, const std::vector<std::string>& times,
                           const std::string& example);

// How long the schedule timer waits from `nowMs` for its next tick: until just after
// the next wall-clock second begins, so that ticks neither drift across seconds nor
// come twice in one. Every front end's timer arms itself with this.
inline constexpr int kTickAfterBoundaryMs = 1;
constexpr int msUntilNextTick(std::int64_t nowMs) {
    const std::int64_t into = ((nowMs % 1000) + 1000) % 1000;
    return static_cast<int>(1000 - into) + kTickAfterBoundaryMs;
}

// The second a wall-clock time in milliseconds falls in.
inline std::int64_t floorSeconds(std::int64_t ms) { return ms >= 0 ? ms / 1000 : (ms - 999) / 1000; }

}  // namespace tb
