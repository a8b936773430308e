#include "core/desktop/tray_rules.h"

#include "core/util/utf8.h"

namespace tb {

TrayRules::Window TrayRules::next(Window from, Event event, bool areaAvailable, bool minimizeToTray) {
    switch (event) {
        case Event::ShowMainForm:
            return Window::Shown;
        case Event::HideMainForm:
            return areaAvailable ? Window::InTray : Window::Minimized;
        case Event::Minimized:
            if (from == Window::InTray) return from;
            return minimizeToTray && areaAvailable ? Window::InTray : Window::Minimized;
    }
    return from;
}

TrayRules::Handler TrayRules::forActivation(Activation how, bool enabled, bool hostReportsDoubleClicks) {
    if (!enabled) return Handler::None;
    const bool restore = how == Activation::DoubleClick || !hostReportsDoubleClicks;
    return restore ? Handler::OnDblClick : Handler::OnClick;
}

std::string TrayRules::toolTip(const std::string& hint, bool showHint) {
    if (!showHint) return {};
    return std::string(utf8Prefix(hint, 127));
}

}  // namespace tb
