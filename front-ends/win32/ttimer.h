#pragma once

#include "core/schedule/clock.h"

#include <windows.h>

#include <functional>

namespace tb {

// The schedule timer: a window timer which, instead of a free-running period, is armed
// anew for just after each wall-clock second, so that ticks neither drift across
// seconds nor come twice in one. Window timers tick inside every modal loop (message
// boxes, the file dialog, menus, modal windows), so the schedule goes on in them.
class TTimer final {
public:
    // A timer of `window`, whose procedure hands WM_TIMER with `id` to handleTimer().
    TTimer(HWND window, UINT_PTR id, Clock& clock) : window_(window), id_(id), clock_(clock) {}
    ~TTimer() { KillTimer(window_, id_); }
    TTimer(const TTimer&) = delete;
    TTimer& operator=(const TTimer&) = delete;

    bool Enabled() const { return enabled_; }
    // Enabling starts the wait anew; a system that refuses the timer raises "Not enough
    // timers available" and leaves it disabled.
    void setEnabled(bool enabled);

    // WM_TIMER of the window: answers whether it was this timer's. The timer is armed
    // again before OnTimer runs, since OnTimer may run a loop of its own (an error box)
    // in which the next ticks must still come; OnTimer runs inside the handler wrapper.
    bool handleTimer(WPARAM id);

    std::function<void()> OnTimer;

private:
    void arm();

    HWND window_;
    UINT_PTR id_;
    Clock& clock_;
    bool enabled_ = false;
};

}  // namespace tb
