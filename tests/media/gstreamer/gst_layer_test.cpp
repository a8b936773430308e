#include "media/gstreamer/gst_media_layer.h"
#include "core/playback/media_player_device.h"
#include "core/worker.h"
#include "tests/media/gstreamer/fixtures.h"
#include "tests/media/gstreamer/gst_support.h"
#include "tests/temp_dir.h"

#include <gtest/gtest.h>

#include <deque>
#include <gst/gst.h>
#include <mutex>
#include <thread>

#include <sys/stat.h>

using namespace std::chrono_literals;
using tb::test::ManualPoster;
using tb::test::RecordingSink;
using tb::test::TempDir;
using tb::test::Tone;

namespace {

// A layer playing into a recording sink, with one player control on it.
class GstLayer : public ::testing::Test {
protected:
    GstLayer()
        : layer(poster, tb::GstMediaLayer::Options{[this] { return sink.make(); }, {}, 10000ms}), player(layer) {
        player.OnNotify = [this](tb::MediaPlayerDevice&) { ++notices; };
    }
    std::string fixture(const std::string& name, Tone tone = {}) {
        const auto file = dir / name;
        if (!std::filesystem::exists(file)) tb::test::writeFixture(file, tone);
        return file.string();
    }
    void openFile(const std::string& file) {
        player.setFileName(file);
        player.Open();
    }
    // Real time passes while the test waits; notices are pumped meanwhile.
    void wait(std::chrono::milliseconds span) { poster.pumpFor(span); }
    bool waitForNotice(int count, std::chrono::milliseconds limit = 5000ms) {
        return poster.pumpUntil([&] { return notices >= count; }, limit);
    }

