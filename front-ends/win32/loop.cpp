#include "front-ends/win32/loop.h"

#include <vector>

namespace tb {
namespace {

// The top-level window that holds the control a key went to.
HWND dialogOf(HWND control) {
    HWND root = control != nullptr ? GetAncestor(control, GA_ROOT) : nullptr;
    return root != nullptr ? root : control;
}

}  // namespace

bool runMessages(const std::function<bool()>& done) {
    MSG msg{};
    while (!done()) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        if (got == -1) return false;
        HWND dialog = dialogOf(msg.hwnd);
        if (dialog != nullptr && IsDialogMessageW(dialog, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return true;
}

bool showModal(HWND window, HWND owner) {
    std::vector<HWND> disabled;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM list) -> BOOL {
            if (IsWindowEnabled(w) && IsWindowVisible(w)) reinterpret_cast<std::vector<HWND>*>(list)->push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&disabled));
    std::erase(disabled, window);
    for (HWND w : disabled) EnableWindow(w, FALSE);
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    const bool ran = runMessages([window] { return !IsWindow(window) || !IsWindowVisible(window); });
    for (HWND w : disabled) {
        if (IsWindow(w)) EnableWindow(w, TRUE);
    }
    if (owner != nullptr && IsWindow(owner) && IsWindowVisible(owner)) SetActiveWindow(owner);
    return ran;
}

void endWin32Loops() { PostQuitMessage(0); }

}  // namespace tb
