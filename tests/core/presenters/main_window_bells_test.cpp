// The main window's clock and bells: each tick as the presenter takes it, the next bell
// made ready ahead, and bells that cannot ring.
#include "tests/core/presenters/main_window_fixture.h"

#include <cstdint>

namespace tb::test {
namespace {

constexpr std::int64_t at(int h, int min, int s, int ms = 5) { return ((h * 60LL + min) * 60 + s) * 1000 + ms; }

// Seconds of the day `from` to `to`, each ticked once.
std::vector<std::int64_t> everySecond(int from, int to) {
    std::vector<std::int64_t> out;
    for (int t = from; t <= to; ++t) out.push_back(at(0, 0, t));
    return out;
}

std::vector<std::int64_t> operator+(std::vector<std::int64_t> a, const std::vector<std::int64_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Which bells the ticks ring, as the clock goes: each due second rings once, whatever
// the timer and the clock do.
TEST_F(Presenter, TicksRingEachDueSecondOnceHoweverTheClockMoves) {
    const int eight = 8 * 3600;
    const std::vector<std::pair<std::string, std::string>> abc = {
        {m("a.mp3"), "8:00:00"}, {m("b.mp3"), "8:00:05"}, {m("c.mp3"), "8:00:10"}};
    const struct {
        const char* what;
        std::vector<std::pair<std::string, std::string>> schedule;
        std::vector<std::int64_t> ticks;
        std::vector<std::string> rung;
    } cases[] = {
        {"a second tick in the same second", {{m("a.mp3"), "8:00:00"}}, {at(8, 0, 0), at(8, 0, 0, 990)}, {m("a.mp3")}},
        {"a stalled loop rings the missed second", {{m("a.mp3"), "8:00:00"}}, {at(7, 59, 58), at(8, 0, 1, 300)},
         {m("a.mp3")}},
        {"a clock jumped an hour ahead rings nothing from that hour", {{m("a.mp3"), "8:00:00"}},
         {at(7, 30, 0), at(8, 30, 0)}, {}},
        {"a clock set back 2 s rings no bell twice", abc,
         everySecond(eight, eight + 10) + everySecond(eight + 8, eight + 12), {m("a.mp3"), m("b.mp3"), m("c.mp3")}},
        {"a clock set back 20 s rings no bell twice", abc,
         everySecond(eight, eight + 10) + everySecond(eight - 10, eight + 12), {m("a.mp3"), m("b.mp3"), m("c.mp3")}},
        {"a clock set back an hour rings the hour's bells again", {{m("a.mp3"), "8:00:00"}},
         {at(8, 0, 0), at(7, 0, 0), at(7, 59, 59), at(8, 0, 0)}, {m("a.mp3"), m("a.mp3")}},
        {"two rows of one time ring the upper", {{m("a.mp3"), "8:00:00"}, {m("b.mp3"), "8:00:00"}}, {at(8, 0, 0)},
         {m("a.mp3")}},
        {"a relative path counts from the schedule's folder", {{"bells/a.mp3", "8:00:00"}, {m("b.mp3"), "8:00:01"}},
         {at(8, 0, 0), at(8, 0, 1)}, {(dir / "bells" / "a.mp3").lexically_normal().string(), m("b.mp3")}},
    };
    for (const auto& c : cases) {
        writeSchedule(c.schedule);
        FakeMainWindow v;
        PlayerBar p{layer, {29, 20}};
        MainWindowPresenter fresh(services(), v, p);
        runHandler([&] { fresh.FormCreate(); });
        layer.sent.clear();
        for (const std::int64_t t : c.ticks) {
            clock.at(0, 0, 0, static_cast<int>(t));
            runHandler([&] { fresh.Timer1Timer(); });
        }
        EXPECT_EQ(opened(), c.rung) << c.what;
    }
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(Presenter, DueEntryStopsClosesNamesSelectsOpensPlaysAndSetsTheButtons) {
    create({{m("a.mp3"), "8:00:00"}, {m("b.mp3"), "8:00:01"}});
    tickAt(8, 0, 0);
    EXPECT_EQ(view.clock, "8:00:00");
    EXPECT_EQ(view.status, "A repertoire being played:" + m("a.mp3"));
    EXPECT_EQ(view.selected, std::optional<std::size_t>(0));
    EXPECT_EQ(player.EnabledButtons(), (TButtonSet{btPause, btStop}));
    layer.sent.clear();
    tickAt(8, 0, 1);  // cuts off the bell before
    EXPECT_EQ(view.clock, "8:00:01");
    EXPECT_EQ(actionsSince(0), (std::vector<Command>{Command::Stop, Command::Close, Command::Open, Command::Play}));
    EXPECT_EQ(opened(), std::vector<std::string>{m("b.mp3")});
    EXPECT_EQ(player.FileName(), m("b.mp3"));
    EXPECT_EQ(view.status, "A repertoire being played:" + m("b.mp3"));
    EXPECT_EQ(view.selected, std::optional<std::size_t>(1));
    EXPECT_EQ(player.EnabledButtons(), (TButtonSet{btPause, btStop}));
}

// Until a bell has played the status says that nothing plays; after it, it names the
// bell's file until another plays.
TEST_F(Presenter, StatusSaysNothingPlaysUntilTheFirstBell) {
    create({{m("a.mp3"), "8:00:00"}});
    tickAt(7, 59, 59);
    EXPECT_EQ(view.status, "No repertoire is being played");
    tickAt(8, 0, 0);
    tickAt(8, 0, 1);
    EXPECT_EQ(view.status, "A repertoire being played:" + m("a.mp3"));
}

TEST_F(Presenter, EmptyScheduleOnlyUpdatesTheClock) {
    create({});
    tickAt(12, 30, 15);
    EXPECT_EQ(view.clock, "12:30:15");
    EXPECT_EQ(view.status, kEmptyScheduleHint);  // how to begin, as the load said
    EXPECT_TRUE(layer.actions().empty());
}

// The next bell is made ready as many seconds ahead as the media layer asks; nothing
// the user sees changes before its second.
TEST_F(Presenter, NextBellIsMadeReadyAheadWithoutShowingIt) {
    writeSchedule({{m("a.mp3"), "8:00:05"}, {m("b.mp3"), "8:00:06"}});
    const struct {
        int ahead;
        std::vector<std::string> prepared;  // at 8:00:00, 8:00:01, ... 8:00:07
    } cases[] = {
        {2, {"", "", "", m("a.mp3"), m("a.mp3"), m("b.mp3"), "", ""}},
        {5, {m("a.mp3"), m("a.mp3"), m("a.mp3"), m("a.mp3"), m("a.mp3"), m("b.mp3"), "", ""}},
        {0, {"", "", "", "", "", "", "", ""}},
    };
    for (const auto& c : cases) {
        layer.ahead = c.ahead;
        FakeMainWindow v;
        PlayerBar p{layer, {29, 20}};
        MainWindowPresenter fresh(services(), v, p);
        runHandler([&] { fresh.FormCreate(); });
        layer.sent.clear();
        for (int second = 0; second < 8; ++second) {
            layer.prepared.clear();
            clock.at(8, 0, second, 5);
            runHandler([&] { fresh.Timer1Timer(); });
            EXPECT_EQ(layer.prepared, std::vector<std::string>{c.prepared[second]})
                << c.ahead << " s ahead, at 8:00:0" << second;
            if (second == 4) {
                EXPECT_EQ(layer.count(Command::Open), 0);
                EXPECT_EQ(v.status, "No repertoire is being played");
                EXPECT_EQ(v.selected, std::nullopt);
            }
        }
        EXPECT_EQ(opened(), (std::vector<std::string>{m("a.mp3"), m("b.mp3")}));
    }
}

// A reload whose schedule no longer has the bell made ready lets go of it.
TEST_F(Presenter, ReloadWithoutTheNextBellLetsGoOfIt) {
    create({{m("a.mp3"), "8:00:02"}});
    tickAt(8, 0, 0);
    EXPECT_EQ(layer.prepared.back(), m("a.mp3"));
    writeSchedule({{m("b.mp3"), "9:00:00"}});
    run(&MainWindowPresenter::BitBtn2Click);
    tickAt(8, 0, 1);
    EXPECT_EQ(layer.prepared.back(), "");
    tickAt(8, 0, 2);
    EXPECT_EQ(layer.count(Command::Open), 0);
}

// Times that do not match the paths row for row (a stray line break, a line lost) would
// ring the wrong file at a time or none: such a schedule is refused whole. At the start
// the lists stay empty; at a reload the schedule loaded before rings on.
TEST_F(Presenter, ScheduleWhoseTimesDoNotMatchItsPathsIsRefusedAndRingsNothingWrong) {
    writeSchedule({{m("a.mp3"), "8:00:00"}, {m("b.mp3"), "9:00:00"}});
    dir.write("hou.ini", "8:00:00\r\r\n9:00:00\r\n");
    create();
    const std::string refusal = "The schedule files do not agree: \"" + (dir / "qian.ini").string() +
                                "\" has 2 lines and \"" + (dir / "hou.ini").string() + "\" has 3";
    EXPECT_EQ(dialogs.errors(), std::vector<std::string>{refusal + "."});
    EXPECT_TRUE(presenter.schedule().times().empty());
    EXPECT_TRUE(view.rows.empty());
    writeSchedule({{m("a.mp3"), "8:00:00"}});
    run(&MainWindowPresenter::BitBtn2Click);
    dialogs.shown.clear();
    writeSchedule({{m("a.mp3"), "8:00:00"}, {m("b.mp3"), "8:00:05"}});
    dir.write("hou.ini", "8:00:00\r\n");
    run(&MainWindowPresenter::BitBtn2Click);
    ASSERT_EQ(dialogs.errors().size(), 1u);
    EXPECT_TRUE(dialogs.errors()[0].ends_with("has 1. The schedule loaded before stays in force.")) << dialogs.errors()[0];
    tickAt(8, 0, 0);
    tickAt(8, 0, 5);
    EXPECT_EQ(opened(), std::vector<std::string>{m("a.mp3")});
}

// Music on a server rings from its path as written (a Windows share's too); a relative
// path counts from the schedule's folder.
TEST_F(Presenter, BellOnAShareOpensItsPathAsWritten) {
#ifdef _WIN32
    const std::string share = "\\\\nohost\\share\\bell.wav";
#else
    const std::string share = "/net/nohost/share/bell.wav";
#endif
    create({{share, "8:00:00"}, {"bell.wav", "8:00:01"}});
    tickAt(8, 0, 0);
    tickAt(8, 0, 1);
    EXPECT_EQ(opened(), (std::vector<std::string>{share, (dir / "bell.wav").string()}));
}

// A bell that did not sound must not look as if it did; what the handler did before
// the failure stays, and the bell is not tried again.
TEST_F(Presenter, UnplayableEntryReportsAndKeepsWhatWasDone) {
    writeSchedule({{m("a.mp3"), "8:00:00"}, {m("b.mp3"), "9:00:00"}});
    layer.unplayable.insert(m("a.mp3"));
    create();
    tickAt(8, 0, 0);
    EXPECT_EQ(dialogs.errors(), std::vector<std::string>{"The file cannot be found."});
    EXPECT_EQ(view.status, "No repertoire is being played");
    EXPECT_EQ(view.selected, std::optional<std::size_t>(0));
    EXPECT_EQ(player.EnabledButtons(), TButtonSet{btPlay});
    EXPECT_EQ(layer.count(Command::Play), 0);
    tickAt(8, 0, 1);
    EXPECT_EQ(layer.count(Command::Open), 1);
}

}  // namespace
}  // namespace tb::test