    TempDir dir;
    ManualPoster poster;
    RecordingSink sink;
    tb::GstMediaLayer layer;
    tb::MediaPlayerDevice player;
    int notices = 0;
};

struct KindCase {
    const char* extension;
    int toleranceMs;  // MPEG encoders add a delay and pad to whole frames
    friend void PrintTo(const KindCase& c, std::ostream* os) { *os << c.extension; }
};

class GstLayerKinds : public GstLayer, public ::testing::WithParamInterface<KindCase> {};

TEST_P(GstLayerKinds, OpensStoppedAtStartWithTheFileLength) {
    const auto file = fixture(std::string("tone") + GetParam().extension, Tone{440, 1500, 0.5});
    openFile(file);
    EXPECT_NE(player.DeviceID(), 0);
    EXPECT_EQ(player.Mode(), tb::mpStopped);
    EXPECT_EQ(player.Position(), 0);
    EXPECT_NEAR(player.Length(), 1500, GetParam().toleranceMs);
    EXPECT_TRUE(player.Capabilities().contains(tb::mpCanPlay));
}

TEST_P(GstLayerKinds, PlaysToTheEndWithOneSuccessfulNotice) {
    const auto file = fixture(std::string("short") + GetParam().extension, Tone{440, 400, 0.5});
    openFile(file);
    player.Play();
    EXPECT_EQ(player.Error(), 0);
    EXPECT_EQ(player.Mode(), tb::mpPlaying);
    ASSERT_TRUE(waitForNotice(1));
    EXPECT_EQ(player.NotifyValue(), tb::nvSuccessful);
    EXPECT_EQ(player.Mode(), tb::mpStopped);
    EXPECT_EQ(player.Position(), player.Length());
    wait(300ms);
    EXPECT_EQ(notices, 1);
    EXPECT_GT(sink.peak(), 0.01) << "no sound reached the sink";
}

INSTANTIATE_TEST_SUITE_P(EveryKind, GstLayerKinds,
                         ::testing::Values(KindCase{".wav", 3}, KindCase{".mp3", 80}, KindCase{".mp2", 30},
                                           KindCase{".mid", 3}, KindCase{".midi", 3}, KindCase{".rmi", 3}),
                         [](const auto& test) { return std::string(test.param.extension + 1); });

// MPEG audio files without a header that states their length: the length at open is
// the playing time, whatever the bitrate of the first frames.
struct EncoderCase {
    const char* name;
    const char* file;
    const char* encoder;
    friend void PrintTo(const EncoderCase& c, std::ostream* os) { *os << c.name; }
};

class GstLayerUnstatedLength : public GstLayer, public ::testing::WithParamInterface<EncoderCase> {};

TEST_P(GstLayerUnstatedLength, OpensWithThePlayingTime) {
    const auto file = dir / GetParam().file;
    // A loud start, then a soft tone: a variable bitrate falls from the first frames on.
    tb::test::writeEncoded(file, {{3000, 300, 0.9}, {440, 4700, 0.2}}, GetParam().encoder);
    openFile(file.string());
    // An encoder adds a delay and pads to whole frames.
    EXPECT_NEAR(player.Length(), 5000, 80);
}

INSTANTIATE_TEST_SUITE_P(Encoders, GstLayerUnstatedLength,
                         ::testing::Values(EncoderCase{"Mp3VariableBitrate", "vbr.mp3", "lamemp3enc"},
                                           EncoderCase{"Mp3ConstantBitrate", "cbr.mp3",
                                                       "lamemp3enc target=bitrate cbr=true bitrate=128"},
                                           EncoderCase{"Mp2", "plain.mp2", "twolamemp2enc"}),
                         [](const auto& test) { return std::string(test.param.name); });

TEST_F(GstLayer, PositionAdvancesWhilePlayingAndHoldsOtherwise) {
    openFile(fixture("long.wav", Tone{440, 3000, 0.5}));
    player.Play();
    wait(400ms);
    const int playing = player.Position();
    EXPECT_GT(playing, 250);
    EXPECT_LT(playing, 700);

    player.Pause();
    EXPECT_EQ(player.Mode(), tb::mpPaused);
    const int paused = player.Position();
    wait(300ms);
    EXPECT_EQ(player.Position(), paused);

    player.Pause();  // resumes
    EXPECT_EQ(player.Mode(), tb::mpPlaying);
    wait(300ms);
    player.Stop();
    const int stopped = player.Position();
    EXPECT_GT(stopped, paused + 150);
    wait(300ms);
    EXPECT_EQ(player.Position(), stopped);
    EXPECT_EQ(player.Mode(), tb::mpStopped);

    player.Play();  // continues where it stopped
    wait(100ms);
    EXPECT_GE(player.Position(), stopped);
    EXPECT_LT(player.Position(), stopped + 400);
}

TEST_F(GstLayer, ReopenPlaysFromTheStart) {
    const auto file = fixture("long.wav", Tone{440, 3000, 0.5});
    openFile(file);
    player.Play();
    wait(500ms);
    player.Stop();
    player.Open();
    EXPECT_EQ(player.Position(), 0);
    player.Play();
    wait(100ms);
    EXPECT_LT(player.Position(), 400);
}

// Stop, a second play and a stale notice: the media layer's contract
// (tests/media/media_layer_contract.cpp).
TEST_F(GstLayer, CloseDuringPlayStopsSoundAndStillDeliversTheNotice) {
    openFile(fixture("long.wav", Tone{440, 3000, 0.5}));
    player.Play();
    wait(200ms);
    player.Close();
    EXPECT_EQ(layer.openDevices(), 0u);
    ASSERT_TRUE(waitForNotice(1));
    EXPECT_EQ(player.NotifyValue(), tb::nvAborted);
    // The pipeline goes to NULL on the device's worker, which the close does not wait
    // for; once that worker has ended, nothing more reaches the sink.
    ASSERT_TRUE(tb::Worker::waitForAll(5s)) << "the device's worker never ended";
    const auto heard = sink.samples().size();
    wait(300ms);
    EXPECT_EQ(sink.samples().size(), heard);
}

TEST_F(GstLayer, PlayFromToPlaysThatStretch) {
    openFile(fixture("long.wav", Tone{440, 3000, 0.5}));
    player.setStartPos(1000);
    player.setEndPos(1300);
    player.Play();
    ASSERT_TRUE(waitForNotice(1));
    EXPECT_EQ(player.NotifyValue(), tb::nvSuccessful);
    EXPECT_EQ(player.Position(), 1300);
    const double seconds = static_cast<double>(sink.samples().size()) / RecordingSink::kRate;
    EXPECT_NEAR(seconds, 0.3, 0.05);
}

TEST_F(GstLayer, WithoutRewindAPlayedFileStaysAtItsEnd) {
    openFile(fixture("short.wav", Tone{440, 300, 0.5}));
    player.setAutoRewind(false);
    player.Play();
    ASSERT_TRUE(waitForNotice(1));
    sink.clear();
    player.Play();
    ASSERT_TRUE(waitForNotice(2));
    EXPECT_EQ(player.NotifyValue(), tb::nvSuccessful);
    EXPECT_EQ(player.Position(), player.Length());
    EXPECT_TRUE(sink.samples().empty());

    player.setAutoRewind(true);
    player.Play();
    EXPECT_EQ(player.Mode(), tb::mpPlaying);
    ASSERT_TRUE(waitForNotice(3));
    EXPECT_GT(sink.samples().size(), RecordingSink::kRate / 5);
}

TEST_F(GstLayer, SeekLeavesTheDeviceStoppedAtTheTarget) {
    openFile(fixture("long.wav", Tone{440, 3000, 0.5}));
    player.Play();
    wait(200ms);
    player.setPosition(2000);
    EXPECT_EQ(player.Mode(), tb::mpStopped);
    EXPECT_EQ(player.Position(), 2000);
    player.Next();
    EXPECT_EQ(player.Position(), player.Length());
    player.Previous();
    EXPECT_EQ(player.Position(), 0);
}

TEST_F(GstLayer, VolumeScalesTheSamples) {
    const auto file = fixture("loud.wav", Tone{440, 500, 0.8});
    openFile(file);
    player.Play();
    ASSERT_TRUE(waitForNotice(1));
    const double full = sink.peak();
    sink.clear();
    layer.setVolume(tb::volumeForSlider(128));
    player.Rewind();
    player.Play();
    ASSERT_TRUE(waitForNotice(2));
    EXPECT_NEAR(sink.peak() / full, 128.0 * 256 / 65535, 0.02);
    sink.clear();
    layer.setVolume(tb::volumeForSlider(0));
    player.Rewind();
    player.Play();
    ASSERT_TRUE(waitForNotice(3));
    EXPECT_LT(sink.peak(), 0.001);
}

TEST_F(GstLayer, VolumeSetBeforeOpenAppliesToNewDevices) {
    layer.setVolume(tb::volumeForSlider(64));
    openFile(fixture("loud.wav", Tone{440, 500, 0.8}));
    player.Play();
    ASSERT_TRUE(waitForNotice(1));
    EXPECT_NEAR(sink.peak(), 0.8 * 64 * 256 / 65535, 0.02);
}

struct BadOpen {
    const char* name;
    std::function<std::string(const TempDir&)> make;
    std::string text;
};

TEST_F(GstLayer, UnplayableFilesGiveAnErrorAndLeaveNoDevice) {
    const std::vector<BadOpen> cases = {
        {"missing", [](const TempDir& d) { return (d / "gone.mp3").string(); }, "The file cannot be found"},
        {"empty name", [](const TempDir&) { return std::string(); }, "No file was named to open"},
        {"folder", [](const TempDir& d) { return d.path().string(); }, "The name is that of a folder, not of a file"},
        {"garbage",
         [](const TempDir& d) {
             d.write("noise.mp3", std::string(4096, '\x5A'));
             return (d / "noise.mp3").string();
         },
         "The file is not in a format that can be played"},
        {"empty file",
         [](const TempDir& d) {
             d.write("empty.wav", "");
             return (d / "empty.wav").string();
         },
         "The file is not in a format that can be played"},
        {"text",
         [](const TempDir& d) {
             d.write("notes.txt", "This is a schedule note, not music.\n");
             return (d / "notes.txt").string();
         },
         "The file is not in a format that can be played"},
        // Opening either would block or read for ever.
        {"fifo",
         [](const TempDir& d) {
             ::mkfifo((d / "bell.mp3").c_str(), 0600);
             return (d / "bell.mp3").string();
         },
         "Not a regular file"},
        {"device", [](const TempDir&) { return std::string("/dev/zero"); }, "Not a regular file"},
    };
    for (const auto& c : cases) {
        const std::string file = c.make(dir);
        player.setFileName(file);
        try {
            player.Open();
            ADD_FAILURE() << c.name << ": opened";
        } catch (const tb::EMCIDeviceError& e) {
            // Each text names its file, so that staff can tell which bell failed.
            EXPECT_EQ(std::string(e.what()), c.text + (file.empty() ? "" : ": " + file)) << c.name;
        }
        EXPECT_NE(player.Error(), 0) << c.name;
        EXPECT_EQ(player.DeviceID(), 0) << c.name;
        EXPECT_EQ(layer.openDevices(), 0u) << c.name;
        EXPECT_NE(player.Mode(), tb::mpPlaying) << c.name;
        EXPECT_THROW(player.Play(), tb::EMCIDeviceError) << c.name;
    }
}

TEST_F(GstLayer, OpenOnAnOpenDeviceClosesItFirst) {
    openFile(fixture("long.wav", Tone{440, 3000, 0.5}));
    const auto first = player.DeviceID();
    player.Play();
    wait(200ms);
    openFile(fixture("short.wav", Tone{440, 300, 0.5}));
    EXPECT_NE(player.DeviceID(), first);
    EXPECT_EQ(layer.openDevices(), 1u);
    EXPECT_EQ(player.Mode(), tb::mpStopped);
    EXPECT_EQ(player.Position(), 0);
}

// MIDI plays through FluidSynth: a play from a position starts with the notes struck
// from there on (one held from before stays silent, as on a sequencer) and stops where
// asked.
class GstLayerMidi : public GstLayer, public ::testing::WithParamInterface<const char*> {};

TEST_P(GstLayerMidi, PlayFromToPlaysTheNotesOfThatStretch) {
    const auto file = dir / (std::string("two") + GetParam());
    tb::test::writeFixture(file, {{440, 1000, 0.5}, {880, 1000, 0.5}});
    openFile(file.string());
    EXPECT_EQ(player.Length(), 2000);
    player.setStartPos(900);
    player.setEndPos(1500);
    player.Play();
    ASSERT_TRUE(waitForNotice(1));
    EXPECT_EQ(player.NotifyValue(), tb::nvSuccessful);
    EXPECT_EQ(player.Position(), 1500);
    const auto samples = sink.samples();
    EXPECT_NEAR(static_cast<double>(samples.size()) / RecordingSink::kRate, 0.6, 0.05);
    const double a4 = tb::test::toneLevel(samples.data(), samples.size(), RecordingSink::kRate, 440);
    const double a5 = tb::test::toneLevel(samples.data(), samples.size(), RecordingSink::kRate, 880);
    EXPECT_GT(a5, 0.001) << "the second note was not heard";
    EXPECT_LT(a4, a5 / 4) << "the first note sounded after the start";
}

INSTANTIATE_TEST_SUITE_P(Midi, GstLayerMidi, ::testing::Values(".mid", ".rmi"),
                         [](const auto& test) { return std::string(test.param + 1); });

TEST(GstLayerSoundfont, MidiWithoutSoundfontSaysSo) {
    TempDir dir;
    ManualPoster poster;
    RecordingSink sink;
    tb::GstMediaLayer::Options options{[&] { return sink.make(); }, dir / "none.sf2", 10000ms};
    tb::GstMediaLayer layer(poster, options);
    tb::MediaPlayerDevice player(layer);
    tb::test::writeMidi(dir / "a.mid", Tone{});
    player.setFileName((dir / "a.mid").string());
    try {
        player.Open();
        FAIL() << "opened without a soundfont";
    } catch (const tb::EMCIDeviceError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "MIDI files cannot be played: no General MIDI soundfont is installed: " + (dir / "a.mid").string());
    }
}

}  // namespace

