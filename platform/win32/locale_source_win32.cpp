#include "platform/win32/locale_source_win32.h"

#include <iterator>

#include <windows.h>

namespace tb {
namespace {

// A value of a locale (nullptr: the user's default) in UTF-8; nothing when it cannot be
// queried.
std::optional<std::string> info(const wchar_t* locale, LCTYPE type) {
    wchar_t buffer[128];
    const int n = ::GetLocaleInfoEx(locale, type, buffer, static_cast<int>(std::size(buffer)));
    if (n <= 0) return std::nullopt;
    const int length = n - 1;  // without the terminating zero
    if (length == 0) return std::string();
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, buffer, length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) ::WideCharToMultiByte(CP_UTF8, 0, buffer, length, out.data(), size, nullptr, nullptr);
    return out;
}

// A flag that cannot be read counts as 0.
int flag(const wchar_t* locale, LCTYPE type) {
    const auto text = info(locale, type);
    if (!text || text->empty()) return 0;
    try {
        return std::stoi(*text);
    } catch (...) {
        return 0;
    }
}

LocaleSettings readSettings(const wchar_t* locale) {
    LocaleSettings s;
    s.twelveHour = flag(locale, LOCALE_ITIME) == 0;
    s.leadingZero = flag(locale, LOCALE_ITLZERO) != 0;
    s.markerBefore = flag(locale, LOCALE_ITIMEMARKPOSN) != 0;
    s.amString = info(locale, LOCALE_S1159);
    s.pmString = info(locale, LOCALE_S2359);
    s.timeSeparator = info(locale, LOCALE_STIME);
    switch (flag(locale, LOCALE_IDATE)) {
        case 1: s.dateOrder = DateOrder::DayMonthYear; break;
        case 2: s.dateOrder = DateOrder::YearMonthDay; break;
        default: s.dateOrder = DateOrder::MonthDayYear; break;
    }
    if (auto separator = info(locale, LOCALE_SDATE)) s.dateSeparator = *separator;
    if (auto decimal = info(locale, LOCALE_SDECIMAL)) s.decimalSeparator = *decimal;
    return s;
}

}  // namespace

WindowsLocaleSource::WindowsLocaleSource() : settings_(readSettings(LOCALE_NAME_USER_DEFAULT)) {}

LocaleSettings WindowsLocaleSource::ofLocale(const std::wstring& name) { return readSettings(name.c_str()); }

LocaleSettings WindowsLocaleSource::read() { return settings_; }

void WindowsLocaleSource::refresh() { settings_ = readSettings(LOCALE_NAME_USER_DEFAULT); }

}  // namespace tb
