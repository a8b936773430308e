// A school rings bells for months without a restart: every bell must give back what it
// took. The real media layer plays 1,000 short files to the sound server under a low
// descriptor limit, and what the process holds stays flat.
#include "media/gstreamer/gst_media_layer.h"
#include "core/playback/media_player_device.h"
#include "core/process.h"
#include "core/worker.h"
#include "tests/media/gstreamer/fixtures.h"
#include "tests/media/gstreamer/gst_support.h"
#include "tests/media/gstreamer/pulse_recorder.h"
#include "tests/temp_dir.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <gst/gst.h>
#include <malloc.h>
#include <fstream>
#include <sys/resource.h>

using namespace std::chrono_literals;

namespace {

struct Held {
    int descriptors = 0;
    int threads = 0;
    long residentKb = 0;
};

int entries(const char* folder) {
    int n = 0;
    if (DIR* d = ::opendir(folder)) {
        while (const dirent* e = ::readdir(d)) n += e->d_name[0] != '.';
        ::closedir(d);
    }
    return n;
}

// What the process holds once it is idle: GLib's idle streaming threads and the
// allocator's free pages are let go first, since they are no bell's doing.
Held held() {
    g_thread_pool_stop_unused_threads();
    ::malloc_trim(0);
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return {entries("/proc/self/fd"), entries("/proc/self/task"), resident * (::sysconf(_SC_PAGESIZE) / 1024)};
}

TEST(Soak, ThousandBellsGiveBackWhatTheyTook) {
    tb::initProcess();  // as the program does
    const rlimit low{256, 256};
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &low), 0);

    tb::test::TempDir dir;
    const std::vector<std::string> files = {(dir / "a.wav").string(), (dir / "b.mp3").string(),
                                            (dir / "c.mid").string()};
    for (const auto& f : files) tb::test::writeFixture(f, tb::test::Tone{660, 60, 0.3});

    tb::test::ManualPoster poster;
    // GStreamer's fake sink itself keeps a few kB per instance, so only the real output
    // tells whether the bells give back what they took.
    if (tb::test::testSink().empty()) GTEST_SKIP() << "run through scripts/test.sh to have a sound server";
    tb::GstMediaLayer layer(poster);
    tb::MediaPlayerDevice player(layer);
    int notices = 0;
    player.OnNotify = [&](tb::MediaPlayerDevice&) { ++notices; };

    auto bell = [&](int i) {
        if (player.Mode() == tb::mpPlaying) player.Stop();
        player.Close();
        player.setFileName(files[static_cast<std::size_t>(i) % files.size()]);
        player.Open();
        player.Play();
        // Most bells play to their end; the others are cut off by the next one.
        const int before = notices;
        if (i % 4 != 3) {
            ASSERT_TRUE(poster.pumpUntil([&] { return notices > before; }, 5s)) << "bell " << i;
        }
        poster.drain();
    };

#ifdef TB_SANITIZED
    // A sanitized bell takes several times as long; the sanitizer itself reports a
    // pipeline left behind at exit, so fewer bells show the same.
    constexpr int kBells = 300;
#else
    constexpr int kBells = 1000;
#endif
    for (int i = 0; i < 100; ++i) ASSERT_NO_FATAL_FAILURE(bell(i));
    player.Close();
    tb::Worker::waitForAll(5s);
    const Held start = held();
    for (int i = 100; i < kBells; ++i) ASSERT_NO_FATAL_FAILURE(bell(i));
    player.Close();
    ASSERT_TRUE(tb::Worker::waitForAll(5s)) << "a device's worker never ended";
    poster.drain();
    const Held end = held();

    EXPECT_EQ(poster.errors(), std::vector<std::string>{});
    EXPECT_LE(end.descriptors, start.descriptors) << "descriptors held after " << kBells - 100 << " bells";
    // GLib keeps idle streaming threads around, more of them on a busy machine; a thread
    // kept per bell would leave hundreds.
    EXPECT_LT(end.threads, start.threads + 20) << "threads left after " << kBells - 100 << " bells";
    std::printf("after 100 bells: %d descriptors, %d threads, %ld kB; after %d: %d, %d, %ld kB\n", start.descriptors,
                start.threads, start.residentKb, kBells, end.descriptors, end.threads, end.residentKb);
#ifdef TB_SANITIZED
    // The sanitizer holds freed memory back (its quarantine), so resident memory grows
    // whatever the program frees; it finds a leaked pipeline itself, at exit.
    GTEST_SKIP() << "the memory bound does not hold under " TB_SANITIZED "; everything else was checked";
#endif
    // A leaked pipeline holds some 200 kB; what the allocator keeps varies by a few MB.
    EXPECT_LT(end.residentKb - start.residentKb, 8192) << "memory grew over 900 bells";
}

}  // namespace
