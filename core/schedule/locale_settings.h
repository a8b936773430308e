#pragma once

#include <optional>
#include <string>

namespace tb {

enum class DateOrder { MonthDayYear, DayMonthYear, YearMonthDay };

// The regional settings that time texts are made and read with. An optional that is
// empty stands for a value the platform could not supply.
struct LocaleSettings {
    bool twelveHour = false;    // hours shown on the 12-hour clock, with a marker
    bool leadingZero = false;   // the hour has two digits
    bool markerBefore = false;  // the marker stands before the time
    std::optional<std::string> amString;
    std::optional<std::string> pmString;
    std::optional<std::string> timeSeparator;

    // Only for reading a time text back.
    DateOrder dateOrder = DateOrder::MonthDayYear;
    std::string dateSeparator = "/";
    std::string decimalSeparator = ".";

    bool operator==(const LocaleSettings&) const = default;
};

// Where the settings come from: the C library's locale on POSIX, the user's regional
// settings on Windows, a fixed value in tests.
class LocaleSettingsSource {
public:
    virtual ~LocaleSettingsSource() = default;
    // Reads the user's current settings; called at start and whenever they change.
    virtual LocaleSettings read() = 0;
    // Takes up the user's settings anew before the next read (after a change of them).
    virtual void refresh() {}
};

class FixedLocaleSource final : public LocaleSettingsSource {
public:
    explicit FixedLocaleSource(LocaleSettings settings) : settings_(std::move(settings)) {}
    LocaleSettings read() override { return settings_; }
    void set(LocaleSettings settings) { settings_ = std::move(settings); }

private:
    LocaleSettings settings_;
};

// Derives the settings from strftime-style formats as the C library describes them:
// `timeFormat` is the locale's time format (T_FMT), `ampmFormat` its 12-hour time
// format (T_FMT_AMPM), `dateFormat` its date format (D_FMT).
LocaleSettings settingsFromFormats(const std::string& timeFormat, const std::string& ampmFormat,
                                   const std::string& dateFormat, const std::string& amString,
                                   const std::string& pmString, const std::string& decimalSeparator);

}  // namespace tb
