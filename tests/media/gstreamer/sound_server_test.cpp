#include "media/gstreamer/gst_media_layer.h"
#include "core/playback/media_player_device.h"
#include "tests/media/gstreamer/fixtures.h"
#include "tests/media/gstreamer/gst_support.h"
#include "tests/media/gstreamer/pulse_recorder.h"
#include "tests/media/gstreamer/pulse_server.h"
#include "tests/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>
#include <optional>

using namespace std::chrono_literals;

namespace {

// A layer on the default output, as the program has it, with one player, and the sound
// server's sink recorded.
class SoundServer : public ::testing::Test {
protected:
    void SetUp() override {
        if (sink.empty()) GTEST_SKIP() << "run through scripts/test.sh to have a sound server";
        recording = std::make_unique<tb::test::PulseRecorder>(sink + ".monitor");
        ASSERT_TRUE(recording->ok()) << recording->error();
        player.OnNotify = [this](tb::MediaPlayerDevice&) { ++notices; };
    }
    void openTone(const tb::test::Tone& tone) {
        tb::test::writeWav(dir / "tone.wav", tone);
        player.setFileName((dir / "tone.wav").string());
        player.Open();
    }

    const std::string sink = tb::test::testSink();
    std::unique_ptr<tb::test::PulseRecorder> recording;
    tb::test::TempDir dir;
    tb::test::ManualPoster poster;
    tb::GstMediaLayer layer{poster};
    tb::MediaPlayerDevice player{layer};
    int notices = 0;
};

// Plays through the default audio output, as the program does, and listens at the
// sound server's sink.
TEST_F(SoundServer, ToneReachesTheDefaultOutput) {
    auto& recorder = *recording;
    openTone(tb::test::Tone{440, 800, 0.5});

    player.Play();
    ASSERT_TRUE(poster.pumpUntil([&] { return notices > 0; }, 5s)) << "notices: " << notices;
    poster.pumpFor(500ms);
    EXPECT_EQ(player.NotifyValue(), tb::nvSuccessful);

    // Nothing else plays on the sink: the first sound in the recording is the tone.
    const auto onset = recorder.onsetIndex(0.05, std::chrono::system_clock::time_point::min());
    ASSERT_TRUE(onset.has_value()) << "nothing was heard at the sink";
    constexpr std::size_t ms = 441 / 10;
    // The monitor stream drops samples now and then, so the tone is judged in 10 ms
    // blocks, each short enough to hold an unbroken stretch.
    int toneBlocks = 0;
    for (int block = 1; block <= 20; ++block) {
        const auto part = recorder.slice(*onset + block * 10 * ms, 10 * ms);
        ASSERT_EQ(part.size(), 10 * ms);
        const double at440 = tb::test::toneLevel(part.data(), part.size(), 44100, 440);
        const double at1000 = tb::test::toneLevel(part.data(), part.size(), 44100, 1000);
        toneBlocks += at440 > 0.25 && at1000 < at440 / 3;
    }
    EXPECT_GE(toneBlocks, 10) << "the sound is not the 440 Hz tone";
    const auto after = recorder.slice(*onset + 900 * ms, 300 * ms);
    ASSERT_FALSE(after.empty());
    int loudest = 0;
    for (short s : after) loudest = std::max(loudest, std::abs(static_cast<int>(s)));
    EXPECT_LT(loudest, 300) << "sound went on after the tone";
}

// A device opened (or stopped) a while before its play must not start late by the time
// it waited. How soon it sounds is measured in bench/; here it must sound within its
// second.
struct AheadCase {
    const char* extension;
    double level;  // of the onset; the MIDI soundfont's piano plays softer than the tone
    friend void PrintTo(const AheadCase& c, std::ostream* os) { *os << c.extension; }
};

class SoundServerAhead : public SoundServer, public ::testing::WithParamInterface<AheadCase> {};

TEST_P(SoundServerAhead, DeviceOpenedAheadStartsOnTime) {
#ifdef TB_SANITIZED
    // Sanitized, the synthesizer renders several times slower: it still must sound
    // within its second.
    constexpr auto kLimit = 1000ms;
#else
    constexpr auto kLimit = 500ms;
#endif
    auto& recorder = *recording;
    const auto file = dir / (std::string("bell") + GetParam().extension);
    tb::test::writeFixture(file, tb::test::Tone{440, 300, 0.5});
    player.setFileName(file.string());
    player.Open();
    poster.pumpFor(1200ms);
    auto started = std::chrono::system_clock::now();
    player.Play();
    poster.pumpFor(kLimit + 100ms);
    auto onset = recorder.onset(GetParam().level, started - 50ms);
    ASSERT_TRUE(onset.has_value());
    EXPECT_LT(*onset - started, kLimit);

    player.Rewind();  // stopped at the start, then a pause before the next play
    poster.pumpFor(1000ms);
    started = std::chrono::system_clock::now();
    player.Play();
    poster.pumpFor(kLimit + 100ms);
    onset = recorder.onset(GetParam().level, started - 50ms);
    ASSERT_TRUE(onset.has_value());
    EXPECT_LT(*onset - started, kLimit);
}

INSTANTIATE_TEST_SUITE_P(Kinds, SoundServerAhead,
                         ::testing::Values(AheadCase{".wav", 0.05}, AheadCase{".mid", 0.01}, AheadCase{".rmi", 0.01}),
                         [](const auto& test) { return std::string(test.param.extension + 1); });

}  // namespace

