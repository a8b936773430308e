// The real program, copied into a folder of its own with a schedule, on a real X
// server and sound server: its bell must sound at its second, once.
#include "schedule/locale_settings.h"
#include "schedule/time_text.h"
#include "tests/playback/fixtures.h"
#include "tests/playback/pulse_recorder.h"
#include "tests/temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <clocale>
#include <csignal>
#include <ctime>
#include <fstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;
using Clock = std::chrono::system_clock;

namespace {

// Renders a wall-clock second as the program will, in the same locale.
std::string timeText(Clock::time_point t) {
    std::setlocale(LC_ALL, "");
    tb::PosixLocaleSource source;
    const std::time_t seconds = Clock::to_time_t(t);
    std::tm local{};
    localtime_r(&seconds, &local);
    return tb::LongTimeFormat(source.read()).render({local.tm_hour, local.tm_min, local.tm_sec, 0});
}

class Program {
public:
    Program(const std::filesystem::path& executable, const std::string& display) {
        pid_ = ::fork();
        if (pid_ == 0) {
            ::setenv("DISPLAY", display.c_str(), 1);
            ::setenv("QT_QPA_PLATFORM", "xcb", 1);
            // Another current folder: the schedule is found beside the program.
            if (::chdir("/") != 0) ::_exit(126);
            ::execl(executable.c_str(), executable.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
    }
    ~Program() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGTERM);
        int status = 0;
        for (int i = 0; i < 50 && ::waitpid(pid_, &status, WNOHANG) == 0; ++i) std::this_thread::sleep_for(100ms);
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, &status, 0);
    }
    bool running() const { return pid_ > 0 && ::waitpid(pid_, nullptr, WNOHANG) == 0; }

private:
    pid_t pid_ = -1;
};

TEST(BellSystem, ScheduledBellSoundsAtItsSecondOnce) {
    const char* display = std::getenv("TOLLBROOK_TEST_DISPLAY");
    const std::string sink = tb::test::testSink();
    if (display == nullptr || sink.empty()) GTEST_SKIP() << "run through scripts/test.sh for an X and a sound server";

    tb::test::TempDir dir;
    std::filesystem::permissions(dir.path(), std::filesystem::perms(0755));
    std::filesystem::copy_file(TOLLBROOK_EXECUTABLE, dir / "tollbrook");
    tb::test::writeWav(dir / "bell.wav", tb::test::Tone{440, 600, 0.5});

    tb::test::PulseRecorder recorder(sink + ".monitor");
    ASSERT_TRUE(recorder.ok()) << recorder.error();

    const auto due = std::chrono::time_point_cast<std::chrono::seconds>(Clock::now()) + 4s;
    const std::string path = (dir / "bell.wav").string();
    dir.write("playlist.ini", path + "|" + timeText(due) + "\r\n" + path + "|" + timeText(due) + "\r\n");
    dir.write("qian.ini", path + "\r\n" + path + "\r\n");
    dir.write("hou.ini", timeText(due) + "\r\n" + timeText(due) + "\r\n");

    Program program(dir / "tollbrook", display);
    std::this_thread::sleep_until(due + 2500ms);
    ASSERT_TRUE(program.running()) << "the program ended";

    const auto onset = recorder.onsetIndex(0.05, due - 1s);
    ASSERT_TRUE(onset.has_value()) << "the bell did not ring";
    const auto late = recorder.timeOf(*onset) - due;
    std::printf("bell sounded %.1f ms after its second\n", std::chrono::duration<double, std::milli>(late).count());
    EXPECT_GT(late, -20ms) << "rang before its second";
    EXPECT_LT(late, 100ms) << "rang " << std::chrono::duration<double, std::milli>(late).count() << " ms late";

    // Once: 600 ms of tone, then silence (a second start would lengthen or repeat it).
    const auto all = recorder.samples();
    std::size_t last = *onset;
    for (std::size_t i = *onset; i < all.size(); ++i)
        if (std::abs(static_cast<int>(all[i])) > 1000) last = i;
    EXPECT_NEAR(static_cast<double>(last - *onset) / tb::test::PulseRecorder::kRate, 0.6, 0.05);
    EXPECT_GT(all.size(), last + tb::test::PulseRecorder::kRate);  // a second of silence was heard after it
}

}  // namespace
