#pragma once

#include <string>

namespace tb {

// The notification-area icon's rules, the same for every front end: where the main
// window goes for each event, which handler an activation of the icon runs, and the
// tooltip the icon carries. Without a notification area the window is never hidden:
// minimizing stays an ordinary minimize and "Put on the tray" minimizes, so the user
// is never stranded without a way back.
struct TrayRules {
    enum class Window { Shown, InTray, Minimized };
    enum class Event { HideMainForm, ShowMainForm, Minimized };
    enum class Activation { Click, DoubleClick };
    enum class Handler { None, OnClick, OnDblClick };

    static Window next(Window from, Event event, bool areaAvailable, bool minimizeToTray);
    // Hosts that report no double click (StatusNotifierItem) report a single activation,
    // which then brings the window back as a double click would.
    static Handler forActivation(Activation how, bool enabled, bool hostReportsDoubleClicks);
    // The first 127 characters of the hint, or none when hints are off.
    static std::string toolTip(const std::string& hint, bool showHint);
};

}  // namespace tb
