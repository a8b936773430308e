#include "core/schedule/time_text.h"

#include "core/util/utf8.h"

#include <optional>
#include <string_view>

namespace tb {
namespace {

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// A cursor over the text with the scanning rules of the read-back grammar: blanks may
// stand before every number, separator and marker.
class Scanner {
public:
    explicit Scanner(std::string_view text) : text_(text) {}

    std::size_t pos = 0;

    void skipBlanks() {
        while (pos < text_.size() && text_[pos] == ' ') ++pos;
    }
    bool atEnd() {
        skipBlanks();
        return pos == text_.size();
    }
    std::optional<int> number() {
        skipBlanks();
        int value = 0;
        std::size_t start = pos;
        while (pos < text_.size() && value < 1000 && text_[pos] >= '0' && text_[pos] <= '9') {
            value = value * 10 + (text_[pos] - '0');
            ++pos;
        }
        if (pos == start) return std::nullopt;
        return value;
    }
    // Matches `s` without regard to (ASCII) case.
    bool literal(std::string_view s) {
        if (s.empty()) return false;
        std::size_t save = pos;
        skipBlanks();
        if (text_.size() - pos >= s.size()) {
            bool same = true;
            for (std::size_t i = 0; i < s.size() && same; ++i) same = lower(text_[pos + i]) == lower(s[i]);
            if (same) {
                pos += s.size();
                return true;
            }
        }
        pos = save;
        return false;
    }

private:
    std::string_view text_;
};

enum class Marker { None, Am, Pm };

Marker scanMarker(Scanner& s, const LocaleSettings& settings) {
    if (settings.amString && s.literal(*settings.amString)) return Marker::Am;
    if (settings.pmString && s.literal(*settings.pmString)) return Marker::Pm;
    if (s.literal("AM")) return Marker::Am;
    if (s.literal("PM")) return Marker::Pm;
    return Marker::None;
}

std::string effectiveSeparator(const std::optional<std::string>& sep) {
    if (!sep) return ":";
    return utf8Characters(*sep) <= 1 ? *sep : ":";
}

std::optional<TimeOfDay> scanTime(Scanner& s, const LocaleSettings& settings) {
    const std::string sep = effectiveSeparator(settings.timeSeparator);
    Marker marker = scanMarker(s, settings);
    const auto hour = s.number();
    if (!hour) return std::nullopt;
    int minute = 0, second = 0, ms = 0;
    if (s.literal(sep)) {
        const auto m = s.number();
        if (!m) return std::nullopt;
        minute = *m;
        if (s.literal(sep)) {
            const auto sec = s.number();
            if (!sec) return std::nullopt;
            second = *sec;
            if (s.literal(settings.decimalSeparator)) {
                const auto f = s.number();
                if (!f) return std::nullopt;
                ms = *f;
            }
        }
    }
    if (marker == Marker::None) marker = scanMarker(s, settings);
    if (!s.atEnd()) return std::nullopt;

    int h = *hour;
    if (marker != Marker::None) {
        if (h < 1 || h > 12) return std::nullopt;
        if (h == 12) h = 0;
        if (marker == Marker::Pm) h += 12;
    }
    if (h >= 24 || minute >= 60 || second >= 60 || ms >= 1000) return std::nullopt;
    return TimeOfDay{h, minute, second, ms};
}

bool validDate(int year, int month, int day) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
    static constexpr int days[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    const int limit = month == 2 && !leap ? 28 : days[month - 1];
    return day <= limit;
}

// A date in the locale's short date order. Only whether one is there matters: the
// time of day is all that is used. With two numbers the year is left open, so a
// 29 February stands.
bool scanDate(Scanner& s, const LocaleSettings& settings) {
    const auto a = s.number();
    if (!a || !s.literal(settings.dateSeparator)) return false;
    const auto b = s.number();
    if (!b) return false;
    std::optional<int> c;
    const std::size_t afterTwo = s.pos;
    if (s.literal(settings.dateSeparator)) {
        c = s.number();
        if (!c) s.pos = afterTwo;
    }
    if (!c) {
        if (settings.dateOrder == DateOrder::DayMonthYear) return validDate(2000, *b, *a);
        return validDate(2000, *a, *b);
    }
    auto year = [](int y) { return y < 100 ? y + 2000 : y; };
    switch (settings.dateOrder) {
        case DateOrder::MonthDayYear: return validDate(year(*c), *a, *b);
        case DateOrder::DayMonthYear: return validDate(year(*c), *b, *a);
        case DateOrder::YearMonthDay: return validDate(year(*a), *b, *c);
    }
    return false;
}

}  // namespace

TimeOfDay readTimeText(const std::string& text, const LocaleSettings& settings) {
    // A text that reads as a time is one, also where the time and the date separator
    // are the same (fi_FI: "08.05.09" would otherwise be a date, and midnight).
    {
        Scanner s(text);
        if (auto t = scanTime(s, settings)) return *t;
    }
    Scanner s(text);
    if (scanDate(s, settings)) {
        if (s.atEnd()) return TimeOfDay{};
        if (auto t = scanTime(s, settings)) return *t;
    }
    throw ConvertError("''" + text + "'' is not a valid date and time");
}

}  // namespace tb
