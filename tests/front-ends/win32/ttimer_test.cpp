// The schedule timer on a window of its own: armed from the wall clock each time, and
// ticking inside every kind of modal loop the program runs.
#include "core/application.h"
#include "core/handler.h"
#include "front-ends/win32/dialog_service.h"
#include "front-ends/win32/loop.h"
#include "front-ends/win32/ttimer.h"
#include "front-ends/win32/window.h"
#include "tests/front-ends/win32/win32_test.h"

#include <gtest/gtest.h>

#include <atomic>

using namespace tb;
using namespace tb::test;
using namespace std::chrono_literals;

namespace {

// A wall clock that stands where the test puts it.
class StillClock final : public Clock {
public:
    std::int64_t now = 0;
    std::int64_t nowMs() override { return now; }
    TimeOfDay localTime(std::int64_t) override { return {}; }
    std::int64_t steadyMs() override { return 0; }
};

class TimerHost final : public Window {
public:
    explicit TimerHost(Clock& clock) {
        create({L"TollbrookTimerTest"}, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, L"Timer test", nullptr, 20, 20, 300, 200);
        timer = std::make_unique<TTimer>(hwnd(), 1, clock);
    }
    ~TimerHost() override { timer.reset(); }
    std::unique_ptr<TTimer> timer;

protected:
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_TIMER && timer->handleTimer(wParam)) return 0;
        return Window::handle(message, wParam, lParam);
    }
};

// A timer the system refuses (here: on a window that is gone) says so and stays off.
TEST(ScheduleTimer, RefusedTimerRaisesNotEnoughTimers) {
    StillClock clock;
    HWND gone = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(gone);
    TTimer timer(gone, 1, clock);
    try {
        timer.setEnabled(true);
        ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Not enough timers available");
    }
    EXPECT_FALSE(timer.Enabled());
}

struct LoopCase {
    const char* name;
    std::function<void()> open;                // runs the loop until it is closed
    std::function<HWND()> find;                // the window of the loop
    std::function<void(HWND)> close;
};

// The schedule goes on while a box, the file dialog, a menu or a modal window waits for
// the user; also when the handler that the tick itself runs opens one.
TEST(ScheduleTimer, TicksGoOnInsideEveryModalLoop) {
    StillClock clock;
    clock.now = 800;  // a tick every 201 ms
    TimerHost host(clock);
    TApplication app;
    app.setTitle("Tollbrook");
    setErrorBoxApplication(&app);
    Win32DialogService service;
    DialogService* previous = setDialogs(&service);
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, 10, L"Restore window");
    HWND modal = CreateWindowExW(0, L"STATIC", L"Modal", WS_POPUP | WS_CAPTION, 50, 50, 200, 100, nullptr, nullptr,
                                 nullptr, nullptr);
    const auto command = [](HWND w) { SendMessageW(w, WM_COMMAND, IDOK, 0); };

    const std::vector<LoopCase> cases = {
        {"message box", [] { MessageBoxW(nullptr, L"Question", L"Loop", MB_YESNO); },
         [] { return shownWindow(L"#32770", L"Loop"); }, [](HWND w) { SendMessageW(w, WM_COMMAND, IDYES, 0); }},
        {"error box", [] { runHandler([] { throw std::runtime_error("Failed"); }); },
         [] { return shownWindow(L"TollbrookErrorBox"); }, command},
        {"file dialog", [&] { service.openFile({musicFileFilters()}); }, [] { return shownWindow(L"#32770"); },
         [](HWND w) { PostMessageW(w, WM_COMMAND, IDCANCEL, 0); }},
        {"menu", [&] {
             SetForegroundWindow(host.hwnd());
             TrackPopupMenu(menu, TPM_RETURNCMD, 100, 100, 0, host.hwnd(), nullptr);
         },
         [] { return shownWindow(L"#32768"); }, [](HWND) { EndMenu(); }},
        {"modal window", [&] { showModal(modal, host.hwnd()); }, [&] { return IsWindowVisible(modal) ? modal : nullptr; },
         [](HWND w) { ShowWindow(w, SW_HIDE); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        int ticks = 0;
        host.timer->OnTimer = [&] { ++ticks; };
        host.timer->setEnabled(true);
        int ticksWhileOpen = -1;
        WhenShown close(c.find, [&](HWND w) {
            ticksWhileOpen = ticks;
            c.close(w);
        }, 1000ms);
        c.open();
        EXPECT_TRUE(close.done());
        EXPECT_GE(ticksWhileOpen, 2);

        // The tick's own handler waits in the loop.
        ticks = 0;
        int opened = 0;
        host.timer->OnTimer = [&] {
            ++ticks;
            if (opened++ == 0) c.open();
        };
        WhenShown closeInner(c.find, [&](HWND w) {
            ticksWhileOpen = ticks;
            c.close(w);
        }, 1000ms);
        runMessages([&] { return closeInner.done(); });
        EXPECT_GE(ticksWhileOpen, 3) << "the first tick and two inside its loop";
        host.timer->setEnabled(false);
    }
    DestroyWindow(modal);
    DestroyMenu(menu);
    setDialogs(previous);
    setErrorBoxApplication(nullptr);
}

}  // namespace
