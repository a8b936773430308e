#include "core/schedule/clock.h"
#include "core/schedule/trigger.h"
#include "tests/schedule_fixture.h"
#include "tests/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <random>

namespace {

// Feeds the tracker one tick and returns the seconds it evaluates.
std::vector<std::int64_t> tick(tb::SecondTracker& tracker, std::int64_t nowMs) {
    std::vector<std::int64_t> out;
    while (const auto s = tracker.next(nowMs / 1000)) out.push_back(*s);
    return out;
}

TEST(SecondTracker, SimulatedDayEvaluatesEverySecondOnceInOrder) {
    tb::SecondTracker tracker;
    std::mt19937 random(7);
    std::uniform_int_distribution<int> jitter(-30, 60);  // ticks early, late, or twice a second
    std::vector<std::int64_t> evaluated;
    std::int64_t t = 1'000'000'000'005;
    const std::int64_t end = t + 86'400'000;
    while (t < end) {
        for (auto s : tick(tracker, t)) evaluated.push_back(s);
        t += 1000 + jitter(random);
        if (random() % 5000 == 0) t += 3000;  // now and then a stall of three seconds
    }
    ASSERT_FALSE(evaluated.empty());
    for (std::size_t i = 1; i < evaluated.size(); ++i) ASSERT_EQ(evaluated[i], evaluated[i - 1] + 1) << i;
    EXPECT_GE(evaluated.size(), 86'399u);
}

TEST(Tick, IsArmedForJustAfterTheNextSecond) {
    const struct {
        std::int64_t now;
        int wait;
    } cases[] = {{10'000, 1001}, {10'001, 1000}, {10'999, 2}, {10'500, 501}, {-1, 2}, {-1'000, 1001}};
    for (const auto& c : cases) EXPECT_EQ(tb::msUntilNextTick(c.now), c.wait) << c.now;
}

TEST(SecondTracker, TwoTicksInOneSecondEvaluateItOnce) {
    tb::SecondTracker tracker;
    EXPECT_EQ(tick(tracker, 10'005), (std::vector<std::int64_t>{10}));
    EXPECT_TRUE(tick(tracker, 10'990).empty());
    EXPECT_EQ(tick(tracker, 11'001), (std::vector<std::int64_t>{11}));
}

TEST(SecondTracker, StallOfUpToFiveSecondsIsCaughtUp) {
    tb::SecondTracker tracker;
    tick(tracker, 10'005);
    EXPECT_EQ(tick(tracker, 13'400), (std::vector<std::int64_t>{11, 12, 13}));
    EXPECT_EQ(tick(tracker, 19'010), (std::vector<std::int64_t>{14, 15, 16, 17, 18, 19}));
}

TEST(SecondTracker, LongerForwardJumpEvaluatesOnlyTheCurrentSecond) {
    tb::SecondTracker tracker;
    tick(tracker, 10'005);
    EXPECT_EQ(tick(tracker, 17'005), (std::vector<std::int64_t>{17}));
    EXPECT_EQ(tick(tracker, 3'617'005), (std::vector<std::int64_t>{3617}));
    EXPECT_EQ(tick(tracker, 3'618'005), (std::vector<std::int64_t>{3618}));
}

TEST(SecondTracker, BackwardJumpEvaluatesTheSecondsAgain) {
    tb::SecondTracker tracker;
    tick(tracker, 100'005);
    tick(tracker, 101'005);
    EXPECT_EQ(tick(tracker, 99'005), (std::vector<std::int64_t>{99}));
    EXPECT_EQ(tick(tracker, 100'005), (std::vector<std::int64_t>{100}));
    EXPECT_EQ(tick(tracker, 101'005), (std::vector<std::int64_t>{101}));
}

// A schedule of (path, time text) rows, loaded as the main window loads it.
tb::ScheduleModel loaded(const tb::test::TempDir& dir, const std::vector<std::string>& times) {
    std::vector<std::pair<std::string, std::string>> entries;
    for (const auto& t : times) entries.emplace_back("/m/" + t + ".mp3", t);
    tb::test::writeSchedule(dir.path(), entries);
    tb::ScheduleModel model;
    model.load(dir.path());
    return model;
}

TEST(Trigger, EntryInEachOfManyConsecutiveSecondsRingsEachOnce) {
    // Row i is due at second 1000 + i; ticks stall, jitter and come twice.
    std::vector<std::string> times;
    for (int i = 0; i < 120; ++i) times.push_back(std::to_string(1000 + i));
    tb::test::TempDir dir;
    const tb::ScheduleModel schedule = loaded(dir, times);
    tb::SecondTracker tracker;
    std::map<std::size_t, int> rung;
    std::mt19937 random(11);
    std::uniform_int_distribution<int> step(400, 1600);
    for (std::int64_t t = 999'000; t < 1'130'000; t += step(random)) {
        if (t > 1'050'000 && t < 1'050'900) t += 2500;  // a stall
        for (auto s : tick(tracker, t)) {
            if (const auto row = schedule.firstDue(std::to_string(s))) ++rung[*row];
        }
    }
    ASSERT_EQ(rung.size(), times.size());
    for (const auto& [row, count] : rung) EXPECT_EQ(count, 1) << row;
}

TEST(Trigger, FirstEqualRowWins) {
    tb::test::TempDir dir;
    const tb::ScheduleModel schedule = loaded(dir, {"7:00:00", "8:00:00", "8:00:00", "08:00:00"});
    EXPECT_EQ(schedule.firstDue("8:00:00"), std::optional<std::size_t>(1));
    EXPECT_EQ(schedule.firstDue("08:00:00"), std::optional<std::size_t>(3));
    EXPECT_EQ(schedule.firstDue("9:00:00"), std::nullopt);
    EXPECT_EQ(tb::ScheduleModel{}.firstDue("9:00:00"), std::nullopt);
}

}  // namespace

namespace {

void setTimeZone(const char* zone) {
#ifdef _WIN32
    ::_putenv_s("TZ", zone != nullptr ? zone : "");  // an empty value removes it
#else
    if (zone != nullptr) {
        ::setenv("TZ", zone, 1);
    } else {
        ::unsetenv("TZ");
    }
#endif
}

// Staff who move the machine to another zone (or the clock's daylight-saving change)
// expect the bells by the new local time from the next second on.
TEST(SystemClock, ChangeOfTimeZoneCountsFromTheNextReading) {
    const char* saved = std::getenv("TZ");
    const std::string before = saved != nullptr ? saved : "";
    tb::SystemClock clock;
    setTimeZone("UTC0");
    EXPECT_EQ(clock.localTime(0).hour, 0);
    setTimeZone("JST-9");
    EXPECT_EQ(clock.localTime(0).hour, 9);
    setTimeZone(saved != nullptr ? before.c_str() : nullptr);
}

}  // namespace
