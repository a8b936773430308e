// From each scheduled second to the bell's first sample at the sound server, for 20
// bells of each kind of file rung by the real program, and the program's memory before
// and after. Needs the services of scripts/bench.sh (it runs this against PulseAudio
// and against PipeWire).
//   build/bench/tb_bench_bells
#include "bench/bell_schedule.h"
#include "tests/media/gstreamer/pulse_recorder.h"

#include <fstream>
#include <thread>

namespace {

long residentKb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

}  // namespace

int main() {
    using namespace tb::bench;
    const char* display = std::getenv("TOLLBROOK_TEST_DISPLAY");
    const std::string sink = tb::test::testSink();
    if (display == nullptr || sink.empty()) {
        std::fprintf(stderr, "needs TOLLBROOK_TEST_DISPLAY and TOLLBROOK_TEST_SINK (scripts/bench.sh)\n");
        return 2;
    }
    tb::test::TempDir dir;
    tb::test::installProgram(TOLLBROOK_EXECUTABLE, dir);
    tb::test::PulseRecorder recorder(sink + ".monitor");
    if (!recorder.ok()) {
        std::fprintf(stderr, "cannot record: %s\n", recorder.error().c_str());
        return 1;
    }
    const auto bells = writeBells(dir.path());
    std::map<std::string, double> lead;
    for (const auto& kind : kKinds) lead[kind] = leadMs(dir / ("bell" + kind));
    // Memory is compared at like moments: just after each round of the five kinds,
    // when the same kind of file is open.
    std::vector<long> memory;
    {
        tb::test::Program program(dir / "tollbrook", display);
        for (std::size_t i = kKinds.size() - 1; i < bells.size(); i += kKinds.size()) {
            std::this_thread::sleep_until(bells[i].due + std::chrono::milliseconds(700));
            memory.push_back(residentKb(program.pid()));
        }
        std::this_thread::sleep_until(bells.back().due + std::chrono::seconds(2));
    }
    std::map<std::string, std::vector<double>> delays;
    std::size_t heard = 0;
    for (const auto& bell : bells) {
        const auto onset = recorder.onsetIndex(kOnsetLevel, bell.due - std::chrono::milliseconds(200));
        if (!onset) continue;
        const double ms =
            std::chrono::duration<double, std::milli>(recorder.timeOf(*onset) - bell.due).count() - lead[bell.kind];
        if (ms > 1000) continue;
        delays[bell.kind].push_back(ms);
        ++heard;
    }
    printTable("From the second to the bell's first sound at the sink (less the file's own lead):", delays);
    std::printf("  (the files' own silence before their sound:");
    for (const auto& kind : kKinds) std::printf(" %s %.1f ms", kind.c_str() + 1, lead[kind]);
    std::printf(")\nresident memory of the program after each round of five bells, in MiB:");
    for (long kb : memory) std::printf(" %.1f", static_cast<double>(kb) / 1024.0);
    std::printf("\n");
    return heard == bells.size() ? 0 : 1;
}
