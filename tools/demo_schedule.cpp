// Writes a demo schedule for a newcomer: a chime the program makes here, due at the
// next two whole minutes, in the three schedule files of a folder that has none yet.
//   tollbrook-demo FOLDER
#include "core/schedule/clock.h"
#include "core/schedule/locale_settings.h"
#include "core/schedule/schedule_file.h"
#include "core/schedule/time_text.h"
#include "platform/posix/locale_source_posix.h"

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace {

// Two bell strokes, each a struck tone with overtones dying away: 1.6 s of 16-bit mono.
void writeChime(const std::filesystem::path& file) {
    constexpr int rate = 22050;
    std::vector<std::int16_t> samples(static_cast<std::size_t>(rate * 1.6));
    const double strokes[][2] = {{0.0, 659.25}, {0.55, 523.25}};  // E5, then C5
    for (const auto& [start, pitch] : strokes) {
        for (std::size_t i = static_cast<std::size_t>(start * rate); i < samples.size(); ++i) {
            const double t = static_cast<double>(i) / rate - start;
            const double v = std::exp(-3.0 * t) * (0.6 * std::sin(2 * M_PI * pitch * t) +
                                                    0.25 * std::sin(2 * M_PI * pitch * 2.76 * t) * std::exp(-4.0 * t) +
                                                    0.15 * std::sin(2 * M_PI * pitch * 5.40 * t) * std::exp(-8.0 * t));
            samples[i] = static_cast<std::int16_t>(std::clamp(samples[i] + v * 9000.0, -32767.0, 32767.0));
        }
    }
    auto u32 = [](std::ofstream& out, std::uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [](std::ofstream& out, std::uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
    const auto bytes = static_cast<std::uint32_t>(samples.size() * 2);
    std::ofstream out(file, std::ios::binary);
    out.write("RIFF", 4);
    u32(out, 36 + bytes);
    out.write("WAVEfmt ", 8);
    u32(out, 16);
    u16(out, 1);
    u16(out, 1);
    u32(out, rate);
    u32(out, rate * 2);
    u16(out, 2);
    u16(out, 16);
    out.write("data", 4);
    u32(out, bytes);
    out.write(reinterpret_cast<const char*>(samples.data()), bytes);
}

int usage(const char* why) {
    std::fprintf(stderr,
                 "tollbrook-demo: %s\n"
                 "Usage: tollbrook-demo FOLDER\n"
                 "Writes a demo schedule (a chime at the next two whole minutes, every day until\n"
                 "edited) into FOLDER, an existing folder that holds no schedule yet.\n",
                 why);
    return 2;
}

int writeDemo(const std::filesystem::path& folder) {
    for (const char* name : {tb::kPlaylistFile, tb::kPathsFile, tb::kTimesFile}) {
        if (std::filesystem::exists(folder / name)) return 0;  // a schedule is there: leave it alone
    }
    const auto chime = folder / "demo-chime.wav";
    writeChime(chime);

    tb::PosixLocaleSource locale;
    const tb::LongTimeFormat format(locale.read());
    tb::SystemClock clock;
    const std::int64_t nextMinute = (clock.nowMs() / 60000 + 1) * 60000;
    std::vector<std::string> lines, times;
    for (std::int64_t at : {nextMinute, nextMinute + 60000}) {
        times.push_back(format.render(clock.localTime(at)));
        lines.push_back(tb::makePlaylistLine(chime.string(), times.back()));
    }
    std::vector<std::string> paths, splitTimes;
    tb::saveSchedule(folder, lines, paths, splitTimes);
    std::printf("No schedule was found beside the program, so a demo one was written to %s:\n"
                "a chime rings at %s and at %s, every day until you change it with\n"
                "Option > Edit Playlist.\n",
                folder.c_str(), times[0].c_str(), times[1].c_str());
    return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) return usage(argc < 2 ? "no folder given" : "more than one argument");
    const std::string_view argument = argv[1];
    if (argument.starts_with('-')) {
        return usage(argument == "--help" || argument == "-h" ? "takes no options"
                                                              : "unknown option; the only argument is a folder");
    }
    std::error_code ec;
    if (!std::filesystem::is_directory(argument, ec)) return usage("no such folder");
    std::setlocale(LC_ALL, "");
    try {
        // The schedule names files by their full path; the program may run from anywhere.
        return writeDemo(std::filesystem::absolute(argument).lexically_normal());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tollbrook-demo: %s\n", e.what());
        return 1;
    }
}
