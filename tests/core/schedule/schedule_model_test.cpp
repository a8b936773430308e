// Schedule files edited by hand that cannot be right are refused, not misread.
#include "core/schedule/schedule_file.h"
#include "core/schedule/schedule_model.h"
#include "tests/temp_dir.h"

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;
using Lines = std::vector<std::string>;
using tb::test::TempDir;

struct Files {
    const char* name;
    std::string qian, hou, playlist;
    // What the load says: the refusal ("" when the schedule is taken), and the notice.
    std::string refusal = {}, notice = {};
    friend void PrintTo(const Files& c, std::ostream* os) { *os << c.name; }
};

std::string q(const TempDir& dir, const char* file) { return "\"" + (dir / file).string() + "\""; }

class HandEditedSchedule : public ::testing::TestWithParam<Files> {};

// At the first start the lists stay empty after a refusal; at a reload the schedule
// loaded before stays.
TEST_P(HandEditedSchedule, IsTakenOrRefusedWhole) {
    const Files& c = GetParam();
    TempDir dir;
    auto expand = [&](std::string text) {
        for (const char* file : {"qian.ini", "hou.ini", "playlist.ini"}) {
            const std::string key = std::string("<") + file + ">";
            for (std::size_t at; (at = text.find(key)) != std::string::npos;) text.replace(at, key.size(), q(dir, file));
        }
        return text;
    };
    Lines paths, times;
    tb::saveSchedule(dir.path(), {"/before.wav|6:00:00"}, paths, times);
    tb::ScheduleModel reloaded;
    ASSERT_EQ(reloaded.load(dir.path()), std::nullopt);
    dir.write("qian.ini", c.qian);
    dir.write("hou.ini", c.hou);
    dir.write("playlist.ini", c.playlist);
    for (tb::ScheduleModel* model : {static_cast<tb::ScheduleModel*>(nullptr), &reloaded}) {
        tb::ScheduleModel first;
        tb::ScheduleModel& m = model != nullptr ? *model : first;
        const Lines pathsBefore = m.paths(), timesBefore = m.times(), viewBefore = m.viewLines();
        try {
            const auto notice = model != nullptr ? m.reload(dir.path()) : m.load(dir.path());
            EXPECT_EQ(c.refusal, "") << "taken";
            EXPECT_EQ(notice.value_or(""), expand(c.notice));
        } catch (const tb::FileError& e) {
            EXPECT_EQ(e.what(), expand(c.refusal));
            EXPECT_EQ(m.paths(), pathsBefore);
            EXPECT_EQ(m.times(), timesBefore);
            EXPECT_EQ(m.viewLines(), viewBefore);
        }
    }
}

const std::string kViewSays =
    ": the list shows what playlist.ini holds, and the bells ring as qian.ini and hou.ini say.\n"
    "Saving in the playlist editor writes all three from playlist.ini.";

INSTANTIATE_TEST_SUITE_P(
    Rows, HandEditedSchedule,
    ::testing::Values(
        Files{"Agreeing", "/a.wav\r\n/b.wav\r\n", "7:00:00\r\n8:00:00\r\n", "/a.wav|7:00:00\r\n/b.wav|8:00:00\r\n"},
        Files{"EmptyRowsAtTheEndDoNotCount", "/a.wav\r\n\r\n\r\n", "7:00:00\r\n", "/a.wav|7:00:00\r\n\r\n"},
        Files{"EmptyPathWithATimeIsARow", "/a.wav\r\n\r\n", "7:00:00\r\nno bar\r\n", "/a.wav|7:00:00\r\nno bar\r\n"},
        // A second conversion to CR LF leaves CR CR LF: an empty line that shifts every
        // time after it onto the next path.
        Files{"StrayCrShiftsTheTimes", "/a.wav\r\n/b.wav\r\n/c.wav\r\n", "7:00:00\r\r\n8:00:00\r\n9:00:00\r\n",
              "/a.wav|7:00:00\r\n/b.wav|8:00:00\r\n/c.wav|9:00:00\r\n",
              "The schedule files do not agree: <qian.ini> has 3 lines and <hou.ini> has 4"},
        Files{"NulCutsAFileShort", "/a.wav\r\n/b.wav\r\n/c.wav\r\n", "7:00:00\r\n8:00\0:00\r\n9:00:00\r\n"s, "",
              "The schedule files do not agree: <qian.ini> has 3 lines and <hou.ini> has 2; a NUL character "
              "ends <hou.ini> early, in line 2"},
        Files{"PlaylistWithOtherRows", "/a.wav\r\n/b.wav\r\n", "7:00:00\r\n8:00:00\r\n", "/a.wav|7:00:00\r\n", "",
              "<playlist.ini> has 1 line and <qian.ini> and <hou.ini> have 2" + kViewSays},
        Files{"PlaylistWithOtherEntries", "/a.wav\r\n/b.wav\r\n", "7:00:00\r\n8:00:00\r\n",
              "/a.wav|7:00:00\r\n/b.wav|8:30:00\r\n", "",
              "Line 2 of <playlist.ini> is not that of <qian.ini> and <hou.ini>" + kViewSays}),
    [](const auto& test) { return std::string(test.param.name); });

}  // namespace
