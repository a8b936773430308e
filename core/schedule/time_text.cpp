#include "core/schedule/time_text.h"

#include "core/util/utf8.h"

namespace tb {
namespace {

std::string twoDigits(int v) {
    std::string s = std::to_string(v);
    return s.size() < 2 ? "0" + s : s;
}

}  // namespace

TimeOfDay TimeOfDay::fromMilliseconds(std::chrono::milliseconds sinceMidnight) {
    constexpr long long day = 24LL * 3600 * 1000;
    long long ms = sinceMidnight.count() % day;
    if (ms < 0) ms += day;
    TimeOfDay t;
    t.millisecond = static_cast<int>(ms % 1000);
    t.second = static_cast<int>(ms / 1000 % 60);
    t.minute = static_cast<int>(ms / 60000 % 60);
    t.hour = static_cast<int>(ms / 3600000);
    return t;
}

std::chrono::milliseconds TimeOfDay::sinceMidnight() const {
    return std::chrono::milliseconds(((hour * 60LL + minute) * 60 + second) * 1000 + millisecond);
}

LongTimeFormat::LongTimeFormat(LocaleSettings settings) : settings_(std::move(settings)) {
    // A 12-hour clock whose AM and PM strings are both empty would show 8:05 and 20:05
    // alike, and a bell would ring twice a day: such a locale gets the 24-hour clock.
    if (settings_.twelveHour && settings_.amString && settings_.pmString && settings_.amString->empty() &&
        settings_.pmString->empty()) {
        settings_.twelveHour = false;
    }
    const std::string hour = settings_.leadingZero ? "hh" : "h";
    if (settings_.twelveHour) {
        pattern_ = settings_.markerBefore ? "AMPM " + hour + ":mm:ss" : hour + ":mm:ss AMPM";
    } else {
        pattern_ = hour + ":mm:ss";
    }

    // One character is used as it is, an empty one renders nothing, anything longer
    // (or nothing known) falls back to ":".
    if (!settings_.timeSeparator) {
        separator_.assign(1, ':');
    } else if (settings_.timeSeparator->empty() || utf8Characters(*settings_.timeSeparator) == 1) {
        separator_ = *settings_.timeSeparator;
    } else {
        separator_.assign(1, ':');
    }
    am_ = settings_.amString.value_or("am");
    pm_ = settings_.pmString.value_or("pm");
}

std::string LongTimeFormat::render(const TimeOfDay& time) const {
    int hour = time.hour;
    if (settings_.twelveHour) {
        hour %= 12;
        if (hour == 0) hour = 12;
    }
    std::string text = settings_.leadingZero ? twoDigits(hour) : std::to_string(hour);
    text += separator_;
    text += twoDigits(time.minute);
    text += separator_;
    text += twoDigits(time.second);
    if (settings_.twelveHour) {
        const std::string& marker = time.hour < 12 ? am_ : pm_;
        text = settings_.markerBefore ? marker + " " + text : text + " " + marker;
    }
    return text;
}

}  // namespace tb
