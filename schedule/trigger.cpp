#include "schedule/trigger.h"

namespace tb {

std::optional<std::int64_t> SecondTracker::next(std::int64_t nowSecond) {
    if (!last_ || nowSecond < *last_ || nowSecond - *last_ - 1 > kCatchUpSeconds) {
        last_ = nowSecond;
        return nowSecond;
    }
    if (*last_ == nowSecond) return std::nullopt;
    return last_ = *last_ + 1;
}

std::optional<BellSequencer::Second> BellSequencer::next(std::int64_t nowMs, const LongTimeFormat& format) {
    const auto second = seconds_.next(floorSeconds(nowMs));
    if (!second) return std::nullopt;
    std::string text = format.render(clock_.localTime(*second * 1000));
    auto row = schedule_.firstDue(text);
    if (row && !firstRinging(*row, text)) row.reset();
    return Second{*second, std::move(text), row};
}

bool BellSequencer::firstRinging(std::size_t row, const std::string& timeText) {
    const std::int64_t now = clock_.steadyMs();
    std::erase_if(rung_, [&](const auto& entry) { return now - entry.second.steadyMs >= kRingOnceWithinMs; });
    const auto it = rung_.find(row);
    if (it != rung_.end() && it->second.timeText == timeText) return false;
    rung_[row] = Rung{timeText, now};
    return true;
}

std::optional<std::size_t> BellSequencer::dueWithin(std::int64_t nowMs, int seconds,
                                                   const LongTimeFormat& format) const {
    if (schedule_.times().empty()) return std::nullopt;
    const std::int64_t now = floorSeconds(nowMs);
    for (std::int64_t s = now + 1; s <= now + seconds; ++s) {
        if (auto row = schedule_.firstDue(format.render(clock_.localTime(s * 1000)))) return row;
    }
    return std::nullopt;
}

}  // namespace tb
