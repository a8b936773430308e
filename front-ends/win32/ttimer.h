#pragma once

#include "core/schedule/second_timer.h"

#include <windows.h>

#include <functional>

namespace tb {

// The schedule timer: a window timer that the core's SecondTimer arms anew for just
// after each wall-clock second. Window timers tick inside every modal loop (message
// boxes, the file dialog, menus, modal windows), so the schedule goes on in them.
class TTimer final {
public:
    // A timer of `window`, whose procedure hands WM_TIMER with `id` to handleTimer().
    TTimer(HWND window, UINT_PTR id, Clock& clock);
    ~TTimer() { KillTimer(window_, id_); }
    TTimer(const TTimer&) = delete;
    TTimer& operator=(const TTimer&) = delete;

    bool Enabled() const { return rules_.Enabled(); }
    // Enabling starts the wait anew; a system that refuses the timer raises "Not enough
    // timers available" and leaves it disabled.
    void setEnabled(bool enabled) { rules_.setEnabled(enabled); }

    // WM_TIMER of the window: answers whether it was this timer's.
    bool handleTimer(WPARAM id);

    std::function<void()>& OnTimer = rules_.OnTimer;

private:
    HWND window_;
    UINT_PTR id_;
    SecondTimer rules_;
};

}  // namespace tb
