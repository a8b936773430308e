#include "front-ends/win32/ttrayicon.h"

#include "core/handler.h"
#include "front-ends/win32/text.h"
#include "front-ends/win32/window.h"

#include <commctrl.h>

#include <map>
#include <memory>

namespace tb {

bool shellNotifyIcon(DWORD message, NOTIFYICONDATAW& data) { return Shell_NotifyIconW(message, &data) != FALSE; }

namespace {

// The owner has been minimized; sent back to the icon once the owner has finished.
constexpr UINT kOwnerMinimized = WM_APP + 1;

// One hidden window per process, shared by the tray icons: the shell sends each icon's
// events here, naming the icon by its id. It is a hidden top-level window rather than a
// message-only one, since only top-level windows hear the shell's broadcast.
class TTrayIconHandler final : public Window {
public:
    TTrayIconHandler() : taskbarCreated_(RegisterWindowMessageW(L"TaskbarCreated")) {
        create({L"TollbrookTrayIcons"}, WS_POPUP, WS_EX_TOOLWINDOW, L"", nullptr, 0, 0, 0, 0);
        // A program run with raised rights hears the shell's broadcast only if it asks to.
        ChangeWindowMessageFilterEx(hwnd(), taskbarCreated_, MSGFLT_ALLOW, nullptr);
        ChangeWindowMessageFilterEx(hwnd(), TTrayIcon::kCallbackMessage, MSGFLT_ALLOW, nullptr);
    }

    static TTrayIconHandler& add(TTrayIcon& icon, UINT& id) {
        if (!instance_) instance_ = std::make_unique<TTrayIconHandler>();
        id = ++instance_->lastId_;
        instance_->icons_[id] = &icon;
        return *instance_;
    }
    static void remove(UINT id) {
        if (!instance_) return;
        instance_->icons_.erase(id);
        if (instance_->icons_.empty()) instance_.reset();
    }
    static HWND window() { return instance_ ? instance_->hwnd() : nullptr; }

protected:
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == TTrayIcon::kCallbackMessage || message == kOwnerMinimized) {
            const auto it = icons_.find(static_cast<UINT>(wParam));
            if (it == icons_.end()) return 0;
            if (message == kOwnerMinimized) {
                it->second->ownerMinimized();
            } else {
                it->second->HandleIconMessage(lParam);
            }
            return 0;
        }
        if (message == taskbarCreated_) {
            const auto icons = icons_;  // an icon may go while another is handled
            for (const auto& [id, icon] : icons) {
                if (icons_.count(id) != 0) icon->TaskbarCreated();
            }
            return 0;
        }
        switch (message) {
            case WM_CLOSE:  // nobody outside closes it
                return 0;
            case WM_QUERYENDSESSION:  // and it never holds up the end of a session
                return TRUE;
            default:
                return Window::handle(message, wParam, lParam);
        }
    }

private:
    static inline std::unique_ptr<TTrayIconHandler> instance_;
    const UINT taskbarCreated_;
    UINT lastId_ = 0;
    std::map<UINT, TTrayIcon*> icons_;
};

}  // namespace

TTrayIcon::TTrayIcon(HWND owner, NotifyIconCall shell) : owner_(owner), shell_(std::move(shell)) {
    TTrayIconHandler::add(*this, id_);
    SetWindowSubclass(owner_, &TTrayIcon::ownerProc, id_, reinterpret_cast<DWORD_PTR>(this));
}

TTrayIcon::~TTrayIcon() {
    setIconVisible(false);
    RemoveWindowSubclass(owner_, &TTrayIcon::ownerProc, id_);
    TTrayIconHandler::remove(id_);
}

HWND TTrayIcon::Handle() const { return TTrayIconHandler::window(); }

bool TTrayIcon::send(DWORD message) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = Handle();
    data.uID = id_;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = kCallbackMessage;
    data.hIcon = icon_;
    const std::wstring tip = wide(TrayRules::toolTip(hint_, showHint_));
    tip.copy(data.szTip, std::size(data.szTip) - 1);  // at most 127 characters and the zero
    return shell_(message, data);
}

