// The real program killed in the middle of a save in its editor, right after each
// rename, as a power cut would end it: started again, it finds the schedule just saved,
// its three files agreeing, and nothing left over.
#include "core/schedule/schedule_file.h"
#include "tests/schedule_fixture.h"
#include "tests/system/program_runner.h"
#include "tests/temp_dir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <set>

using namespace std::chrono_literals;

namespace {

class SaveCutOffSystem : public ::testing::TestWithParam<int> {};

TEST_P(SaveCutOffSystem, ProgramKilledAfterARenameFindsTheNewScheduleWhole) {
    const char* display = std::getenv("TOLLBROOK_TEST_DISPLAY");
    if (display == nullptr) GTEST_SKIP() << "run through scripts/test.sh for an X server";
    tb::test::TempDir dir;
    tb::test::installProgram(TOLLBROOK_EXECUTABLE, dir);
    dir.write("bell.wav", "RIFF");
    std::vector<std::pair<std::string, std::string>> entries;
    for (int i = 0; i < 5; ++i) {  // hours away, in the form this desktop writes a time in
        entries.emplace_back("/bells/" + std::to_string(i) + ".wav",
                             tb::test::timeText(std::chrono::system_clock::now() + 3h + i * 1min));
    }
    tb::test::writeSchedule(dir.path(), entries);
    const tb::test::Desktop desktop(display);
    {
        tb::test::Program program(dir / "tollbrook", display,
                                  {{"LD_PRELOAD", TB_KILL_AFTER_RENAME_LIBRARY},
                                   {"TB_KILL_FOLDER", dir.path().string()},
                                   {"TB_KILL_AFTER_RENAME", std::to_string(GetParam())}});
        const std::string editor = desktop.openEditor();
        ASSERT_FALSE(editor.empty());
        desktop.clickIn(editor, 300, 14);  // the path box
        desktop.type((dir / "bell.wav").string());
        desktop.keys("alt+a alt+s");
        const auto status = program.ended(20s);
        ASSERT_TRUE(status.has_value()) << "the save did not reach rename " << GetParam();
        ASSERT_TRUE(WIFSIGNALED(*status) && WTERMSIG(*status) == SIGKILL) << "ended otherwise: status " << *status;
    }
    {
        tb::test::Program again(dir / "tollbrook", display);
        ASSERT_FALSE(desktop.window("^Tollbrook$").empty()) << "the program did not start again";
        std::this_thread::sleep_for(1s);
        ASSERT_TRUE(again.running()) << "the program ended at its start";
    }
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) names.insert(e.path().filename().string());
    EXPECT_EQ(names, (std::set<std::string>{"bell.wav", "hou.ini", "playlist.ini", "qian.ini", "tollbrook"}));
    const auto playlist = tb::loadScheduleFile(dir / "playlist.ini");
    const auto paths = tb::loadScheduleFile(dir / "qian.ini");
    const auto times = tb::loadScheduleFile(dir / "hou.ini");
    ASSERT_EQ(playlist.size(), 6u) << "not the schedule just saved";
    ASSERT_EQ(paths.size(), 6u);
    ASSERT_EQ(times.size(), 6u);
    for (std::size_t i = 0; i < playlist.size(); ++i) EXPECT_EQ(playlist[i], paths[i] + "|" + times[i]) << "line " << i + 1;
    EXPECT_EQ(paths.back(), (dir / "bell.wav").string());
}

// The journal's rename commits the save, then playlist.ini, qian.ini and hou.ini.
INSTANTIATE_TEST_SUITE_P(AfterEachRename, SaveCutOffSystem, ::testing::Values(1, 2, 3, 4));

}  // namespace