namespace {

// A layer whose sinks come from a list the test fills: each new pipeline takes the next.
class GstLayerFaults : public ::testing::Test {
protected:
    using Make = std::function<GstElement*()>;
    explicit GstLayerFaults(std::chrono::milliseconds waitLimit = 2000ms)
        : layer(poster, tb::GstMediaLayer::Options{[this] { return nextSink(); }, {}, waitLimit, 10000ms}),
          player(layer) {
        player.OnNotify = [this](tb::MediaPlayerDevice&) { ++notices; };
    }
    GstElement* nextSink() {
        std::lock_guard lock(mutex);
        ++made;
        if (sinks.empty()) return recording.make();
        Make make = std::move(sinks.front());
        sinks.pop_front();
        return make();
    }
    std::string fixture(const std::string& name, Tone tone) {
        tb::test::writeFixture(dir / name, tone);
        return (dir / name).string();
    }

    TempDir dir;
    ManualPoster poster;
    RecordingSink recording;
    std::mutex mutex;
    std::deque<Make> sinks;
    int made = 0;  // pipelines built, on the devices' workers: read through pipelinesMade()
    int pipelinesMade() {
        std::lock_guard lock(mutex);
        return made;
    }
    tb::GstMediaLayer layer;
    tb::MediaPlayerDevice player;
    int notices = 0;
};

class GstLayerHang : public GstLayerFaults {
protected:
    GstLayerHang() : GstLayerFaults(300ms) {}
};

// A file on a hung share, or a sink that never answers, must not hold up the caller:
// the open gives up within its bound and the stuck worker ends by itself later.
TEST_F(GstLayerHang, OpenThatHangsTimesOutAndItsWorkerIsLetGo) {
    const auto file = fixture("a.wav", Tone{440, 200, 0.5});
    sinks.push_back([] {
        std::this_thread::sleep_for(1500ms);
        return static_cast<GstElement*>(nullptr);
    });
    player.setFileName(file);
    const auto before = std::chrono::steady_clock::now();
    try {
        player.Open();
        FAIL() << "opened";
    } catch (const tb::EMCIDeviceError& e) {
        EXPECT_EQ(std::string(e.what()), "The file could not be made ready to play in time: " + file);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - before, 1200ms);
    EXPECT_EQ(layer.openDevices(), 0u);
    EXPECT_TRUE(tb::Worker::waitForAll(10s)) << "the stuck worker never ended";
    // The next open of the same file works as if nothing had happened.
    player.Open();
    player.Play();
    EXPECT_TRUE(poster.pumpUntil([&] { return notices == 1; }, 5s)) << "notices: " << notices;
    EXPECT_EQ(player.NotifyValue(), tb::nvSuccessful);
}

TEST_F(GstLayerFaults, SinkThatFailsToPlaySaysNoAudioOutputAndTheNextPlayRecovers) {
    const auto file = fixture("a.wav", Tone{440, 300, 0.5});
    sinks.push_back([] {
        GstElement* sink = gst_element_factory_make("fakesink", nullptr);
        gst_util_set_object_arg(G_OBJECT(sink), "state-error", "paused-to-playing");
        return sink;
    });
    player.setFileName(file);
    player.Open();
    player.Play();
    EXPECT_NE(player.Error(), 0);
    EXPECT_NE(player.Mode(), tb::mpPlaying);
    poster.pumpFor(100ms);
    EXPECT_EQ(poster.errors(), std::vector<std::string>{"No audio output is available: " + file});
    EXPECT_EQ(player.NotifyValue(), tb::nvFailure);

    // The device builds its pipeline anew, with a sink that works.
    player.Play();
    EXPECT_EQ(player.Error(), 0);
    ASSERT_TRUE(poster.pumpUntil([&] { return notices == 2; }, 5s)) << "notices: " << notices;
    EXPECT_EQ(player.NotifyValue(), tb::nvSuccessful);
    EXPECT_GT(recording.peak(), 0.3);
}

TEST_F(GstLayerFaults, FileReplacedAfterOpenPlaysAsItIsNow) {
    const auto file = fixture("bell.wav", Tone{440, 300, 0.5});
    player.setFileName(file);
    player.Open();
    EXPECT_EQ(player.Length(), 300);
    tb::test::writeWav(dir / "new.wav", Tone{880, 900, 0.5});
    std::filesystem::rename(dir / "new.wav", file);
    player.Play();
    EXPECT_EQ(player.Length(), 900);
    ASSERT_TRUE(poster.pumpUntil([&] { return notices == 1; }, 5s)) << "notices: " << notices;
    const auto samples = recording.samples();
    EXPECT_GT(tb::test::toneLevel(samples.data(), samples.size(), RecordingSink::kRate, 880), 0.2);
}

TEST_F(GstLayerFaults, MidiMadeReadyAheadIsAdoptedAndPlays) {
    const auto bell = fixture("bell.mid", Tone{440, 300, 0.5});
    layer.prepare(bell);
    poster.pumpFor(500ms);
    EXPECT_EQ(pipelinesMade(), 1);
    player.setFileName(bell);
    player.Open();
    EXPECT_EQ(pipelinesMade(), 1) << "the open did not take the pipeline made ready";
    EXPECT_EQ(player.Length(), 300);
    player.Play();
    ASSERT_TRUE(poster.pumpUntil([&] { return notices == 1; }, 5s));
    EXPECT_EQ(player.NotifyValue(), tb::nvSuccessful);
    EXPECT_GT(recording.peak(), 0.01);
}

}  // namespace

