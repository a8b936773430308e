// Delay from each scheduled second to the bell's first sample at the sound server, over
// 20 bells rung by the real program. Needs the services of scripts/services.sh.
//   build/bench/tb_bench_bells
#include "tests/playback/fixtures.h"
#include "tests/playback/pulse_recorder.h"
#include "tests/schedule_fixture.h"
#include "tests/system/program_runner.h"

#include <algorithm>
#include <cstdio>
#include <vector>

int main() {
    using Clock = std::chrono::system_clock;
    const char* display = std::getenv("TOLLBROOK_TEST_DISPLAY");
    const std::string sink = tb::test::testSink();
    if (display == nullptr || sink.empty()) {
        std::fprintf(stderr, "needs TOLLBROOK_TEST_DISPLAY and TOLLBROOK_TEST_SINK (scripts/bench.sh)\n");
        return 2;
    }
    tb::test::TempDir dir;
    tb::test::installProgram(TOLLBROOK_EXECUTABLE, dir);
    const std::string path = (dir / "bell.wav").string();
    tb::test::writeWav(path, tb::test::Tone{440, 300, 0.5});

    tb::test::PulseRecorder recorder(sink + ".monitor");
    if (!recorder.ok()) {
        std::fprintf(stderr, "cannot record: %s\n", recorder.error().c_str());
        return 1;
    }
    constexpr int kBells = 20;
    const auto first = std::chrono::time_point_cast<std::chrono::seconds>(Clock::now()) + std::chrono::seconds(4);
    std::vector<Clock::time_point> due;
    std::vector<std::pair<std::string, std::string>> entries;
    for (int i = 0; i < kBells; ++i) {
        due.push_back(first + std::chrono::seconds(2 * i));
        entries.emplace_back(path, tb::test::timeText(due.back()));
    }
    tb::test::writeSchedule(dir.path(), entries);
    {
        tb::test::Program program(dir / "tollbrook", display);
        std::this_thread::sleep_until(due.back() + std::chrono::seconds(2));
    }
    std::vector<double> delays;
    for (const auto& d : due) {
        const auto onset = recorder.onsetIndex(0.05, d - std::chrono::milliseconds(200));
        if (!onset) continue;
        const double ms = std::chrono::duration<double, std::milli>(recorder.timeOf(*onset) - d).count();
        if (ms < 1000) delays.push_back(ms);
    }
    std::sort(delays.begin(), delays.end());
    if (delays.empty()) {
        std::printf("bells heard: 0 of %d\n", kBells);
        return 1;
    }
    std::printf("bells heard: %zu of %d; delay after the second: min %.1f ms, median %.1f ms, max %.1f ms\n",
                delays.size(), kBells, delays.front(), delays[delays.size() / 2], delays.back());
    return delays.size() == kBells ? 0 : 1;
}
