// Cost of one schedule tick against schedules of 100, 10,000 and 100,000 entries.
//   build/bench/tb_bench_trigger
#include "core/schedule/time_text.h"
#include "core/schedule/trigger.h"
#include "tests/core/playback/recording_layer.h"
#include "tests/schedule_fixture.h"
#include "tests/temp_dir.h"
#include "tests/core/fakes.h"
#include "bench/no_window.h"
#include "core/dialogs.h"
#include "core/playback/player_bar.h"
#include "core/presenters/main_window_presenter.h"
#include "platform/posix/autostart_posix.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {


std::vector<std::string> times(std::size_t n) {
    std::vector<std::string> out;
    out.reserve(n);
    const tb::LongTimeFormat format{tb::LocaleSettings{}};
    for (std::size_t i = 0; i < n; ++i) {
        // Spread over the day but never at noon, when the ticks are evaluated.
        const auto ms = static_cast<long long>((i * 86'400'000ull / n) % 86'400'000ull);
        auto t = tb::TimeOfDay::fromMilliseconds(std::chrono::milliseconds(ms));
        if (t.hour == 12) t.hour = 13;
        out.push_back(format.render(t));
    }
    return out;
}

// The decision of one second: render it, find its row.
void evaluateSecond(benchmark::State& state) {
    const auto rows = times(static_cast<std::size_t>(state.range(0)));
    tb::test::TempDir dir;
    std::vector<std::pair<std::string, std::string>> entries;
    for (const auto& t : rows) entries.emplace_back("/srv/bells/bell.mp3", t);
    tb::test::writeSchedule(dir.path(), entries);
    tb::ScheduleModel schedule;
    schedule.load(dir.path());
    const tb::LongTimeFormat format{tb::LocaleSettings{}};
    int second = 0;
    for (auto _ : state) {
        const std::string now = format.render({12, second / 60 % 60, second % 60, 0});
        benchmark::DoNotOptimize(schedule.firstDue(now));
        ++second;
    }
}

// The main window's whole tick handler, clock text included, without any window.
void mainWindowTick(benchmark::State& state) {
    const auto rows = times(static_cast<std::size_t>(state.range(0)));
    tb::test::TempDir dir;
    std::vector<std::pair<std::string, std::string>> entries;
    for (const auto& t : rows) entries.emplace_back("/srv/bells/bell.mp3", t);
    tb::test::writeSchedule(dir.path(), entries);
    tb::TApplication app;
    tb::FixedLocaleSource locale{tb::LocaleSettings{}};
    tb::test::FakeClock clock;
    tb::test::RecordingLayer layer;
    tb::test::RecordingVolume volume;
    tb::XdgAutostart autostart(dir / "autostart");
    tb::bench::NoWindow window;
    tb::PlayerBar player(layer, {29, 20});
    tb::MainWindowPresenter form({app, dir.path(), "/opt/tollbrook/tollbrook", locale, clock, layer, volume, autostart,
                                  tb::dialogs()},
                                 window, player);
    form.FormCreate();
    clock.at(12, 0, 0, 5);
    for (auto _ : state) {
        form.Timer1Timer();
        clock.now += 1000;
    }
}

}  // namespace

BENCHMARK(evaluateSecond)->Arg(100)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMicrosecond);
BENCHMARK(mainWindowTick)->Arg(100)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
