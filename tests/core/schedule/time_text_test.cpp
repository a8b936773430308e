#include "core/schedule/time_text.h"
#include "platform/posix/locale_source_posix.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <string>
#include <vector>

namespace {

tb::LocaleSettings settings(bool twelve, bool zero, bool before = false) {
    tb::LocaleSettings s;
    s.twelveHour = twelve;
    s.leadingZero = zero;
    s.markerBefore = before;
    s.amString = "AM";
    s.pmString = "PM";
    s.timeSeparator = ":";
    return s;
}

tb::TimeOfDay at(int h, int m, int s, int ms = 0) { return tb::TimeOfDay{h, m, s, ms}; }

struct RenderCase {
    const char* name;
    tb::LocaleSettings settings;
    tb::TimeOfDay time;
    std::string text;
    friend void PrintTo(const RenderCase& c, std::ostream* os) { *os << c.name; }
};

class TimeTextRender : public ::testing::TestWithParam<RenderCase> {};

TEST_P(TimeTextRender, RendersWithLongTimeFormat) {
    EXPECT_EQ(tb::LongTimeFormat(GetParam().settings).render(GetParam().time), GetParam().text);
}

tb::LocaleSettings withSeparator(std::optional<std::string> sep) {
    auto s = settings(false, false);
    s.timeSeparator = std::move(sep);
    return s;
}

tb::LocaleSettings withMarkers(std::optional<std::string> am, std::optional<std::string> pm) {
    auto s = settings(true, false);
    s.amString = std::move(am);
    s.pmString = std::move(pm);
    return s;
}

INSTANTIATE_TEST_SUITE_P(
    ClocksMarkersSeparators, TimeTextRender,
    ::testing::Values(
        RenderCase{"H24Unpadded", settings(false, false), at(8, 5, 9), "8:05:09"},
        RenderCase{"H24Afternoon", settings(false, false), at(17, 30, 0), "17:30:00"},
        RenderCase{"H24Padded", settings(false, true), at(8, 5, 9), "08:05:09"},
        RenderCase{"H24Midnight", settings(false, false), at(0, 30, 15), "0:30:15"},
        RenderCase{"MillisecondsDropped", settings(false, false), at(8, 5, 9, 999), "8:05:09"},
        RenderCase{"H12MarkerAfter", settings(true, false), at(8, 5, 9), "8:05:09 AM"},
        RenderCase{"H12Noon", settings(true, false), at(12, 0, 0), "12:00:00 PM"},
        RenderCase{"H12HalfPastMidnight", settings(true, false), at(0, 30, 15), "12:30:15 AM"},
        RenderCase{"H12Evening", settings(true, true), at(23, 59, 59), "11:59:59 PM"},
        RenderCase{"H12MarkerBefore", settings(true, false, true), at(8, 5, 9), "AM 8:05:09"},
        RenderCase{"H12MarkerBeforePadded", settings(true, true, true), at(13, 0, 0), "PM 01:00:00"},
        RenderCase{"DotSeparator", withSeparator("."), at(8, 5, 9), "8.05.09"},
        RenderCase{"EmptySeparatorRendersNothing", withSeparator(""), at(8, 5, 9), "80509"},
        RenderCase{"LongSeparatorFallsBack", withSeparator(".."), at(8, 5, 9), "8:05:09"},
        RenderCase{"UnknownSeparatorFallsBack", withSeparator(std::nullopt), at(8, 5, 9), "8:05:09"},
        RenderCase{"WideCharacterSeparator", withSeparator("\xE6\x99\x82"), at(8, 5, 9), "8\xE6\x99\x82" "05\xE6\x99\x82" "09"},
        RenderCase{"EmptyAmStringStaysEmpty", withMarkers("", "PM"), at(8, 5, 9), "8:05:09 "},
        RenderCase{"UnknownMarkersAreLowerCase", withMarkers(std::nullopt, std::nullopt), at(20, 5, 9), "8:05:09 pm"}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(LongTimeFormat, PatternFollowsTheFlags) {
    EXPECT_EQ(tb::LongTimeFormat(settings(false, false)).pattern(), "h:mm:ss");
    EXPECT_EQ(tb::LongTimeFormat(settings(false, true)).pattern(), "hh:mm:ss");
    EXPECT_EQ(tb::LongTimeFormat(settings(true, false)).pattern(), "h:mm:ss AMPM");
    EXPECT_EQ(tb::LongTimeFormat(settings(true, true, true)).pattern(), "AMPM hh:mm:ss");
}

TEST(TimeTextEquality, SameCharactersOnly) {
    EXPECT_TRUE(tb::timeTextsEqual("8:00:00", "8:00:00"));
    EXPECT_FALSE(tb::timeTextsEqual("08:00:00", "8:00:00"));
    EXPECT_FALSE(tb::timeTextsEqual("8:00:00 ", "8:00:00"));
    EXPECT_FALSE(tb::timeTextsEqual("8:00:00 am", "8:00:00 AM"));
}

TEST(TimeTextRead, AcceptsTimesOfTheGrammar) {
    const auto s = settings(false, false);
    EXPECT_EQ(tb::readTimeText("8:05", s), at(8, 5, 0));
    EXPECT_EQ(tb::readTimeText("8", s), at(8, 0, 0));
    EXPECT_EQ(tb::readTimeText("23:59:59", s), at(23, 59, 59));
    EXPECT_EQ(tb::readTimeText(" 8 : 05 : 09  ", s), at(8, 5, 9));
    EXPECT_EQ(tb::readTimeText("8:05:09.250", s), at(8, 5, 9, 250));
    EXPECT_EQ(tb::readTimeText("0008:05", s), at(8, 5, 0));
    EXPECT_EQ(tb::readTimeText("12:30:15 AM", s), at(0, 30, 15));
    EXPECT_EQ(tb::readTimeText("12:00:00 pm", s), at(12, 0, 0));
    EXPECT_EQ(tb::readTimeText("pm 1:00", s), at(13, 0, 0));
}

TEST(TimeTextRead, UsesTheLocaleMarkersAndSeparators) {
    auto s = settings(true, true, true);
    s.amString = "\xE4\xB8\x8A\xE5\x8D\x88";  // 上午
    s.pmString = "\xE4\xB8\x8B\xE5\x8D\x88";  // 下午
    EXPECT_EQ(tb::readTimeText("\xE4\xB8\x8B\xE5\x8D\x88 03:15:00", s), at(15, 15, 0));
    s.timeSeparator = ".";
    s.decimalSeparator = ",";
    s.dateSeparator = "/";
    EXPECT_EQ(tb::readTimeText("8.05.09,5 PM", s), at(20, 5, 9, 5));
}

TEST(TimeTextRead, RejectsWithTheConversionMessage) {
    const auto s = settings(false, false);
    for (const std::string bad : {"", "13:00:00 PM", "0:00 AM", "24:00:00", "8:60", "8:05:60", "8:05:09.1000",
                                  "8:05:09 x", "8:", "AM 8:00 PM", "12345:00", "x8:00", "8:00:00|x"}) {
        try {
            tb::readTimeText(bad, s);
            ADD_FAILURE() << "accepted '" << bad << "'";
        } catch (const tb::ConvertError& e) {
            EXPECT_EQ(e.what(), "''" + bad + "'' is not a valid date and time");
        }
    }
}

TEST(TimeTextRead, ADatePrefixIsReadAndDropped) {
    auto s = settings(false, false);
    s.dateOrder = tb::DateOrder::MonthDayYear;
    EXPECT_EQ(tb::readTimeText("12/31/2020 8:05:09", s), at(8, 5, 9));
    EXPECT_EQ(tb::readTimeText("12/31/2020", s), at(0, 0, 0));
    EXPECT_EQ(tb::readTimeText("2/29 7:00", s), at(7, 0, 0));
    EXPECT_THROW(tb::readTimeText("31/12/2020 8:05", s), tb::ConvertError);
    EXPECT_THROW(tb::readTimeText("2/29/2021 8:05", s), tb::ConvertError);
    s.dateOrder = tb::DateOrder::DayMonthYear;
    s.dateSeparator = ".";
    EXPECT_EQ(tb::readTimeText("31.12.2020 8:05", s), at(8, 5, 0));
    s.dateOrder = tb::DateOrder::YearMonthDay;
    s.dateSeparator = "-";
    EXPECT_EQ(tb::readTimeText("2020-12-31 18:05", s), at(18, 5, 0));
}

TEST(TimeTextRead, EveryRenderedSecondReadsBack) {
    auto marked = settings(true, true, true);
    marked.amString = "\xE4\xB8\x8A\xE5\x8D\x88";
    marked.pmString = "\xE4\xB8\x8B\xE5\x8D\x88";
    auto dotted = settings(false, true);
    dotted.timeSeparator = ".";
    for (const auto& s : {settings(false, false), settings(true, false), marked, dotted}) {
        const tb::LongTimeFormat format(s);
        for (int t = 0; t < 24 * 3600; t += 7) {
            const auto time = at(t / 3600, t / 60 % 60, t % 60);
            ASSERT_EQ(tb::readTimeText(format.render(time), s), time) << format.render(time);
        }
    }
}

}  // namespace

namespace {

// Every time text the program renders must read back to its own time of day, in every
// locale installed here, or the editor turns a bell's time into another.
TEST(TimeTextRoundTrip, EverySecondOfTheDayInEveryInstalledLocale) {
#ifdef _WIN32
    GTEST_SKIP() << "POSIX only: the C library's locales; tests/windows/locale_source_test.cpp walks every Windows locale";
#else
    std::vector<std::string> locales;
    if (FILE* list = ::popen("locale -a 2>/dev/null", "r")) {
        char name[256];
        while (std::fgets(name, sizeof name, list) != nullptr) {
            std::string n(name);
            while (!n.empty() && (n.back() == '\n' || n.back() == '\r')) n.pop_back();
            locales.push_back(n);
        }
        ::pclose(list);
    }
    ASSERT_GT(locales.size(), 1u) << "no locales installed (scripts/test.sh installs locales-all)";
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    // Many locales share their settings; each distinct set is tried once.
    std::vector<std::pair<tb::LocaleSettings, std::string>> distinct;
    for (const auto& name : locales) {
        if (std::setlocale(LC_ALL, name.c_str()) == nullptr) continue;
        const tb::LocaleSettings settings = tb::PosixLocaleSource().read();
        if (std::none_of(distinct.begin(), distinct.end(), [&](const auto& d) { return d.first == settings; })) {
            distinct.emplace_back(settings, name);
        }
    }
    std::setlocale(LC_ALL, saved.c_str());
    for (const auto& [settings, name] : distinct) {
        const tb::LongTimeFormat format(settings);
        int failures = 0;
        for (int s = 0; s < 86400 && failures < 3; ++s) {
            const tb::TimeOfDay t{s / 3600, s / 60 % 60, s % 60, 0};
            const std::string text = format.render(t);
            try {
                const tb::TimeOfDay back = tb::readTimeText(text, format.settings());
                if (!(back == t)) {
                    ++failures;
                    ADD_FAILURE() << name << ": \"" << text << "\" reads back as " << back.hour << ":" << back.minute
                                  << ":" << back.second;
                }
            } catch (const tb::ConvertError& e) {
                ++failures;
                ADD_FAILURE() << name << ": " << e.what();
            }
        }
    }
    std::printf("%zu locales, %zu distinct settings\n", locales.size(), distinct.size());
#endif
}

}  // namespace
