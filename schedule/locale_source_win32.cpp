#include "schedule/locale_settings.h"

#include <iterator>

#include <windows.h>

namespace tb {
namespace {

// A value of the user's default locale in UTF-8; nothing when it cannot be queried.
std::optional<std::string> info(LCTYPE type) {
    wchar_t buffer[128];
    const int n = ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, type, buffer, static_cast<int>(std::size(buffer)));
    if (n <= 0) return std::nullopt;
    const int length = n - 1;  // without the terminating zero
    if (length == 0) return std::string();
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, buffer, length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) ::WideCharToMultiByte(CP_UTF8, 0, buffer, length, out.data(), size, nullptr, nullptr);
    return out;
}

// A flag that cannot be read counts as 0.
int flag(LCTYPE type) {
    const auto text = info(type);
    if (!text || text->empty()) return 0;
    try {
        return std::stoi(*text);
    } catch (...) {
        return 0;
    }
}

LocaleSettings readUserSettings() {
    LocaleSettings s;
    s.twelveHour = flag(LOCALE_ITIME) == 0;
    s.leadingZero = flag(LOCALE_ITLZERO) != 0;
    s.markerBefore = flag(LOCALE_ITIMEMARKPOSN) != 0;
    s.amString = info(LOCALE_S1159);
    s.pmString = info(LOCALE_S2359);
    s.timeSeparator = info(LOCALE_STIME);
    switch (flag(LOCALE_IDATE)) {
        case 1: s.dateOrder = DateOrder::DayMonthYear; break;
        case 2: s.dateOrder = DateOrder::YearMonthDay; break;
        default: s.dateOrder = DateOrder::MonthDayYear; break;
    }
    if (auto separator = info(LOCALE_SDATE)) s.dateSeparator = *separator;
    if (auto decimal = info(LOCALE_SDECIMAL)) s.decimalSeparator = *decimal;
    return s;
}

}  // namespace

WindowsLocaleSource::WindowsLocaleSource() : settings_(readUserSettings()) {}

LocaleSettings WindowsLocaleSource::read() { return settings_; }

void WindowsLocaleSource::refresh() { settings_ = readUserSettings(); }

}  // namespace tb
