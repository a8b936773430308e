// Whether bells keep memory: the real media layer rings short files at the sound
// server as the program does (close, open, play to the end), and the process's
// resident memory is printed every 50 bells, once idle. Needs a sound server
// (`source scripts/services.sh`).
//   build/bench/tb_bench_bell_memory [bells=400] [file kinds=mid] ...
//   e.g. build/bench/tb_bench_bell_memory 600 mid wav
#include "media/gstreamer/gst_media_layer.h"
#include "core/playback/media_player_device.h"
#include "core/process.h"
#include "core/worker.h"
#include "tests/media/gstreamer/fixtures.h"
#include "tests/media/gstreamer/gst_support.h"
#include "tests/media/gstreamer/pulse_recorder.h"
#include "tests/temp_dir.h"

#include <glib.h>
#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

using namespace std::chrono_literals;

namespace {

// Resident memory once idle: GLib's idle streaming threads and the allocator's free
// pages are no bell's doing.
long residentKb() {
    g_thread_pool_stop_unused_threads();
    ::malloc_trim(0);
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * (::sysconf(_SC_PAGESIZE) / 1024);
}

}  // namespace

int main(int argc, char** argv) {
    if (tb::test::testSink().empty()) {
        std::fprintf(stderr, "needs a sound server: source scripts/services.sh first\n");
        return 2;
    }
    const int bells = argc > 1 ? std::atoi(argv[1]) : 400;
    std::vector<std::string> kinds;
    for (int i = 2; i < argc; ++i) kinds.emplace_back(argv[i]);
    if (kinds.empty()) kinds.emplace_back("mid");

    tb::initProcess();  // as the program does
    tb::test::TempDir dir;
    std::vector<std::string> files;
    for (const auto& kind : kinds) {
        files.push_back((dir / ("bell." + kind)).string());
        tb::test::writeFixture(files.back(), tb::test::Tone{660, 60, 0.3});
    }
    tb::test::ManualPoster poster;
    tb::GstMediaLayer layer(poster);
    tb::MediaPlayerDevice player(layer);
    int notices = 0;
    player.OnNotify = [&](tb::MediaPlayerDevice&) { ++notices; };

    long first = 0;
    for (int i = 0; i < bells; ++i) {
        player.Close();
        player.setFileName(files[static_cast<std::size_t>(i) % files.size()]);
        player.Open();
        player.Play();
        const int before = notices;
        if (!poster.pumpUntil([&] { return notices > before; }, 5s)) {
            std::fprintf(stderr, "bell %d did not end\n", i);
            return 1;
        }
        poster.drain();
        if ((i + 1) % 50 == 0) {
            player.Close();
            tb::Worker::waitForAll(5s);
            poster.drain();
            const long kb = residentKb();
            if (first == 0) first = kb;
            std::printf("after %4d bells: %6ld kB resident", i + 1, kb);
            if (i + 1 > 50) std::printf("  (%+.2f kB a bell since bell 50)", double(kb - first) / (i + 1 - 50));
            std::printf("\n");
            std::fflush(stdout);
        }
    }
    for (const auto& e : poster.errors()) std::fprintf(stderr, "error: %s\n", e.c_str());
    return poster.errors().empty() ? 0 : 1;
}
