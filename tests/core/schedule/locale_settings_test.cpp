#include "core/schedule/locale_settings.h"
#include "core/schedule/time_text.h"
#include "platform/posix/locale_source_posix.h"
#include "platform/win32/locale_source_win32.h"

#include <gtest/gtest.h>

#include <clocale>
#include <locale.h>

namespace {

struct FormatCase {
    const char* name;
    const char* timeFormat;
    const char* ampmFormat;
    bool twelveHour;
    bool leadingZero;
    bool markerBefore;
    const char* separator;
    friend void PrintTo(const FormatCase& c, std::ostream* os) { *os << c.name; }
};

class LocaleFromFormats : public ::testing::TestWithParam<FormatCase> {};

TEST_P(LocaleFromFormats, ReadsClockPaddingMarkerAndSeparator) {
    const auto& c = GetParam();
    const auto s = tb::settingsFromFormats(c.timeFormat, c.ampmFormat, "%m/%d/%y", "AM", "PM", ".");
    EXPECT_EQ(s.twelveHour, c.twelveHour);
    EXPECT_EQ(s.leadingZero, c.leadingZero);
    EXPECT_EQ(s.markerBefore, c.markerBefore);
    EXPECT_EQ(s.timeSeparator, std::optional<std::string>(c.separator));
}

INSTANTIATE_TEST_SUITE_P(
    StrftimeFormats, LocaleFromFormats,
    ::testing::Values(
        FormatCase{"CLocale", "%H:%M:%S", "%I:%M:%S %p", false, true, false, ":"},
        FormatCase{"FullTime", "%T", "", false, true, false, ":"},
        FormatCase{"AmPmThroughR", "%r", "%I:%M:%S %p", true, true, false, ":"},
        FormatCase{"UnpaddedTwelve", "%l:%M:%S %p", "", true, false, false, ":"},
        FormatCase{"UnpaddedTwentyFour", "%k:%M:%S", "", false, false, false, ":"},
        FormatCase{"DashFlagDropsZero", "%-H:%M:%S", "", false, false, false, ":"},
        FormatCase{"DashFlagTwelve", "%-I:%M:%S %p", "", true, false, false, ":"},
        FormatCase{"ZeroFlagPads", "%0k:%M:%S", "", false, true, false, ":"},
        FormatCase{"AlternativeDigits", "%OH:%OM:%OS", "", false, true, false, ":"},
        FormatCase{"DotSeparator", "%H.%M.%S", "", false, true, false, "."},
        FormatCase{"BlankSeparator", "%H %M %S", "", false, true, false, " "},
        FormatCase{"MarkerBefore", "%p %I\xE6\x99\x82%M\xE5\x88\x86%S\xE7\xA7\x92 %Z", "", true, true, true, ":"},
        FormatCase{"MarkerBeforeThroughR", "%r", "%p %I:%M:%S", true, true, true, ":"},
        FormatCase{"MarkerIgnoredOnTwentyFour", "%p %H:%M", "", false, true, false, ":"},
        FormatCase{"NoTextBetween", "%H%M%S", "", false, true, false, ":"},
        FormatCase{"LongTextBetween", "%H h %M", "", false, true, false, ":"},
        FormatCase{"NoHourAtAll", "", "", false, true, false, ":"}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(LocaleFromFormats, DateOrderSeparatorAndDecimal) {
    auto s = tb::settingsFromFormats("%T", "", "%d.%m.%Y", "", "", ",");
    EXPECT_EQ(s.dateOrder, tb::DateOrder::DayMonthYear);
    EXPECT_EQ(s.dateSeparator, ".");
    EXPECT_EQ(s.decimalSeparator, ",");
    s = tb::settingsFromFormats("%T", "", "%D", "", "", ".");
    EXPECT_EQ(s.dateOrder, tb::DateOrder::MonthDayYear);
    EXPECT_EQ(s.dateSeparator, "/");
    s = tb::settingsFromFormats("%T", "", "%F", "", "", ".");
    EXPECT_EQ(s.dateOrder, tb::DateOrder::YearMonthDay);
    EXPECT_EQ(s.dateSeparator, "-");
    s = tb::settingsFromFormats("%T", "", "%Y\xE5\xB9\xB4%m\xE6\x9C\x88%d\xE6\x97\xA5", "", "", ".");
    EXPECT_EQ(s.dateOrder, tb::DateOrder::YearMonthDay);
    EXPECT_EQ(s.dateSeparator, "\xE5\xB9\xB4");
}

#ifdef _WIN32
TEST(PosixLocale, NotOnWindows) {
    GTEST_SKIP() << "POSIX only: Windows reads its regional settings with WindowsLocaleSource (tests/windows/locale_source_test.cpp)";
}
#else
// The process locale switched for the duration of one test.
class ProcessLocale {
public:
    explicit ProcessLocale(const char* name) {
        old_ = std::setlocale(LC_ALL, nullptr);
        ok_ = std::setlocale(LC_ALL, name) != nullptr;
    }
    ~ProcessLocale() { std::setlocale(LC_ALL, old_.c_str()); }
    bool ok() const { return ok_; }

private:
    std::string old_;
    bool ok_;
};

std::string renderIn(tb::TimeOfDay t) {
    tb::PosixLocaleSource source;
    return tb::LongTimeFormat(source.read()).render(t);
}

TEST(PosixLocale, CUtf8IsTwentyFourHourPadded) {
    ProcessLocale l("C.UTF-8");
    ASSERT_TRUE(l.ok());
    const auto s = tb::PosixLocaleSource().read();
    EXPECT_FALSE(s.twelveHour);
    EXPECT_TRUE(s.leadingZero);
    EXPECT_EQ(s.timeSeparator, std::optional<std::string>(":"));
    EXPECT_EQ(s.amString, std::optional<std::string>("AM"));
    EXPECT_EQ(renderIn({8, 5, 9, 0}), "08:05:09");
}

TEST(PosixLocale, UnitedStatesIsTwelveHourMarkerAfter) {
    ProcessLocale l("en_US.UTF-8");
    if (!l.ok()) GTEST_SKIP() << "en_US.UTF-8 not installed";
    const auto s = tb::PosixLocaleSource().read();
    EXPECT_TRUE(s.twelveHour);
    EXPECT_FALSE(s.markerBefore);
    EXPECT_EQ(s.dateOrder, tb::DateOrder::MonthDayYear);
    EXPECT_EQ(renderIn({17, 30, 0, 0}), "05:30:00 PM");
    EXPECT_EQ(tb::readTimeText("05:30:00 PM", s), (tb::TimeOfDay{17, 30, 0, 0}));
}

TEST(PosixLocale, HongKongPutsMarkerBefore) {
    ProcessLocale l("zh_HK.UTF-8");
    if (!l.ok()) GTEST_SKIP() << "zh_HK.UTF-8 not installed";
    const auto s = tb::PosixLocaleSource().read();
    EXPECT_TRUE(s.twelveHour);
    EXPECT_TRUE(s.markerBefore);
    EXPECT_EQ(renderIn({8, 5, 9, 0}), "\xE4\xB8\x8A\xE5\x8D\x88 08:05:09");
}

TEST(PosixLocale, GermanReadsDayMonthAndDecimalComma) {
    ProcessLocale l("de_DE.UTF-8");
    if (!l.ok()) GTEST_SKIP() << "de_DE.UTF-8 not installed";
    const auto s = tb::PosixLocaleSource().read();
    EXPECT_FALSE(s.twelveHour);
    EXPECT_EQ(s.dateOrder, tb::DateOrder::DayMonthYear);
    EXPECT_EQ(s.dateSeparator, ".");
    EXPECT_EQ(s.decimalSeparator, ",");
    EXPECT_EQ(tb::readTimeText("08:05:09,5", s), (tb::TimeOfDay{8, 5, 9, 5}));
}

#endif

}  // namespace
