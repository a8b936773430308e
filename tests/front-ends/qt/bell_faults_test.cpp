// Bells that go wrong, with the real media layer under the main window: whatever the
// file or the sound output does, the window answers, the failure is shown, and the
// next bell rings.
#include "media/gstreamer/gst_media_layer.h"
#include "front-ends/qt/qt_poster.h"
#include "tests/media/gstreamer/fixtures.h"
#include "tests/media/gstreamer/gst_support.h"
#include "tests/media/gstreamer/pulse_recorder.h"
#include "tests/media/gstreamer/pulse_server.h"
#include "tests/front-ends/qt/main_window_fixture.h"
#include "platform/posix/autostart_posix.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <sys/stat.h>

using namespace std::chrono_literals;

namespace tb::test {
namespace {

class BellFaults : public ::testing::Test {
protected:
    BellFaults() {
        app.setTitle("Tollbrook");
        app.endLoop = [] {};
        setErrorBoxApplication(&app);
    }
    ~BellFaults() override { setErrorBoxApplication(nullptr); }

    std::unique_ptr<TForm1> create(GstMediaLayer& media) {
        auto form = std::make_unique<TForm1>(
            MainWindowServices{app, dir.path(), "/opt/tollbrook/tollbrook", locale, clock, media, media, autostart,
                               dialogs});
        runHandler([&] { form->FormCreate(); });
        return form;
    }
    static void pumpUntil(const std::function<bool()>& done, int ms) {
        QElapsedTimer timer;
        timer.start();
        while (!done() && timer.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    std::string tone(const std::string& name, int ms = 400) {
        writeWav(dir / name, Tone{440, ms, 0.5});
        return (dir / name).string();
    }

    ScriptedDialogs dialogs;
    FixedLocaleSource locale{LocaleSettings{}};
    TApplication app;
    TempDir dir;
    TempDir config;
    FakeClock clock;
    QtPoster poster;
    XdgAutostart autostart{config / "autostart"};
};

TEST_F(BellFaults, FifoBellIsRefusedAtOnceAndTheNextBellRings) {
    RecordingSink sink;
    GstMediaLayer media(poster, GstMediaLayer::Options{[&] { return sink.make(); }, {}, 2000ms, 10000ms});
    const std::string fifo = (dir / "stuck.mp3").string();
    ::mkfifo(fifo.c_str(), 0600);
    writeSchedule(dir.path(), {{fifo, "8:00:00"}, {tone("next.wav"), "8:00:03"}});
    auto form = create(media);

    clock.at(8, 0, 0, 5);
    QElapsedTimer answered;
    answered.start();
    runHandler([&] { form->Timer1Timer(); });
    EXPECT_LT(answered.elapsed(), 1000) << "the window waited on the FIFO";
    ASSERT_EQ(dialogs.errors().size(), 1u);
    EXPECT_EQ(dialogs.errors()[0], "Not a regular file: " + fifo + ".");
    EXPECT_EQ(form->statusText(), QStringLiteral("No repertoire is being played"));

    clock.at(8, 0, 3, 5);
    form->Timer1Timer();
    EXPECT_EQ(form->controls().MediaPlayer1->Mode(), mpPlaying);
    pumpUntil([&] { return sink.peak() > 0.3; }, 5000);
    EXPECT_GT(sink.peak(), 0.3) << "the next bell was not heard";
    EXPECT_EQ(dialogs.errors().size(), 1u);
}

TEST_F(BellFaults, BellWithoutSoundServerSaysSoAndTheNextRingsOnceItIsBack) {
    if (!PulseServer::installed()) GTEST_SKIP() << "needs PulseAudio, which scripts/test.sh installs";
    TempDir runtime;
    PulseServer server(runtime.path());
    server.use();  // nothing answers there yet
    GstMediaLayer media(poster);
    const std::string bell = tone("bell.wav", 600);
    writeSchedule(dir.path(), {{bell, "8:00:00"}, {bell, "8:00:05"}});
    auto form = create(media);

    clock.at(8, 0, 0, 5);
    runHandler([&] { form->Timer1Timer(); });
    ASSERT_EQ(dialogs.errors().size(), 1u);
    EXPECT_EQ(dialogs.errors()[0], "No audio output is available: " + bell + ".");
    EXPECT_EQ(form->statusText(), QStringLiteral("No repertoire is being played"));
    EXPECT_NE(form->controls().MediaPlayer1->Mode(), mpPlaying);

    ASSERT_TRUE(server.start()) << server.error();
    PulseRecorder recorder(std::string(PulseServer::kSink) + ".monitor");
    ASSERT_TRUE(recorder.ok()) << recorder.error();
    clock.at(8, 0, 5, 5);
    runHandler([&] { form->Timer1Timer(); });
    EXPECT_EQ(form->controls().MediaPlayer1->Mode(), mpPlaying);
    EXPECT_EQ(form->statusText(), QString::fromStdString("A repertoire being played:" + bell));
    pumpUntil([&] { return recorder.onsetIndex(0.05, {}).has_value(); }, 5000);
    EXPECT_TRUE(recorder.onsetIndex(0.05, {}).has_value()) << "the bell after the server came back was not heard";
    EXPECT_EQ(dialogs.errors().size(), 1u);
}

}  // namespace
}  // namespace tb::test
