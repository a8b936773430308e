#include "core/schedule/trigger.h"

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

std::vector<std::size_t> rowsThatNeverComeDue(const std::vector<std::string>& times, const LongTimeFormat& format) {
    std::vector<std::size_t> rows;
    for (std::size_t i = 0; i < times.size(); ++i) {
        bool due = false;
        try {
            due = format.render(readTimeText(times[i], format.settings())) == times[i];
        } catch (const ConvertError&) {
        }
        if (!due) rows.push_back(i);
    }
    return rows;
}

std::string neverDueNotice(const std::vector<std::size_t>& rows, const std::vector<std::string>& times,
                           const std::string& example) {
    constexpr std::size_t kNamed = 3;
    const bool one = rows.size() == 1;
    std::string text = one ? "One entry of the schedule never rings: its time is"
                           : std::to_string(rows.size()) + " entries of the schedule never ring: their times are";
    text += " not written as this computer writes a time of day (now " + example + ").";
    for (std::size_t k = 0; k < rows.size() && k < kNamed; ++k) {
        text += "\nLine " + std::to_string(rows[k] + 1) + ": \"" + times[rows[k]] + "\"";
    }
    if (rows.size() > kNamed) text += "\n... and " + std::to_string(rows.size() - kNamed) + " more.";
    text += "\nChange their times in the playlist editor.";
    return text;
}

}  // namespace tb