namespace {

// The next bell's file is made ready ahead and its open adopts that pipeline; anything
// that makes it doubtful is opened anew, as an open without preparation would be.
TEST_F(GstLayerFaults, OpenAdoptsWhatWasMadeReadyUnlessItChangedOrFailed) {
    const auto bell = fixture("bell.wav", Tone{440, 300, 0.5});
    layer.prepare(bell);
    poster.pumpFor(300ms);
    EXPECT_EQ(pipelinesMade(), 1);
    player.setFileName(bell);
    player.Open();
    EXPECT_EQ(pipelinesMade(), 1) << "the open did not take the pipeline made ready";
    player.Play();
    ASSERT_TRUE(poster.pumpUntil([&] { return notices == 1; }, 5s)) << "notices: " << notices;
    EXPECT_GT(recording.peak(), 0.3);

    // Replaced after it was made ready: opened anew, and the new sound plays.
    layer.prepare(bell);
    poster.pumpFor(300ms);
    tb::test::writeWav(dir / "new.wav", Tone{880, 300, 0.5});
    std::filesystem::rename(dir / "new.wav", bell);
    recording.clear();
    player.Open();
    player.Play();
    ASSERT_TRUE(poster.pumpUntil([&] { return notices == 2; }, 5s)) << "notices: " << notices;
    const auto samples = recording.samples();
    EXPECT_GT(tb::test::toneLevel(samples.data(), samples.size(), RecordingSink::kRate, 880), 0.2);

    // A preparation that failed is not used: the open reports what it finds itself.
    const std::string gone = (dir / "gone.wav").string();
    layer.prepare(gone);
    poster.pumpFor(100ms);
    player.setFileName(gone);
    EXPECT_THROW(player.Open(), tb::EMCIDeviceError);
    sinks.push_back([] {
        GstElement* sink = gst_element_factory_make("fakesink", nullptr);
        gst_util_set_object_arg(G_OBJECT(sink), "state-error", "ready-to-paused");
        return sink;
    });
    layer.prepare(bell);
    poster.pumpFor(300ms);
    player.setFileName(bell);
    player.Open();
    EXPECT_EQ(player.Error(), 0);
    EXPECT_TRUE(poster.errors().empty());
}

}  // namespace
