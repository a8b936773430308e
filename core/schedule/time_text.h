#pragma once

#include "core/schedule/locale_settings.h"

#include <chrono>
#include <stdexcept>
#include <string>

namespace tb {

struct TimeOfDay {
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;

    static TimeOfDay fromMilliseconds(std::chrono::milliseconds sinceMidnight);
    std::chrono::milliseconds sinceMidnight() const;
    bool operator==(const TimeOfDay&) const = default;
};

// A time text that cannot be read back.
class ConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The long time format: a pattern such as "h:mm:ss AMPM" built from the regional settings,
// and the separator and marker texts that it renders with.
class LongTimeFormat final {
public:
    explicit LongTimeFormat(LocaleSettings settings);

    const std::string& pattern() const { return pattern_; }
    const LocaleSettings& settings() const { return settings_; }

    // Whole seconds only: milliseconds are dropped.
    std::string render(const TimeOfDay& time) const;

private:
    LocaleSettings settings_;
    std::string pattern_;
    std::string separator_;
    std::string am_;
    std::string pm_;
};

// Time texts are equal when they are the same characters: no trimming, no case folding.
inline bool timeTextsEqual(const std::string& a, const std::string& b) { return a == b; }

// Reads a time text (optionally preceded by a date) back into a time of day. Pass the
// settings of the format that made the text (LongTimeFormat::settings).
// Throws ConvertError "''<text>'' is not a valid date and time".
TimeOfDay readTimeText(const std::string& text, const LocaleSettings& settings);

}  // namespace tb
