// A user who has never seen the schedule files builds a schedule in the editor of the
// real program, on a real X server with a window manager, and hears the bell.
#include "core/schedule/schedule_file.h"
#include "tests/media/gstreamer/fixtures.h"
#include "tests/media/gstreamer/pulse_recorder.h"
#include "tests/schedule_fixture.h"
#include "tests/system/program_runner.h"
#include "tests/temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <thread>

using namespace std::chrono_literals;
using Clock = std::chrono::system_clock;

namespace {

std::string twoDigits(int v) { return (v < 10 ? "0" : "") + std::to_string(v); }

TEST(EditorSystem, ScheduleBuiltInTheEditorRingsAtItsSecond) {
    const char* display = std::getenv("TOLLBROOK_TEST_DISPLAY");
    const std::string sink = tb::test::testSink();
    if (display == nullptr || sink.empty()) GTEST_SKIP() << "run through scripts/test.sh for an X and a sound server";

    tb::test::TempDir dir;
    tb::test::installProgram(TOLLBROOK_EXECUTABLE, dir);
    tb::test::writeWav(dir / "bell.wav", tb::test::Tone{440, 500, 0.5});
    tb::test::writeSchedule(dir.path(), {});
    tb::test::PulseRecorder recorder(sink + ".monitor");
    ASSERT_TRUE(recorder.ok()) << recorder.error();
    tb::test::Program program(dir / "tollbrook", display);
    const tb::test::Desktop desktop(display);

    const std::string editor = desktop.openEditor();
    ASSERT_FALSE(editor.empty());

    const std::string bell = (dir / "bell.wav").string();
    desktop.clickIn(editor, 300, 14);  // the path box
    desktop.type(bell);
    // Far enough ahead for the steps below on a busy machine.
    const auto due = std::chrono::time_point_cast<std::chrono::seconds>(Clock::now()) + 15s;
    const std::time_t dueT = Clock::to_time_t(due);
    std::tm local{};
    localtime_r(&dueT, &local);
    desktop.clickIn(editor, 662, 14);  // the picker's hours; each section moves on when full
    desktop.keys("Home shift+Right shift+Right");
    desktop.type(twoDigits(local.tm_hour) + twoDigits(local.tm_min) + twoDigits(local.tm_sec));
    desktop.keys("alt+a alt+s");
    ASSERT_TRUE(desktop.focusGoesTo("Tollbrook")) << "no \"Update success!\"";
    desktop.keys("Return");
    desktop.xdo("windowactivate --sync " + editor);
    desktop.keys("alt+c");
    ASSERT_TRUE(desktop.focusGoesTo("Confirm")) << "no question at closing";
    desktop.keys("Escape");  // "Do you have the changes you made before you quit?": No
    EXPECT_TRUE(tb::test::eventually([&] { return desktop.xdo("search --onlyvisible --name '^Edit Playlist$'").empty(); }))
        << "the editor is still open";

    const std::string text = tb::test::timeText(due);
    EXPECT_EQ(tb::loadScheduleFile(dir / "playlist.ini"), (std::vector<std::string>{bell + "|" + text}));
    EXPECT_EQ(tb::loadScheduleFile(dir / "qian.ini"), (std::vector<std::string>{bell}));
    EXPECT_EQ(tb::loadScheduleFile(dir / "hou.ini"), (std::vector<std::string>{text}));

    ASSERT_LT(Clock::now(), due) << "the steps took too long to hear the bell at its second";
    std::this_thread::sleep_until(due + 2s);
    ASSERT_TRUE(program.running());
    const auto onset = recorder.onset(0.05, due - 1s);
    ASSERT_TRUE(onset.has_value()) << "the bell did not ring";
    EXPECT_GT(*onset - due, -20ms) << "rang before its second";
    EXPECT_LT(*onset - due, 500ms) << "rang late";
}

}  // namespace