// Changes before the icon is in the notification area go with its add.
void TTrayIcon::update() {
    if (added_) send(NIM_MODIFY);
}

void TTrayIcon::setHint(const std::string& hint) {
    hint_ = hint;
    update();
}

void TTrayIcon::setShowHint(bool show) {
    showHint_ = show;
    update();
}

void TTrayIcon::setIcon(HICON icon) {
    icon_ = icon;
    update();
}

// A refused add (no taskbar yet) is not retried here: the shell's "TaskbarCreated"
// brings the icon in when there is one.
void TTrayIcon::setIconVisible(bool visible) {
    iconVisible_ = visible;
    if (visible && !added_) {
        added_ = send(NIM_ADD);
    } else if (!visible && added_) {
        send(NIM_DELETE);
        added_ = false;
    }
}

void TTrayIcon::TaskbarCreated() {
    // The new taskbar has none of the old one's icons.
    added_ = false;
    if (iconVisible_) setIconVisible(true);
}

void TTrayIcon::HandleIconMessage(LPARAM event) {
    if (!Enabled) return;
    switch (event) {
        case WM_LBUTTONDBLCLK:
            if (TrayRules::forActivation(TrayRules::Activation::DoubleClick, Enabled, true) ==
                    TrayRules::Handler::OnDblClick &&
                OnDblClick) {
                OnDblClick();
            }
            break;
        case WM_RBUTTONDOWN:
            PopupAtCursor();
            break;
        default:
            break;
    }
}

// The shell's known quirk: a menu opened for an icon closes on a click elsewhere only if
// its window is in the foreground first, and the next menu opens properly only after
// the owner has seen one more message.
void TTrayIcon::PopupAtCursor() {
    POINT at{};
    if (popupMenu_ == nullptr || !GetCursorPos(&at)) return;
    SetForegroundWindow(Handle());
    const UINT chosen = static_cast<UINT>(
        TrackPopupMenuEx(popupMenu_, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, at.x, at.y, Handle(), nullptr));
    PostMessageW(owner_, WM_NULL, 0, 0);
    if (chosen != 0) SendMessageW(owner_, WM_COMMAND, MAKEWPARAM(chosen, 0), 0);
}

TrayRules::Window TTrayIcon::ownerState() const {
    if (!IsWindowVisible(owner_)) return TrayRules::Window::InTray;
    return IsIconic(owner_) ? TrayRules::Window::Minimized : TrayRules::Window::Shown;
}

void TTrayIcon::goTo(TrayRules::Window to) {
    switch (to) {
        case TrayRules::Window::Shown:
            ShowWindow(owner_, IsIconic(owner_) ? SW_RESTORE : SW_SHOW);
            SetForegroundWindow(owner_);
            break;
        case TrayRules::Window::InTray:
            ShowWindow(owner_, SW_HIDE);
            break;
        case TrayRules::Window::Minimized:
            if (!IsIconic(owner_)) ShowWindow(owner_, SW_MINIMIZE);
            break;
    }
}

void TTrayIcon::ShowMainForm() {
    goTo(TrayRules::next(ownerState(), TrayRules::Event::ShowMainForm, added_, MinimizeToTray));
}

void TTrayIcon::HideMainForm() {
    goTo(TrayRules::next(ownerState(), TrayRules::Event::HideMainForm, added_, MinimizeToTray));
}

void TTrayIcon::ownerMinimized() {
    if (!IsIconic(owner_) || !IsWindowVisible(owner_)) return;
    const auto to = TrayRules::next(ownerState(), TrayRules::Event::Minimized, added_, MinimizeToTray);
    if (to != TrayRules::Window::InTray) return;
    goTo(to);
    setIconVisible(true);
}

LRESULT CALLBACK TTrayIcon::ownerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                      DWORD_PTR) noexcept {
    // Hidden only once the owner has finished minimizing, from the shared window's queue.
    if (message == WM_SIZE && wParam == SIZE_MINIMIZED) PostMessageW(TTrayIconHandler::window(), kOwnerMinimized, id, 0);
    return DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace tb
