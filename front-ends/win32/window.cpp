#include "front-ends/win32/window.h"

#include "core/handler.h"

#include <commctrl.h>

#include <set>

namespace tb {
namespace {

HINSTANCE instance() { return GetModuleHandleW(nullptr); }

}  // namespace

int dpiOf(HWND window) {
    // GetDpiForWindow came with Windows 10; before it, every monitor has the system's.
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (window != nullptr && getDpiForWindow != nullptr) {
        if (const UINT dpi = getDpiForWindow(window)) return static_cast<int>(dpi);
    }
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

Window::~Window() {
    if (hwnd_ != nullptr) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

void Window::create(const Class& windowClass, DWORD style, DWORD exStyle, const std::wstring& title, HWND parent,
                    int x, int y, int width, int height, HMENU menuOrId) {
    static std::set<std::wstring> registered;
    if (registered.insert(windowClass.name).second) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.style = windowClass.style;
        wc.lpfnWndProc = &Window::procedure;
        wc.hInstance = instance();
        wc.hIcon = windowClass.icon;
        wc.hCursor = windowClass.cursor != nullptr ? windowClass.cursor : LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = windowClass.background;
        wc.lpszClassName = windowClass.name;
        RegisterClassExW(&wc);
    }
    CreateWindowExW(exStyle, windowClass.name, title.c_str(), style, x, y, width, height, parent, menuOrId, instance(),
                    this);
}

LRESULT Window::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK Window::procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    if (self == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    // A message whose handling failed has been answered by the error box; it counts as
    // handled.
    LRESULT result = 0;
    runHandler([&] { result = self->handle(message, wParam, lParam); });
    return result;
}

void Window::route(HWND control) {
    SetWindowSubclass(control, &Window::controlProcedure, reinterpret_cast<UINT_PTR>(this),
                      reinterpret_cast<DWORD_PTR>(this));
}

std::optional<LRESULT> Window::controlMessage(HWND, UINT, WPARAM, LPARAM) { return std::nullopt; }

LRESULT CALLBACK Window::controlProcedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                          DWORD_PTR self) noexcept {
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(control, &Window::controlProcedure, self);
        return DefSubclassProc(control, message, wParam, lParam);
    }
    // As in procedure(): a message whose handling failed has been answered by the error box.
    std::optional<LRESULT> result = 0;
    runHandler([&] { result = reinterpret_cast<Window*>(self)->controlMessage(control, message, wParam, lParam); });
    return result ? *result : DefSubclassProc(control, message, wParam, lParam);
}

std::optional<LRESULT> listMessage(HWND list, UINT message, WPARAM wParam, LPARAM lParam,
                                   const std::function<void()>& doubleClick, const std::function<void()>& enter) {
    switch (message) {
        case WM_LBUTTONDBLCLK: {
            const LRESULT result = DefSubclassProc(list, message, wParam, lParam);
            doubleClick();
            return result;
        }
        case WM_GETDLGCODE: {
            const LRESULT code = DefSubclassProc(list, message, wParam, lParam);
            const auto* msg = reinterpret_cast<const MSG*>(lParam);
            if (msg != nullptr && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) return code | DLGC_WANTMESSAGE;
            return code;
        }
        case WM_KEYDOWN:
            if (wParam != VK_RETURN) return std::nullopt;
            enter();
            return 0;
        default:
            return std::nullopt;
    }
}

HWND createControl(HWND parent, const wchar_t* className, const std::wstring& text, DWORD style, DWORD exStyle,
                   const RECT& place, int id, HFONT font) {
    HWND control = CreateWindowExW(exStyle, className, text.c_str(), WS_CHILD | WS_VISIBLE | style, place.left,
                                   place.top, place.right - place.left, place.bottom - place.top, parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance(), nullptr);
    if (control != nullptr && font != nullptr) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
}

void setClientSize(HWND window, int width, int height) {
    RECT r{0, 0, width, height};
    AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)), GetMenu(window) != nullptr,
                       static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE)));
    SetWindowPos(window, nullptr, 0, 0, r.right - r.left, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void centreOver(HWND window, HWND over) {
    RECT area{};
    if (over != nullptr && IsWindowVisible(over)) {
        GetWindowRect(over, &area);
    } else {
        MONITORINFO info{};
        info.cbSize = sizeof info;
        GetMonitorInfoW(MonitorFromWindow(over != nullptr ? over : window, MONITOR_DEFAULTTOPRIMARY), &info);
        area = info.rcWork;
    }
    RECT own{};
    GetWindowRect(window, &own);
    const int w = own.right - own.left, h = own.bottom - own.top;
    SetWindowPos(window, nullptr, area.left + (area.right - area.left - w) / 2, area.top + (area.bottom - area.top - h) / 2,
                 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace tb
