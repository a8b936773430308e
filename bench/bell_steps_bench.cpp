// Where a bell's time goes, step by step: the main window's presenter (no window) and the
// real media layer in this process, every request to the layer timed, and the sound
// timed at the sink. Needs the services of scripts/bench.sh.
//   build/bench/tb_bench_bell_steps
//   tick   from the second to the tick's first request
//   close  the stop and close of the bell before
//   open   the open (of the file made ready ahead)
//   play   the play request
//   server from the play's return to the first sample at the sink
#include "core/error_boxes.h"
#include "core/application.h"
#include "core/dialogs.h"
#include "bench/bell_schedule.h"
#include "core/desktop/autostart.h"
#include "media/gstreamer/gst_media_layer.h"
#include "bench/no_window.h"
#include "core/playback/player_bar.h"
#include "core/presenters/main_window_presenter.h"
#include "tests/media/gstreamer/gst_support.h"
#include "core/schedule/clock.h"
#include "core/schedule/locale_settings.h"
#include "tests/media/gstreamer/pulse_recorder.h"
#include "platform/posix/autostart_posix.h"
#include "platform/posix/locale_source_posix.h"


#include <clocale>

namespace {

using tb::bench::Clock;

struct Request {
    tb::mci::Command command;
    Clock::time_point start, end;
};

// The media layer with a stopwatch on every request.
class TimingLayer final : public tb::MediaLayer {
public:
    explicit TimingLayer(tb::MediaLayer& inner) : inner_(inner) {}
    std::uint32_t sendCommand(std::uint16_t id, tb::mci::Command command, std::uint32_t flags,
                              tb::MciParams& p) override {
        const auto start = Clock::now();
        const std::uint32_t result = inner_.sendCommand(id, command, flags, p);
        requests.push_back({command, start, Clock::now()});
        return result;
    }
    std::optional<std::string> errorText(std::uint32_t code) override { return inner_.errorText(code); }
    void prepare(const std::string& file) override { inner_.prepare(file); }
    int prepareAheadSeconds() const override { return inner_.prepareAheadSeconds(); }

    std::vector<Request> requests;

private:
    tb::MediaLayer& inner_;
};

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// A bell that fails shows its box on the terminal instead, so the run goes on.
class PrintedDialogs final : public tb::DialogService {
public:
    void errorBox(tb::OpenErrorBox& box, const std::string&) override { std::fprintf(stderr, "error: %s\n", box.text().c_str()); }
    bool askYesNo(const std::string&, const std::string&) override { return false; }
    void askOk(const std::string&, const std::string&) override {}
    std::optional<std::string> openFile(const tb::TOpenDialog&) override { return std::nullopt; }
    void message(const std::string&, const std::string&) override {}
    bool confirm(const std::string&, const std::string&) override { return false; }
};

}  // namespace

int main(int argc, char** argv) {
    using namespace tb::bench;
    (void)argc;
    (void)argv;
    std::setlocale(LC_ALL, "");
    const std::string sink = tb::test::testSink();
    if (sink.empty()) {
        std::fprintf(stderr, "needs TOLLBROOK_TEST_SINK (scripts/bench.sh)\n");
        return 2;
    }
    tb::test::PulseRecorder recorder(sink + ".monitor");
    if (!recorder.ok()) return 1;
    tb::test::TempDir dir;
    const auto bells = writeBells(dir.path());
    std::map<std::string, double> lead;
    for (const auto& kind : kKinds) lead[kind] = leadMs(dir / ("bell" + kind));

    tb::TApplication app;
    app.setTitle("Tollbrook");
    PrintedDialogs dialogs;
    tb::setDialogs(&dialogs);
    tb::test::ManualPoster poster;
    tb::GstMediaLayer media(poster);
    TimingLayer timed(media);
    tb::PosixLocaleSource locale;
    tb::SystemClock clock;
    tb::XdgAutostart autostart(dir / "autostart");
    NoWindow window;
    tb::PlayerBar player(timed, {29, 20});
    tb::MainWindowPresenter form({app, dir.path(), "/opt/tollbrook/tollbrook", locale, clock, timed, media, autostart,
                                  dialogs},
                                 window, player);
    form.FormCreate();
    // The program's timer, without a window: armed for just after each second.
    while (Clock::now() < bells.back().due + std::chrono::seconds(2)) {
        // What the media layer posts meanwhile is handled as the event loop would.
        poster.pumpFor(std::chrono::milliseconds(tb::msUntilNextTick(clock.nowMs())));
        form.Timer1Timer();
    }

    std::map<std::string, std::vector<double>> tick, close, open, play, server;
    for (const auto& bell : bells) {
        const auto second = [&](const Request& r) { return r.start >= bell.due && r.start < bell.due + std::chrono::seconds(1); };
        const Request* first = nullptr;
        const Request* opened = nullptr;
        const Request* played = nullptr;
        double closing = 0;
        for (const auto& r : timed.requests) {
            if (!second(r)) continue;
            if (first == nullptr) first = &r;
            if (r.command == tb::mci::Command::Stop || r.command == tb::mci::Command::Close) closing += ms(r.end - r.start);
            if (r.command == tb::mci::Command::Open) opened = &r;
            if (r.command == tb::mci::Command::Play && played == nullptr) played = &r;
        }
        const auto onset = recorder.onsetIndex(kOnsetLevel, bell.due - std::chrono::milliseconds(200));
        if (first == nullptr || opened == nullptr || played == nullptr || !onset) continue;
        tick[bell.kind].push_back(ms(first->start - bell.due));
        close[bell.kind].push_back(closing);
        open[bell.kind].push_back(ms(opened->end - opened->start));
        play[bell.kind].push_back(ms(played->end - played->start));
        server[bell.kind].push_back(ms(recorder.timeOf(*onset) - played->end) - lead[bell.kind]);
    }
    printTable("tick: from the second to the tick's first request", tick);
    printTable("close: stop and close of the bell before", close);
    printTable("open", open);
    printTable("play", play);
    printTable("server: from the play's return to the first sound at the sink (less the file's own lead)", server);
    return 0;
}
