#pragma once

#include "core/desktop/tray_rules.h"

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>

namespace tb {

// The shell's notification area as the tray icon uses it (Shell_NotifyIconW); tests
// stand in for it.
using NotifyIconCall = std::function<bool(DWORD message, NOTIFYICONDATAW& data)>;
bool shellNotifyIcon(DWORD message, NOTIFYICONDATAW& data);

// The program's icon in the notification area: its tooltip, its menu on a right-button
// press, a double click that raises OnDblClick, and minimize to tray. The shell sends
// the icon's mouse events to one hidden window per process (TTrayIconHandler), which
// also hears the shell's "TaskbarCreated" broadcast and puts the icons back then.
// Where the rules (TrayRules) say so, the owner window is hidden instead of minimized;
// while the shell has not taken the icon (no taskbar yet, or none at all) it is never
// hidden, so the user is never stranded without a way back.
class TTrayIcon final {
public:
    // The icon's mouse events as the shell sends them to the shared window.
    static constexpr UINT kCallbackMessage = WM_USER + 1024;

    explicit TTrayIcon(HWND owner, NotifyIconCall shell = shellNotifyIcon);
    ~TTrayIcon();
    TTrayIcon(const TTrayIcon&) = delete;
    TTrayIcon& operator=(const TTrayIcon&) = delete;

    const std::string& Hint() const { return hint_; }
    void setHint(const std::string& hint);
    bool ShowHint() const { return showHint_; }
    void setShowHint(bool show);
    // The picture; not owned (a shared resource icon).
    HICON Icon() const { return icon_; }
    void setIcon(HICON icon);
    bool IconVisible() const { return iconVisible_; }
    void setIconVisible(bool visible);
    // Opens on a right-button press; its choice reaches the owner as WM_COMMAND. Not owned.
    HMENU PopupMenu() const { return popupMenu_; }
    void setPopupMenu(HMENU menu) { popupMenu_ = menu; }
    bool MinimizeToTray = false;
    // When false, the icon ignores the mouse.
    bool Enabled = true;

    std::function<void()> OnDblClick;

    // Brings the owner back: restored from minimized, shown with its taskbar entry and
    // made the foreground window.
    void ShowMainForm();
    // Hides the owner and its taskbar entry without minimizing it (minimizes it where
    // the shell has not taken the icon).
    void HideMainForm();

    // The shared window and this icon's id towards the shell.
    HWND Handle() const;
    UINT id() const { return id_; }
    // Whether the shell holds the icon now.
    bool inNotificationArea() const { return added_; }

    // From the shared window: a mouse event of the icon, the shell's new taskbar, and
    // the owner's minimize come back after the owner has finished it.
    void HandleIconMessage(LPARAM event);
    void TaskbarCreated();
    void ownerMinimized();

private:
    static LRESULT CALLBACK ownerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                      DWORD_PTR self) noexcept;
    bool send(DWORD message);
    void update();
    void PopupAtCursor();
    TrayRules::Window ownerState() const;
    void goTo(TrayRules::Window to);

    HWND owner_;
    NotifyIconCall shell_;
    UINT id_ = 0;
    std::string hint_;
    bool showHint_ = true;
    HICON icon_ = nullptr;
    bool iconVisible_ = false;
    bool added_ = false;
    HMENU popupMenu_ = nullptr;
};

}  // namespace tb
