// Open and start-of-sound times of the GStreamer media layer, per file kind.
//   build/bench/tb_bench_playback
#include "media/gstreamer/gst_media_layer.h"
#include "core/playback/media_player_device.h"
#include "tests/media/gstreamer/fixtures.h"
#include "tests/media/gstreamer/gst_support.h"
#include "tests/temp_dir.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <map>

using namespace std::chrono_literals;

namespace {

tb::test::TempDir& folder() {
    static tb::test::TempDir dir;
    return dir;
}

// A 3-minute file of each kind, made once.
std::string fixture(const std::string& extension) {
    static std::map<std::string, std::string> made;
    auto it = made.find(extension);
    if (it != made.end()) return it->second;
    const auto file = folder() / ("bell" + extension);
    tb::test::writeFixture(file, tb::test::Tone{440, 180000, 0.5});
    return made[extension] = file.string();
}

struct Rig {
    tb::test::ManualPoster poster;
    tb::test::RecordingSink sink;
    tb::GstMediaLayer layer{poster, tb::GstMediaLayer::Options{[this] { return sink.make(); }, {}, 10000ms}};
};

void openTime(benchmark::State& state, const std::string& extension) {
    const std::string file = fixture(extension);
    Rig rig;
    for (auto _ : state) {
        tb::MediaPlayerDevice player(rig.layer);
        player.setFileName(file);
        const auto start = std::chrono::steady_clock::now();
        player.Open();
        const auto end = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
        player.Close();
        rig.poster.drain();
    }
}

// From the Play call to the first sample that the (clock-synchronised) sink renders.
void firstSample(benchmark::State& state, const std::string& extension) {
    const std::string file = fixture(extension);
    Rig rig;
    for (auto _ : state) {
        tb::MediaPlayerDevice player(rig.layer);
        player.setFileName(file);
        player.Open();
        rig.sink.clear();
        const auto start = std::chrono::steady_clock::now();
        player.Play();
        while (rig.sink.chunks().empty() && std::chrono::steady_clock::now() - start < 2s) {
            std::this_thread::sleep_for(100us);
        }
        const auto chunks = rig.sink.chunks();
        if (chunks.empty()) {
            state.SkipWithError("no sound reached the sink");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(chunks.front().arrived - start).count());
        player.Close();
        rig.poster.drain();
    }
}

}  // namespace

BENCHMARK_CAPTURE(openTime, wav, std::string(".wav"))->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK_CAPTURE(openTime, mp3, std::string(".mp3"))->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK_CAPTURE(openTime, mid, std::string(".mid"))->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK_CAPTURE(firstSample, wav, std::string(".wav"))->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK_CAPTURE(firstSample, mp3, std::string(".mp3"))->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK_CAPTURE(firstSample, mid, std::string(".mid"))->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

BENCHMARK_MAIN();
