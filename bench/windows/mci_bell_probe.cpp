// The Windows side of the second-to-sound benchmark under Wine (tb_bench_wine_mci, run by
// scripts/bench-windows.sh), in one of two roles:
//
//   tb_mci_bell_probe.exe tollbrook FOLDER FILE@MS...
//     Tollbrook's bells: the main window's presenter with the MCI media layer, its
//     schedule timer and its player, without a window. The schedule (FILE at the local
//     time of MS, milliseconds since the epoch) is written into FOLDER through the
//     program's own save, in this system's time format. A file whose name holds
//     "at-second" is never made ready ahead, as a MIDI file that follows another on the
//     sequencer is not: it is opened at its second.
//
//   tb_mci_bell_probe.exe floor FILE@MS...
//     The floor: plain MCI, each file opened on a thread of its own as far ahead as the
//     MCI layer opens the next bell's (kPrepareAheadSeconds), and told to play at its
//     second.
//
// The Linux side records the sound server and finds when each bell was heard. Printed
// here, times in milliseconds since the epoch: the floor's "open FILE MS TOOK ERROR" for
// each open ahead and "play FILE MS START END" for each play request; Tollbrook's "lost
// TEXT" for each error box and, at the end, "request COMMAND START END" for each
// request to the media layer.
#include "bench/no_window.h"
#include "core/application.h"
#include "core/desktop/autostart.h"
#include "core/dialogs.h"
#include "core/error_boxes.h"
#include "core/handler.h"
#include "core/process.h"
#include "core/playback/player_bar.h"
#include "core/presenters/main_window_presenter.h"
#include "core/schedule/clock.h"
#include "core/worker.h"
#include "front-ends/win32/ttimer.h"
#include "media/mci/mci_media_layer.h"
#include "media/mci/window_poster.h"
#include "platform/win32/locale_source_win32.h"
#include "tests/schedule_fixture.h"

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include <windows.h>
#include <mmsystem.h>

namespace {

using namespace std::chrono;

struct Bell {
    std::string file;
    std::int64_t ms;  // its second, since the epoch
};

std::vector<Bell> bellsOf(int argc, char** argv, int first) {
    std::vector<Bell> bells;
    for (int i = first; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto at = arg.rfind('@');
        bells.push_back({arg.substr(0, at), std::stoll(arg.substr(at + 1))});
    }
    return bells;
}

std::int64_t nowMs() { return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count(); }

void sleepUntil(std::int64_t ms) { std::this_thread::sleep_until(system_clock::time_point(milliseconds(ms))); }

// A bell that fails shows its box here, on the terminal, and the run goes on.
class PrintedDialogs final : public tb::DialogService {
public:
    void errorBox(tb::OpenErrorBox& box, const std::string&) override {
        std::printf("lost %s\n", box.text().c_str());
        std::fflush(stdout);
    }
    bool askYesNo(const std::string&, const std::string&) override { return false; }
    void askOk(const std::string&, const std::string&) override {}
    std::optional<std::string> openFile(const tb::TOpenDialog&) override { return std::nullopt; }
    void message(const std::string&, const std::string&) override {}
    bool confirm(const std::string&, const std::string&) override { return false; }
};

class NoAutostart final : public tb::AutostartStore {
public:
    std::string read() override { return {}; }
    void write(const std::filesystem::path&) override {}
    void remove() noexcept override {}
};

double epochMs() {
    return duration<double, std::milli>(system_clock::now().time_since_epoch()).count();
}

// The MCI layer with a stopwatch on every request; a file marked "at-second" is never
// made ready ahead.
class BenchLayer final : public tb::MediaLayer {
public:
    explicit BenchLayer(tb::MciMediaLayer& inner) : inner_(inner) {}
    std::uint32_t sendCommand(std::uint16_t id, tb::mci::Command command, std::uint32_t flags,
                              tb::MciParams& p) override {
        const double start = epochMs();
        const std::uint32_t result = inner_.sendCommand(id, command, flags, p);
        requests.push_back({command, start, epochMs()});
        return result;
    }
    std::optional<std::string> errorText(std::uint32_t code) override { return inner_.errorText(code); }
    void prepare(const std::string& file) override {
        inner_.prepare(file.find("at-second") == std::string::npos ? file : std::string());
    }
    int prepareAheadSeconds() const override { return inner_.prepareAheadSeconds(); }

    struct Request {
        tb::mci::Command command;
        double start, end;  // ms since the epoch
    };
    std::vector<Request> requests;

private:
    tb::MciMediaLayer& inner_;
};

struct TimerWindow {
    tb::TTimer* timer = nullptr;
};

LRESULT CALLBACK timerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* data = reinterpret_cast<TimerWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_TIMER && data != nullptr && data->timer != nullptr && data->timer->handleTimer(wParam)) return 0;
    return ::DefWindowProcW(window, message, wParam, lParam);
}