namespace {

// Pause, then Play, goes on where the sound stopped: nothing is skipped or heard
// twice, and the position the device reports is what was heard.
TEST_F(SoundServer, PauseThenPlayGoesOnWherePaused) {
    auto& recorder = *recording;
    openTone(tb::test::Tone{440, 1500, 0.5});
    const auto start = std::chrono::system_clock::now();
    player.Play();
    poster.pumpFor(600ms);
    player.Pause();
    const int pausedAt = player.Position();
    poster.pumpFor(700ms);
    player.Pause();  // resumes
    ASSERT_TRUE(poster.pumpUntil([&] { return notices >= 2; }, 5s)) << "notices: " << notices;
    poster.pumpFor(300ms);

    // Heard 10 ms blocks before and after the pause.
    const auto first = recorder.onsetIndex(0.05, start - 100ms);
    ASSERT_TRUE(first.has_value()) << "nothing was heard";
    const auto all = recorder.samples();
    std::vector<bool> loud;
    for (std::size_t i = *first; i + 441 <= all.size(); i += 441) {
        int peak = 0;
        for (std::size_t k = i; k < i + 441; ++k) peak = std::max(peak, std::abs(static_cast<int>(all[k])));
        loud.push_back(peak > 3000);
    }
    std::size_t gap = 0;
    while (gap < loud.size() && loud[gap]) ++gap;
    const int before = static_cast<int>(gap) * 10;
    int after = 0;
    for (std::size_t i = gap; i < loud.size(); ++i) after += loud[i] ? 10 : 0;
    EXPECT_NEAR(before, pausedAt, 100) << "the position at the pause is not what was heard";
    EXPECT_NEAR(before + after, 1500, 100) << "heard " << before << " + " << after << " ms of a 1500 ms file";
}

}  // namespace

namespace {

// A bell made ready ahead holds a stream of the sound server; if the server restarts
// before the bell's second, the stream is dead but shows it only once it plays. The
// bell must ring all the same.
TEST(PrivateSoundServer, BellMadeReadyBeforeTheServerRestartedStillRings) {
    if (!tb::test::PulseServer::installed()) GTEST_SKIP() << "needs PulseAudio, which scripts/test.sh installs";
    tb::test::TempDir runtime;
    tb::test::PulseServer server(runtime.path());
    ASSERT_TRUE(server.start()) << server.error();
    tb::test::TempDir dir;
    tb::test::writeWav(dir / "bell.wav", tb::test::Tone{440, 400, 0.5});
    const std::string bell = (dir / "bell.wav").string();
    tb::test::ManualPoster poster;
    tb::GstMediaLayer layer(poster);
    tb::MediaPlayerDevice player(layer);
    layer.prepare(bell);
    poster.pumpFor(500ms);

    ASSERT_TRUE(server.start()) << server.error();  // stopped and started again
    tb::test::PulseRecorder recorder(std::string(tb::test::PulseServer::kSink) + ".monitor");
    ASSERT_TRUE(recorder.ok()) << recorder.error();
    player.setFileName(bell);
    player.Open();
    const auto played = std::chrono::system_clock::now();
    player.Play();
    poster.pumpFor(1500ms);
    EXPECT_TRUE(poster.errors().empty()) << poster.errors().front();
    EXPECT_TRUE(recorder.onsetIndex(0.05, played - 100ms).has_value()) << "the bell was not heard";
}

}  // namespace

