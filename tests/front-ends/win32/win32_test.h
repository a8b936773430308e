#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tb::test {

// Does something to a window as soon as it shows, from inside whatever message loop
// runs then (a message box's, a modal window's): a thread timer polls for it, and the
// loops of Windows' own dialogs dispatch such timers as they dispatch the program's.
class WhenShown final {
public:
    using Find = std::function<HWND()>;
    using Act = std::function<void(HWND)>;

    // Acts once the window has been shown for `after`, so that it can be kept open a while.
    WhenShown(Find find, Act act, std::chrono::milliseconds after = {})
        : find_(std::move(find)), act_(std::move(act)), after_(after) {
        id_ = SetTimer(nullptr, 0, 30, &WhenShown::tick);
        live()[id_] = this;
    }
    ~WhenShown() {
        KillTimer(nullptr, id_);
        live().erase(id_);
    }
    WhenShown(const WhenShown&) = delete;
    WhenShown& operator=(const WhenShown&) = delete;

    bool done() const { return done_; }

private:
    static std::map<UINT_PTR, WhenShown*>& live() {
        static std::map<UINT_PTR, WhenShown*> timers;
        return timers;
    }
    static void CALLBACK tick(HWND, UINT, UINT_PTR id, DWORD) {
        const auto it = live().find(id);
        if (it == live().end() || it->second->done_ || it->second->busy_) return;
        WhenShown& self = *it->second;
        HWND window = self.find_();
        if (window == nullptr) return;
        const auto now = std::chrono::steady_clock::now();
        if (!self.seen_) self.seen_ = now;
        if (now - *self.seen_ < self.after_) return;
        self.busy_ = true;  // the act may run a loop of its own, in which this timer ticks
        self.act_(window);
        self.busy_ = false;
        self.done_ = true;
    }

    Find find_;
    Act act_;
    std::chrono::milliseconds after_;
    std::optional<std::chrono::steady_clock::time_point> seen_;
    UINT_PTR id_ = 0;
    bool done_ = false;
    bool busy_ = false;
};

inline std::wstring windowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

inline std::wstring className(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

// The visible top-level windows of this thread, in z-order.
inline std::vector<HWND> threadWindows() {
    std::vector<HWND> windows;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND w, LPARAM list) -> BOOL {
            if (IsWindowVisible(w)) reinterpret_cast<std::vector<HWND>*>(list)->push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    return windows;
}

// A visible top-level window of this thread with this class (and caption, if given).
inline HWND shownWindow(const std::wstring& windowClass, const wchar_t* caption = nullptr) {
    for (HWND w : threadWindows()) {
        if (className(w) == windowClass && (caption == nullptr || windowText(w) == caption)) return w;
    }
    return nullptr;
}

// The children of a window with a class, in z-order.
inline std::vector<HWND> children(HWND parent, const std::wstring& windowClass) {
    struct Search {
        std::wstring name;
        std::vector<HWND> found;
    } search{windowClass, {}};
    EnumChildWindows(
        parent,
        [](HWND w, LPARAM p) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(p);
            if (className(w) == s.name) s.found.push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Runs this thread's messages for a while (what a user's pause does to the program).
inline void pumpFor(std::chrono::milliseconds span) {
    const auto end = std::chrono::steady_clock::now() + span;
    MSG msg;
    while (std::chrono::steady_clock::now() < end) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

inline std::string utf8(const std::wstring& text) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

}  // namespace tb::test