int tollbrookRole(const std::filesystem::path& folder, const std::vector<Bell>& bells) {
    tb::TApplication app;
    app.setTitle("Tollbrook");
    tb::setErrorBoxApplication(&app);
    PrintedDialogs dialogs;
    tb::setDialogs(&dialogs);
    tb::WindowsLocaleSource locale;
    tb::SystemClock clock;
    const tb::LongTimeFormat format(locale.read());
    std::vector<std::pair<std::string, std::string>> entries;
    for (const auto& bell : bells) entries.emplace_back(bell.file, format.render(clock.localTime(bell.ms)));
    tb::test::writeSchedule(folder, entries);
    {
        tb::WindowPoster poster;
        tb::MciMediaLayer mci(poster);
        BenchLayer media(mci);
        NoAutostart autostart;
        tb::bench::NoWindow view;
        tb::PlayerBar player(media, {29, 20});
        tb::MainWindowPresenter form({app, folder, folder / "tollbrook.exe", locale, clock, media, mci, autostart,
                                      dialogs},
                                     view, player);
        tb::runHandler([&] { form.FormCreate(); });

        // The schedule timer as the main window runs it, on a window of its own.
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = timerProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TollbrookBenchTimer";
        ::RegisterClassExW(&wc);
        const HWND window = ::CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                              wc.hInstance, nullptr);
        TimerWindow data;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&data));
        tb::TTimer timer(window, 1, clock);
        data.timer = &timer;
        timer.OnTimer = [&] { form.Timer1Timer(); };
        timer.setEnabled(true);
        const std::int64_t end = bells.back().ms + 3000;
        while (nowMs() < end) {
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::max<std::int64_t>(end - nowMs(), 1)),
                                        QS_ALLINPUT);
            MSG msg;
            while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
        }
        timer.setEnabled(false);
        player.Close();
        ::DestroyWindow(window);
        for (const auto& r : media.requests) {
            std::printf("request %u %.3f %.3f\n", static_cast<unsigned>(r.command), r.start, r.end);
        }
    }
    tb::setDialogs(nullptr);
    tb::setErrorBoxApplication(nullptr);
    // The closes end on their workers before the process does.
    return tb::Worker::waitForAll(10s) ? 0 : 1;
}

// One bell of the floor, on a thread of its own.
void floorBell(const Bell& bell, int lead, int number) {
    const std::wstring file = [&] {
        std::wstring w(bell.file.size(), L'\0');
        w.resize(static_cast<std::size_t>(::MultiByteToWideChar(CP_UTF8, 0, bell.file.data(),
                                                                static_cast<int>(bell.file.size()), w.data(),
                                                                static_cast<int>(w.size()))));
        return w;
    }();
    const std::wstring alias = L"floor" + std::to_wstring(number);
    sleepUntil(bell.ms - lead * 1000LL);
    MCI_OPEN_PARMSW open{};
    open.lpstrElementName = file.c_str();
    open.lpstrAlias = alias.c_str();
    const auto start = steady_clock::now();
    const MCIERROR error = ::mciSendCommandW(0, MCI_OPEN, MCI_OPEN_ELEMENT | MCI_OPEN_ALIAS | MCI_WAIT,
                                             reinterpret_cast<DWORD_PTR>(&open));
    const auto took = duration_cast<milliseconds>(steady_clock::now() - start).count();
    std::printf("open %s %lld %lld %lu\n", bell.file.c_str(), static_cast<long long>(bell.ms),
                static_cast<long long>(took), error);
    std::fflush(stdout);
    if (error != 0) return;
    sleepUntil(bell.ms);
    MCI_PLAY_PARMS play{};
    const double sent = epochMs();
    ::mciSendCommandW(open.wDeviceID, MCI_PLAY, 0, reinterpret_cast<DWORD_PTR>(&play));
    std::printf("play %s %lld %.3f %.3f\n", bell.file.c_str(), static_cast<long long>(bell.ms), sent, epochMs());
    std::fflush(stdout);
    sleepUntil(bell.ms + 2500);
    MCI_GENERIC_PARMS close{};
    ::mciSendCommandW(open.wDeviceID, MCI_CLOSE, MCI_WAIT, reinterpret_cast<DWORD_PTR>(&close));
}

int floorRole(const std::vector<Bell>& bells) {
    const int lead = tb::MciMediaLayer::kPrepareAheadSeconds;
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < bells.size(); ++i) threads.emplace_back(floorBell, bells[i], lead, static_cast<int>(i));
    for (auto& t : threads) t.join();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    tb::initProcess();
    const std::string role = argc > 2 ? argv[1] : "";
    if (role == "tollbrook") return tollbrookRole(std::filesystem::u8path(argv[2]), bellsOf(argc, argv, 3));
    if (role == "floor") return floorRole(bellsOf(argc, argv, 2));
    std::fprintf(stderr, "usage: %s tollbrook FOLDER FILE@MS... | floor FILE@MS...\n", argc > 0 ? argv[0] : "probe");
    return 2;
}
