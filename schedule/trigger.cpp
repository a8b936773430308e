#include "schedule/trigger.h"

#include "schedule/time_text.h"

namespace tb {

std::optional<std::int64_t> SecondTracker::next(std::int64_t nowSecond) {
    if (!last_ || nowSecond < *last_ || nowSecond - *last_ - 1 > kCatchUpSeconds) {
        last_ = nowSecond;
        return nowSecond;
    }
    if (*last_ == nowSecond) return std::nullopt;
    return last_ = *last_ + 1;
}

std::optional<std::size_t> firstDue(const std::vector<std::string>& times, const std::string& now) {
    for (std::size_t i = 0; i < times.size(); ++i) {
        if (timeTextsEqual(times[i], now)) return i;
    }
    return std::nullopt;
}

}  // namespace tb
