// The program run from the folder it was installed to keeps its schedule in the user's
// config folder, reads it and writes it there, and leaves its own folder alone.
#include "core/schedule/schedule_file.h"
#include "tests/media/gstreamer/fixtures.h"
#include "tests/media/gstreamer/pulse_recorder.h"
#include "tests/system/program_runner.h"
#include "tests/temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace std::chrono_literals;
using Clock = std::chrono::system_clock;

namespace {

TEST(InstalledProgram, KeepsItsScheduleInTheUsersConfigFolder) {
    const char* display = std::getenv("TOLLBROOK_TEST_DISPLAY");
    const std::string sink = tb::test::testSink();
    if (display == nullptr || sink.empty()) GTEST_SKIP() << "run through scripts/test.sh for an X and a sound server";

    const std::filesystem::path bin = TOLLBROOK_INSTALLED_BINDIR;
    std::filesystem::create_directories(bin);
    std::filesystem::copy_file(TOLLBROOK_INSTALLED_EXECUTABLE, bin / "tollbrook",
                               std::filesystem::copy_options::overwrite_existing);
    tb::test::TempDir config;
    const auto folder = config / "tollbrook";

    // A first start makes the folder with the three files, empty, and opens without an
    // error box (which would be a second window of that name).
    {
        tb::test::Program first(bin / "tollbrook", display, {{"XDG_CONFIG_HOME", config.path().string()}});
        const tb::test::Desktop desktop(display);
        EXPECT_FALSE(desktop.window("^Tollbrook$").empty());
        std::this_thread::sleep_for(1500ms);
        EXPECT_EQ(desktop.xdo("search --onlyvisible --name '^Tollbrook$'").find('\n'), std::string::npos)
            << "more than the main window shows";
        for (const char* name : {"playlist.ini", "qian.ini", "hou.ini"}) {
            EXPECT_TRUE(std::filesystem::is_regular_file(folder / name)) << name << " was not made";
            EXPECT_EQ(config.read(std::string("tollbrook/") + name), "") << name;
        }
    }

    // A schedule saved there by hand, with LF line ends, is what rings.
    const std::string bell = (folder / "bell.wav").string();
    tb::test::writeWav(bell, tb::test::Tone{440, 400, 0.5});
    const auto due = std::chrono::time_point_cast<std::chrono::seconds>(Clock::now()) + 5s;
    const std::string text = tb::test::timeText(due);
    config.write("tollbrook/playlist.ini", bell + "|" + text + "\n");
    config.write("tollbrook/qian.ini", bell + "\n");
    config.write("tollbrook/hou.ini", text + "\n");
    tb::test::PulseRecorder recorder(sink + ".monitor");
    ASSERT_TRUE(recorder.ok()) << recorder.error();
    tb::test::Program program(bin / "tollbrook", display, {{"XDG_CONFIG_HOME", config.path().string()}});
    const tb::test::Desktop desktop(display);
    const std::string main = desktop.window("^Tollbrook$");
    ASSERT_FALSE(main.empty());
    std::this_thread::sleep_until(due + 1500ms);
    const auto onset = recorder.onset(0.05, due - 1s);
    ASSERT_TRUE(onset.has_value()) << "the schedule in the config folder did not ring";
    EXPECT_LT(*onset - due, 500ms);

    // The editor's Save writes there: the files come back with CR LF.
    desktop.xdo("windowactivate --sync " + main);
    desktop.keys("alt+o e");
    const std::string editor = desktop.window("^Edit Playlist$");
    ASSERT_FALSE(editor.empty());
    desktop.xdo("windowactivate --sync " + editor);
    desktop.keys("alt+s");
    ASSERT_TRUE(desktop.focusGoesTo("Tollbrook")) << "no \"Update success!\"";
    desktop.keys("Return");
    EXPECT_EQ(config.read("tollbrook/hou.ini"), text + "\r\n");
    EXPECT_EQ(config.read("tollbrook/playlist.ini"), bell + "|" + text + "\r\n");
    std::vector<std::string> beside;
    for (const auto& entry : std::filesystem::directory_iterator(bin)) beside.push_back(entry.path().filename());
    EXPECT_EQ(beside, std::vector<std::string>{"tollbrook"}) << "something was written beside the program";
}

}  // namespace
