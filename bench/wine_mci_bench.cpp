// From the second to the sound under Wine: the Windows probe (tb_mci_onset_probe.exe)
// plays WAV and MP3 files through the MCI media layer and says when it told each to
// play; this program records the sound server's null sink meanwhile and finds when
// each was heard. Run by scripts/bench-windows.sh, which sets up the Wine prefix.
//   tb_bench_wine_mci PROBE.exe [ROUNDS]
#include "tests/media/gstreamer/fixtures.h"
#include "tests/media/gstreamer/pulse_recorder.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

int main(int argc, char** argv) {
    using namespace std::chrono;
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PROBE.exe [ROUNDS]\n", argv[0]);
        return 2;
    }
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
    const char* wine = std::getenv("TOLLBROOK_WINE");
    const std::string sink = tb::test::testSink();
    if (sink.empty() || wine == nullptr) {
        std::fprintf(stderr, "needs the test services and the Wine prefix (scripts/bench-windows.sh)\n");
        return 2;
    }
    const auto folder = std::filesystem::temp_directory_path() / ("tollbrook-wine-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    std::vector<std::string> files;
    for (const char* name : {"bell.wav", "bell.mp3"}) {
        tb::test::writeFixture(folder / name, tb::test::Tone{880.0, 1000, 0.5});
        files.push_back(folder / name);
    }
    // The files as Windows paths on Wine's Z: drive, quoted for the shell.
    std::string command = std::string(wine) + " " + argv[1];
    for (int r = 0; r < rounds; ++r) {
        for (auto f : files) {
            std::replace(f.begin(), f.end(), '/', '\\');
            command += " 'Z:" + f + "'";
        }
    }

    tb::test::PulseRecorder recorder(sink + ".monitor");
    if (!recorder.ok()) {
        std::fprintf(stderr, "cannot record: %s\n", recorder.error().c_str());
        return 1;
    }
    std::map<std::string, std::vector<double>> delays;
    FILE* probe = ::popen(command.c_str(), "r");
    char line[4096];
    std::vector<std::pair<std::string, long long>> plays;
    while (probe != nullptr && std::fgets(line, sizeof line, probe) != nullptr) {
        std::string text(line);
        const auto blank = text.rfind(' ');
        if (blank == std::string::npos || text.find(" failed ") != std::string::npos) {
            std::fprintf(stderr, "probe: %s", line);
            continue;
        }
        plays.emplace_back(text.substr(0, blank), std::atoll(text.c_str() + blank + 1));
    }
    if (probe != nullptr) ::pclose(probe);
    std::this_thread::sleep_for(500ms);
    for (const auto& [file, ms] : plays) {
        const system_clock::time_point at{milliseconds(ms)};
        const auto heard = recorder.onset(0.05, at);
        const std::string kind = file.substr(file.rfind('.') + 1);
        if (!heard) {
            std::printf("%s: not heard\n", file.c_str());
            continue;
        }
        delays[kind].push_back(duration<double, std::milli>(*heard - at).count());
    }
    std::printf("Second to sound through Wine's MCI, %d rounds (ms from the play request to the sound at the sink):\n",
                rounds);
    for (auto& [kind, d] : delays) {
        std::sort(d.begin(), d.end());
        std::printf("  %-4s min %6.1f  median %6.1f  max %6.1f  (%zu heard)\n", kind.c_str(), d.front(),
                    d[d.size() / 2], d.back(), d.size());
    }
    std::filesystem::remove_all(folder);
    return delays.size() == files.size() ? 0 : 1;
}
