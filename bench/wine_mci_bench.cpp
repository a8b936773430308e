// From the second to the sound under Wine, Tollbrook beside a floor, in the same run:
// the Windows probe (tb_mci_bell_probe.exe) rings the same WAV, MP3, MP2 and MIDI files
// once as Tollbrook does (the main window's presenter, its timer and the MCI layer) and
// once as plain MCI can at best (opened ahead, told to play at the second), the two
// taking turns every few seconds; this program records the sound server's null sink
// meanwhile and finds when each bell was heard. MIDI plays through MPEGVideo, as the
// test prefix maps it (Wine has no MIDI output here). Run by scripts/bench-windows.sh,
// which sets up the Wine prefix and the load.
//   tb_bench_wine_mci PROBE.exe [ROUNDS [LABEL]]
#include "tests/media/gstreamer/fixtures.h"
#include "tests/media/gstreamer/pulse_recorder.h"

#include "core/playback/mci.h"

#include <algorithm>
#include <array>
#include <optional>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

namespace {

using namespace std::chrono;

constexpr auto kSlot = 3s;         // between one bell and the next, of either side
constexpr double kOnsetLevel = 0.01;  // of full scale: nothing else sounds at the sink

struct Bell {
    std::string side;  // "tollbrook" or "floor"
    std::string kind;  // the row of the table it counts in
    std::filesystem::path file;
    system_clock::time_point due;
};

std::string windowsPath(const std::filesystem::path& file) {
    std::string path = "Z:" + file.string();
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

// Runs `command` and gives its output, one line an entry.
std::vector<std::string> linesOf(const std::string& command) {
    std::vector<std::string> lines;
    FILE* out = ::popen(command.c_str(), "r");
    char line[4096];
    while (out != nullptr && std::fgets(line, sizeof line, out) != nullptr) lines.emplace_back(line);
    if (out != nullptr) ::pclose(out);
    return lines;
}

struct Stats {
    std::vector<double> values;
    Stats sorted() const {
        Stats s = *this;
        std::sort(s.values.begin(), s.values.end());
        return s;
    }
    // Of sorted values.
    double median() const { return values.empty() ? 0 : values[values.size() / 2]; }
};

// When a sound begins at or after `from` (before `until`): the first sample above the
// level after 30 ms below it, so that the tail of a late bell before is not taken for
// this one.
std::optional<system_clock::time_point> risingOnset(const std::vector<short>& samples,
                                                    const tb::test::PulseRecorder& recorder,
                                                    system_clock::time_point from, system_clock::time_point until) {
    const int threshold = static_cast<int>(kOnsetLevel * 32768);
    const std::size_t quiet = tb::test::PulseRecorder::kRate * 30 / 1000;
    // The first sample captured at `from` or later.
    std::size_t lo = 0, hi = samples.size();
    while (lo < hi) {
        const std::size_t mid = (lo + hi) / 2;
        if (recorder.timeOf(mid) < from) {
            lo = mid + 1;
        } else {
            hi = mid;
        }
    }
    const auto loud = [&](std::size_t i) { return std::abs(static_cast<int>(samples[i])) > threshold; };
    std::optional<std::size_t> lastLoud;
    for (std::size_t i = lo >= quiet ? lo - quiet : 0; i < lo; ++i) {
        if (loud(i)) lastLoud = i;
    }
    for (std::size_t i = lo; i < samples.size(); ++i) {
        if (!loud(i)) continue;
        const auto at = recorder.timeOf(i);
        if (at >= until) return std::nullopt;
        if (!lastLoud || i - *lastLoud > quiet) return at;
        lastLoud = i;
    }
    return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PROBE.exe [ROUNDS [LABEL]]\n", argv[0]);
        return 2;
    }
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    const std::string label = argc > 3 ? argv[3] : "quiet";
    const char* wine = std::getenv("TOLLBROOK_WINE");
    const std::string sink = tb::test::testSink();
    if (sink.empty() || wine == nullptr) {
        std::fprintf(stderr, "needs the test services and the Wine prefix (scripts/bench-windows.sh)\n");
        return 2;
    }
    const auto folder = std::filesystem::temp_directory_path() / ("tollbrook-wine-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder / "schedule");
    const std::vector<std::string> kinds = {"wav", "mp3", "mp2", "mid"};
    for (const auto& kind : kinds) tb::test::writeFixture(folder / ("bell." + kind), tb::test::Tone{880.0, 600, 0.5});
    // The MIDI bell that Tollbrook opens at its second, as after another MIDI bell.
    std::filesystem::copy_file(folder / "bell.mid", folder / "bell-at-second.mid");

    // Wine starts, and the first bell is still a few seconds ahead of its open.
    const auto start = time_point_cast<seconds>(system_clock::now()) + 20s;
    std::vector<Bell> bells;
    int slot = 0;
    for (int r = 0; r < rounds; ++r) {
        for (const auto& kind : kinds) {
            bells.push_back({"tollbrook", kind, folder / ("bell." + kind), start + kSlot * slot++});
            bells.push_back({"floor", kind, folder / ("bell." + kind), start + kSlot * slot++});
        }
        // With a slot to itself: under load it can sound seconds late.
        bells.push_back({"tollbrook", "mid at its second", folder / "bell-at-second.mid", start + kSlot * slot});
        slot += 2;
    }
    std::map<std::string, std::string> commands{
        {"tollbrook", std::string(wine) + " " + argv[1] + " tollbrook '" + windowsPath(folder / "schedule") + "'"},
        {"floor", std::string(wine) + " " + argv[1] + " floor"}};
    for (const auto& bell : bells) {
        const auto ms = duration_cast<milliseconds>(bell.due.time_since_epoch()).count();
        commands[bell.side] += " '" + windowsPath(bell.file) + "@" + std::to_string(ms) + "'";
    }

    tb::test::PulseRecorder recorder(sink + ".monitor");
    if (!recorder.ok()) {
        std::fprintf(stderr, "cannot record: %s\n", recorder.error().c_str());
        return 1;
    }
    std::map<std::string, std::vector<std::string>> said{{"tollbrook", {}}, {"floor", {}}};
    {
        std::vector<std::thread> probes;
        for (const auto& [side, command] : commands) {
            probes.emplace_back([&said, side = side, command = command] {
                said[side] = linesOf(command + " 2>/dev/null");
            });
        }
        for (auto& p : probes) p.join();
    }
    std::this_thread::sleep_for(500ms);
    const auto samples = recorder.samples();

    // What the probes said.
    struct Request {
        unsigned command;
        double start, end;
    };
    std::vector<Request> requests;
    std::map<long long, std::pair<double, double>> floorPlays;  // second -> play request
    std::map<std::string, Stats> opens;
    int lost = 0, lostAtSecond = 0, floorFailed = 0;
    for (const auto& line : said["tollbrook"]) {
        Request r{};
        if (std::sscanf(line.c_str(), "request %u %lf %lf", &r.command, &r.start, &r.end) == 3) requests.push_back(r);
        if (line.rfind("lost ", 0) == 0) {
            ++(line.find("at-second") != std::string::npos ? lostAtSecond : lost);
            std::printf("  Tollbrook's error box: %s", line.c_str() + 5);
        }
    }
    for (const auto& line : said["floor"]) {
        char file[4096];
        long long ms = 0, took = 0;
        unsigned long error = 0;
        double began = 0, ended = 0;
        if (std::sscanf(line.c_str(), "play %4095s %lld %lf %lf", file, &ms, &began, &ended) == 4) {
            floorPlays[ms] = {began, ended};
        }
        if (std::sscanf(line.c_str(), "open %4095s %lld %lld %lu", file, &ms, &took, &error) != 4) continue;
        const std::string name(file);
        opens[name.substr(name.rfind('.') + 1)].values.push_back(static_cast<double>(took));
        if (error != 0) {
            ++floorFailed;
            std::printf("  the floor's open of %s failed: MCI error %lu\n", file, error);
        }
    }

    // Each bell: when it was heard, and for Tollbrook's where the time went.
    enum Step { kHeard, kTick, kBefore, kOpen, kQuestions, kPlay, kServer, kSteps };
    std::map<std::string, std::map<std::string, std::array<Stats, kSteps>>> steps;  // side -> kind -> step
    const auto ms = [](system_clock::time_point t) {
        return duration<double, std::milli>(t.time_since_epoch()).count();
    };
    for (const auto& bell : bells) {
        const auto onset = risingOnset(samples, recorder, bell.due, bell.due + kSlot - 200ms);
        if (!onset) continue;
        auto& s = steps[bell.side][bell.kind];
        const double due = ms(bell.due), heard = ms(*onset);
        s[kHeard].values.push_back(heard - due);
        if (bell.side == "floor") {
            const auto play = floorPlays.find(static_cast<long long>(due));
            if (play == floorPlays.end()) continue;
            s[kPlay].values.push_back(play->second.second - play->second.first);
            s[kServer].values.push_back(heard - play->second.second);
            continue;
        }
        const Request* first = nullptr;
        const Request* open = nullptr;
        const Request* play = nullptr;
        for (const auto& r : requests) {
            if (r.start < due || r.start >= due + 1000) continue;
            if (first == nullptr) first = &r;
            const auto command = static_cast<tb::mci::Command>(r.command);
            if (open == nullptr && command == tb::mci::Command::Open) open = &r;
            if (open != nullptr && play == nullptr && command == tb::mci::Command::Play) play = &r;
        }
        if (play == nullptr) continue;
        s[kTick].values.push_back(first->start - due);
        s[kBefore].values.push_back(open->start - first->start);
        s[kOpen].values.push_back(open->end - open->start);
        s[kQuestions].values.push_back(play->start - open->end);
        s[kPlay].values.push_back(play->end - play->start);
        s[kServer].values.push_back(heard - play->end);
    }

    auto cells = [&](const Stats& s) {
        char text[96];
        if (s.values.empty()) {
            std::snprintf(text, sizeof text, "%2d/%-2d %7s %7s %7s", 0, rounds, "-", "-", "-");
        } else {
            std::snprintf(text, sizeof text, "%2zu/%-2d %7.0f %7.0f %7.0f", s.values.size(), rounds, s.values.front(),
                          s.median(), s.values.back());
        }
        return std::string(text);
    };
    const std::vector<std::string> rows = {"wav", "mp3", "mp2", "mid", "mid at its second"};
    std::printf("\nSecond to sound under Wine's MCI, %s: ms from each bell's second to its first sound at the sink\n",
                label.c_str());
    std::printf("  %-18s %-30s %-30s %s\n", "", "Tollbrook", "floor (opened ahead)", "medians");
    std::printf("  %-18s %-30s %-30s %s\n", "kind", "heard     min  median     max", "heard     min  median     max",
                "Tollbrook - floor");
    bool all = true;
    for (const auto& kind : rows) {
        const std::string floorKind = kind == "mid at its second" ? "mid" : kind;
        const Stats t = steps["tollbrook"][kind][kHeard].sorted();
        const Stats f = steps["floor"][floorKind][kHeard].sorted();
        all = all && static_cast<int>(f.values.size()) == rounds &&
              (kind == "mid at its second" || static_cast<int>(t.values.size()) == rounds);
        char diff[32] = "-";
        if (!t.values.empty() && !f.values.empty()) {
            std::snprintf(diff, sizeof diff, "%+7.0f", t.median() - f.median());
        }
        std::printf("  %-18s %-30s %-30s %s\n", kind.c_str(), cells(t).c_str(),
                    kind == floorKind ? cells(f).c_str() : "(as the mid above)", diff);
    }
    std::printf("  Where the time goes (medians, ms): tick = from the second to the tick's first request,\n"
                "  before = the bell before stopped and closed, questions = what the player asks the device\n"
                "  after its open, server = from the play request's return to the sound\n");
    std::printf("  %-18s %6s %6s %6s %9s %6s %6s   %-6s %6s %6s\n", "kind", "tick", "before", "open", "questions",
                "play", "server", "floor:", "play", "server");
    for (const auto& kind : rows) {
        auto& t = steps["tollbrook"][kind];
        auto& f = steps["floor"][kind == "mid at its second" ? "mid" : kind];
        std::printf("  %-18s %6.0f %6.0f %6.0f %9.0f %6.0f %6.0f   %-6s %6.0f %6.0f\n", kind.c_str(),
                    t[kTick].sorted().median(), t[kBefore].sorted().median(), t[kOpen].sorted().median(),
                    t[kQuestions].sorted().median(), t[kPlay].sorted().median(), t[kServer].sorted().median(), "",
                    f[kPlay].sorted().median(), f[kServer].sorted().median());
    }
    std::printf("  Opens ahead by the floor (ms, median / max):");
    for (const auto& kind : kinds) {
        const Stats s = opens[kind].sorted();
        if (!s.values.empty()) std::printf("  %s %.0f / %.0f", kind.c_str(), s.median(), s.values.back());
    }
    std::printf("\n  Lost: Tollbrook %d (and %d opened at its second), floor %d\n", lost, lostAtSecond, floorFailed);
    std::filesystem::remove_all(folder);
    return all && lost == 0 ? 0 : 1;
}