namespace {

// Every format plays to its last sample: each file ends in 100 ms of a marker tone of
// another pitch, which must be heard, and the device must play on until it was.
struct TailCase {
    const char* name;
    const char* file;
    void (*write)(const std::filesystem::path&, const tb::test::Tones&);
};

void writeLameMp3(const std::filesystem::path& file, const tb::test::Tones& tones) {
    // The encoder's defaults: variable bitrate and no header that states the length.
    tb::test::writeEncoded(file, tones, "lamemp3enc");
}

const TailCase kTailCases[] = {
    {"Wav", "bell.wav", tb::test::writeFixture},
    {"Mp3FromLamemp3enc", "bell.mp3", writeLameMp3},
    {"Mp3WithLengthHeader", "bell.mp3", tb::test::writeFixture},
    {"Mp2", "bell.mp2", tb::test::writeFixture},
    {"Mid", "bell.mid", tb::test::writeFixture},
    {"Midi", "bell.midi", tb::test::writeFixture},
    {"Rmi", "bell.rmi", tb::test::writeFixture},
};

class SoundServerTail : public SoundServer, public ::testing::WithParamInterface<TailCase> {};

TEST_P(SoundServerTail, LastHundredMillisecondsAreHeardBeforePlayEnds) {
    // Long enough for a length estimated at open to be off by more than the tail.
    constexpr int kLength = 5000, kMarker = 100;
    constexpr double kBodyHz = 440;
    // B5, a piano key, and no harmonic of the body's A4.
    const double markerHz = tb::test::midiNoteFrequency(988);
    const TailCase& tail = GetParam();
    auto& recorder = *recording;
    const auto file = dir / tail.file;
    tail.write(file, {{kBodyHz, kLength - kMarker, 0.5}, {markerHz, kMarker, 0.5}});
    player.setFileName(file.string());
    player.Open();

    std::optional<std::chrono::system_clock::time_point> noticeAt, stoppedAt;
    const auto seeStopped = [&] {
        if (!stoppedAt && player.Mode() != tb::mpPlaying) stoppedAt = std::chrono::system_clock::now();
    };
    player.OnNotify = [&](tb::MediaPlayerDevice&) {
        if (!noticeAt) noticeAt = std::chrono::system_clock::now();
        seeStopped();
        ++notices;
    };
    const auto started = std::chrono::system_clock::now();
    player.Play();
    ASSERT_TRUE(poster.pumpUntil(
        [&] {
            seeStopped();
            return notices > 0;
        },
        10s));
    poster.pumpFor(300ms);
    EXPECT_EQ(player.NotifyValue(), tb::nvSuccessful);
    ASSERT_TRUE(stoppedAt.has_value());
    // Played through, the device knows the length as decoded (an encoder adds a delay
    // and pads to whole frames) and stands at its end.
    EXPECT_NEAR(player.Length(), kLength, 80);
    EXPECT_EQ(player.Position(), player.Length());

    const auto onset = recorder.onsetIndex(0.01, started - 100ms);
    ASSERT_TRUE(onset.has_value()) << "nothing was heard at the sink";
    // Judged in 10 ms blocks, since the monitor drops samples now and then. The marker
    // is where its pitch stands out, at a fifth of the loudest block or more (the MIDI
    // soundfont plays some twenty times softer than the sampled files).
    constexpr std::size_t kBlock = 441;
    std::vector<std::pair<double, double>> levels;  // body, marker
    for (std::size_t first = *onset;; first += kBlock) {
        const auto part = recorder.slice(first, kBlock);
        if (part.size() < kBlock) break;
        levels.emplace_back(tb::test::toneLevel(part.data(), part.size(), 44100, kBodyHz),
                            tb::test::toneLevel(part.data(), part.size(), 44100, markerHz));
    }
    double loudest = 0;
    for (const auto& [body, marker] : levels) loudest = std::max({loudest, body, marker});
    int markerBlocks = 0;
    std::size_t lastMarker = 0;
    for (std::size_t block = 0; block < levels.size(); ++block) {
        const auto [body, marker] = levels[block];
        if (marker > loudest / 5 && marker > 2 * body) {
            ++markerBlocks;
            lastMarker = *onset + block * kBlock;
        }
    }
    EXPECT_GE(markerBlocks, 5) << "heard " << markerBlocks * 10 << " ms of the last " << kMarker << " ms";
    if (markerBlocks > 0) {
        // A capture stamp errs late, never early, by up to a read or so.
        const auto heard = recorder.timeOf(lastMarker + kBlock - 1);
        const auto after = [&](std::chrono::system_clock::time_point t) {
            return std::chrono::duration_cast<std::chrono::milliseconds>(t - heard).count();
        };
        EXPECT_GT(after(*stoppedAt), -50) << "stopped playing before the last sample was heard";
        EXPECT_GT(after(*noticeAt), -50) << "told it was done before the last sample was heard";
        std::printf("marker heard for %d ms; stopped %lld ms after it\n", markerBlocks * 10,
                    static_cast<long long>(after(*stoppedAt)));
    }
}

void PrintTo(const TailCase& tail, std::ostream* out) { *out << tail.name; }

INSTANTIATE_TEST_SUITE_P(Formats, SoundServerTail, ::testing::ValuesIn(kTailCases),
                         [](const ::testing::TestParamInfo<TailCase>& test) { return std::string(test.param.name); });

}  // namespace
