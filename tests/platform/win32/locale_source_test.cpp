#include "core/schedule/locale_settings.h"
#include "core/schedule/time_text.h"
#include "platform/win32/locale_source_win32.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include <windows.h>

namespace {

std::string userLocaleName() {
    wchar_t name[LOCALE_NAME_MAX_LENGTH];
    const int n = ::GetUserDefaultLocaleName(name, LOCALE_NAME_MAX_LENGTH);
    return n > 1 ? std::string(name, name + n - 1) : std::string();
}

struct LocaleCase {
    const char* locale;  // the user's locale the test process runs in (ctest sets LC_ALL)
    bool twelveHour, leadingZero, markerBefore;
    const char* am;  // nullptr: not checked
    const char* pm;
    const char* separator;
    tb::DateOrder dateOrder;
    const char* rendered;  // 08:05:09 in the long time format, after the marker if any
    const char* readBack;  // a time text with fractions that reads back as 17:30:00.5,
                           // after the PM marker if any
};

// What Windows (and Wine's tables) give for these locales.
const LocaleCase kLocales[] = {
    {"en-US", true, false, false, "AM", "PM", ":", tb::DateOrder::MonthDayYear, "8:05:09 AM", "5:30:00.5 PM"},
    {"de-DE", false, true, false, nullptr, nullptr, ":", tb::DateOrder::DayMonthYear, "08:05:09", "17:30:00,5"},
    {"zh-CN", false, true, false, "\xE4\xB8\x8A\xE5\x8D\x88", "\xE4\xB8\x8B\xE5\x8D\x88", ":",
     tb::DateOrder::YearMonthDay, "08:05:09", "17:30:00.5"},
    {"fi-FI", false, false, false, nullptr, nullptr, ".", tb::DateOrder::DayMonthYear, "8.05.09", "17.30.00,5"},
    // Windows has the markers 오전 and 오후 here; Wine's tables have AM and PM.
    {"ko-KR", true, false, true, nullptr, nullptr, ":", tb::DateOrder::YearMonthDay, " 8:05:09", " 5:30:00.5"},
};

// The user's regional settings as Windows gives them, in the locale ctest starts this
// process with (one run per row of the table).
TEST(WindowsLocale, UserSettingsAreTheLocalesOwn) {
    const std::string name = userLocaleName();
    const auto row = std::find_if(std::begin(kLocales), std::end(kLocales),
                                  [&](const LocaleCase& c) { return name == c.locale; });
    ASSERT_NE(row, std::end(kLocales)) << "no expectations for the locale " << name;
    const tb::LocaleSettings s = tb::WindowsLocaleSource().read();
    EXPECT_EQ(s.twelveHour, row->twelveHour);
    EXPECT_EQ(s.leadingZero, row->leadingZero);
    EXPECT_EQ(s.markerBefore, row->markerBefore);
    if (row->am != nullptr) {
        EXPECT_EQ(s.amString, std::optional<std::string>(row->am));
    }
    if (row->pm != nullptr) {
        EXPECT_EQ(s.pmString, std::optional<std::string>(row->pm));
    }
    const std::string am = row->markerBefore ? s.amString.value_or("?") : "";
    const std::string pm = row->markerBefore ? s.pmString.value_or("?") : "";
    EXPECT_EQ(s.timeSeparator, std::optional<std::string>(row->separator));
    EXPECT_EQ(s.dateOrder, row->dateOrder);
    const tb::LongTimeFormat format(s);
    EXPECT_EQ(format.render({8, 5, 9, 0}), am + row->rendered);
    EXPECT_EQ(tb::readTimeText(pm + row->readBack, s), (tb::TimeOfDay{17, 30, 0, 5}));
}

// The settings are those taken at start or at the last refresh: a change of them
// counts once the front end refreshes (on WM_SETTINGCHANGE "intl").
TEST(WindowsLocale, ChangeOfTheUsersSettingsCountsFromTheRefresh) {
    wchar_t saved[80];
    ASSERT_GT(::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_STIME, saved, 80), 0);
    tb::WindowsLocaleSource source;
    const auto before = source.read();
    ASSERT_TRUE(::SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIME, L"."));
    EXPECT_EQ(source.read(), before);
    source.refresh();
    EXPECT_EQ(source.read().timeSeparator, std::optional<std::string>("."));
    EXPECT_EQ(tb::LongTimeFormat(source.read()).render({8, 5, 9, 0}).find('.') != std::string::npos, true);
    ::SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIME, saved);
}

BOOL CALLBACK collect(LPWSTR name, DWORD, LPARAM list) {
    reinterpret_cast<std::vector<std::wstring>*>(list)->push_back(name);
    return TRUE;
}

// Every time text the program renders must read back to its own time of day in every
// locale Windows knows, or the editor turns a bell's time into another.
TEST(WindowsLocale, EverySecondOfTheDayReadsBackInEveryLocale) {
    std::vector<std::wstring> names;
    ASSERT_TRUE(::EnumSystemLocalesEx(collect, LOCALE_WINDOWS, reinterpret_cast<LPARAM>(&names), nullptr));
    ASSERT_GT(names.size(), 50u);
    std::vector<std::pair<tb::LocaleSettings, std::wstring>> distinct;
    for (const auto& name : names) {
        const tb::LocaleSettings s = tb::WindowsLocaleSource::ofLocale(name);
        if (std::none_of(distinct.begin(), distinct.end(), [&](const auto& d) { return d.first == s; })) {
            distinct.emplace_back(s, name);
        }
    }
    for (const auto& [settings, name] : distinct) {
        const tb::LongTimeFormat format(settings);
        int failures = 0;
        for (int s = 0; s < 86400 && failures < 3; ++s) {
            const tb::TimeOfDay t{s / 3600, s / 60 % 60, s % 60, 0};
            const std::string text = format.render(t);
            const std::string locale(name.begin(), name.end());
            try {
                if (!(tb::readTimeText(text, format.settings()) == t)) {
                    ++failures;
                    ADD_FAILURE() << locale << ": \"" << text << "\" reads back as another time";
                }
            } catch (const tb::ConvertError& e) {
                ++failures;
                ADD_FAILURE() << locale << ": " << e.what();
            }
        }
    }
    std::printf("%zu locales, %zu distinct settings\n", names.size(), distinct.size());
}

}  // namespace
