#pragma once

// The bells the bell benchmarks ring: 20 of each kind of file, taking turns, one every
// 1.5 s from a few seconds ahead.
#include "media/gstreamer/midi_decoder.h"
#include "tests/media/gstreamer/fixtures.h"
#include "tests/schedule_fixture.h"
#include "tests/system/program_runner.h"

#include <gst/gst.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace tb::bench {

using Clock = std::chrono::system_clock;

inline const std::vector<std::string> kKinds = {".wav", ".mp3", ".mp2", ".mid", ".rmi"};
// 20 by default; TOLLBROOK_BELLS_PER_KIND asks for more (200 rings 1,000 bells).
inline const int kBellsPerKind = [] {
    const char* n = std::getenv("TOLLBROOK_BELLS_PER_KIND");
    return n != nullptr && std::atoi(n) > 0 ? std::atoi(n) : 20;
}();

struct Bell {
    std::string kind;
    Clock::time_point due;
};

// Writes the files and the schedule into `folder`; the bells in order.
inline std::vector<Bell> writeBells(const std::filesystem::path& folder) {
    std::vector<Bell> bells;
    std::vector<std::pair<std::string, std::string>> entries;
    const auto first = std::chrono::time_point_cast<std::chrono::seconds>(Clock::now()) + std::chrono::seconds(5);
    for (const auto& kind : kKinds) tb::test::writeFixture(folder / ("bell" + kind), tb::test::Tone{440, 300, 0.5});
    for (int i = 0; i < kBellsPerKind * static_cast<int>(kKinds.size()); ++i) {
        const std::string kind = kKinds[static_cast<std::size_t>(i) % kKinds.size()];
        // Whole seconds only: 1.5 s apart, rounded down.
        const auto due = first + std::chrono::seconds(i * 3 / 2);
        bells.push_back({kind, due});
        entries.emplace_back((folder / ("bell" + kind)).string(), tb::test::timeText(due));
    }
    tb::test::writeSchedule(folder, entries);
    return bells;
}

// Nothing sounds at the null sink but the bells, so any sample above this is one.
constexpr double kOnsetLevel = 0.005;

// How long a file is silent before its first sound (an MP3 encoder puts some 25 ms of
// its own delay in front): time the file's own, not the program's.
inline double leadMs(const std::filesystem::path& file) {
    if (!gst_is_initialized()) gst_init(nullptr, nullptr);
    tb::registerMidiDecoder();  // MIDI decodes as the program decodes it
    gchar* uri = gst_filename_to_uri(file.c_str(), nullptr);
    const std::string description = std::string("uridecodebin uri=") + uri +
                                    " ! audioconvert ! audioresample ! audio/x-raw,format=S16LE,channels=1,rate=44100 "
                                    "! appsink name=out sync=false";
    g_free(uri);
    GstElement* pipeline = gst_parse_launch(description.c_str(), nullptr);
    GstElement* out = gst_bin_get_by_name(GST_BIN(pipeline), "out");
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    long index = 0;
    double lead = -1;
    while (lead < 0) {
        GstSample* sample = nullptr;
        g_signal_emit_by_name(out, "pull-sample", &sample);
        if (sample == nullptr) break;
        GstMapInfo map;
        GstBuffer* buffer = gst_sample_get_buffer(sample);
        gst_buffer_map(buffer, &map, GST_MAP_READ);
        const auto* s = reinterpret_cast<const std::int16_t*>(map.data);
        for (std::size_t i = 0; i < map.size / 2 && lead < 0; ++i, ++index) {
            if (std::abs(s[i]) > kOnsetLevel * 32767) lead = static_cast<double>(index) * 1000.0 / 44100;
        }
        gst_buffer_unmap(buffer, &map);
        gst_sample_unref(sample);
    }
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(out);
    gst_object_unref(pipeline);
    return std::max(lead, 0.0);
}

// min / median / p99 / max of each kind's values (p99 by nearest rank).
inline void printTable(const char* title, const std::map<std::string, std::vector<double>>& byKind) {
    std::printf("%s\n  %-5s %6s %8s %8s %8s %8s\n", title, "kind", "heard", "min", "median", "p99", "max");
    for (const auto& kind : kKinds) {
        auto v = byKind.count(kind) ? byKind.at(kind) : std::vector<double>{};
        std::sort(v.begin(), v.end());
        if (v.empty()) {
            std::printf("  %-5s %6d\n", kind.c_str() + 1, 0);
            continue;
        }
        const auto rank = [&](double p) { return v[std::min(v.size() - 1, static_cast<std::size_t>(p * static_cast<double>(v.size())))]; };
        std::printf("  %-5s %3zu/%-2d %6.1f ms %6.1f ms %6.1f ms %6.1f ms\n", kind.c_str() + 1, v.size(), kBellsPerKind,
                    v.front(), rank(0.5), rank(0.99), v.back());
    }
}

}  // namespace tb::bench
