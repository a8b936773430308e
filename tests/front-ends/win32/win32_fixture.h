#pragma once

#include "front-ends/win32/loop.h"
#include "front-ends/win32/window.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

namespace tb::test {

// A plain top-level window to put a control on.
class HostWindow final : public Window {
public:
    HostWindow(int width, int height) {
        create({L"TollbrookTestHost"}, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN | WS_VISIBLE, 0,
               L"Test host", nullptr, 40, 40, width, height);
        if (hwnd() == nullptr) throw std::runtime_error("no host window");
        SetForegroundWindow(hwnd());
    }
};

// Runs the thread's messages that are waiting now, through the program's own loop.
inline void pumpMessages() {
    runMessages([] {
        MSG msg;
        return !PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
    });
}

// 32-bit pixels, top row first.
class Pixels final {
public:
    Pixels(int width, int height) : width_(width), height_(height) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        dc_ = CreateCompatibleDC(nullptr);
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        bits_ = static_cast<const std::uint32_t*>(bits);
        old_ = SelectObject(dc_, bitmap_);
    }
    Pixels(const Pixels&) = delete;
    Pixels& operator=(const Pixels&) = delete;
    ~Pixels() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }

    // What a window draws into its client area (WM_PRINTCLIENT: the paint code itself).
    static Pixels printed(HWND window) {
        RECT r{};
        GetClientRect(window, &r);
        Pixels p(r.right, r.bottom);
        SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(p.dc_), PRF_CLIENT | PRF_ERASEBKGND);
        GdiFlush();
        return p;
    }
    // What the screen shows of a window's client area.
    static Pixels onScreen(HWND window) {
        RECT r{};
        GetClientRect(window, &r);
        Pixels p(r.right, r.bottom);
        HDC screen = GetDC(window);
        BitBlt(p.dc_, 0, 0, r.right, r.bottom, screen, 0, 0, SRCCOPY);
        ReleaseDC(window, screen);
        GdiFlush();
        return p;
    }
    // A bitmap's pixels.
    static Pixels of(HBITMAP bitmap) {
        BITMAP info{};
        GetObjectW(bitmap, sizeof info, &info);
        Pixels p(info.bmWidth, info.bmHeight);
        HDC source = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(source, bitmap);
        BitBlt(p.dc_, 0, 0, info.bmWidth, info.bmHeight, source, 0, 0, SRCCOPY);
        SelectObject(source, old);
        DeleteDC(source);
        GdiFlush();
        return p;
    }

    Pixels(Pixels&& other) noexcept
        : width_(other.width_), height_(other.height_), dc_(other.dc_), bitmap_(other.bitmap_), old_(other.old_),
          bits_(other.bits_) {
        other.dc_ = nullptr;
        other.bitmap_ = nullptr;
        other.old_ = nullptr;
    }

    int width() const { return width_; }
    int height() const { return height_; }
    COLORREF at(int x, int y) const {
        if (x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
        const std::uint32_t p = bits_[static_cast<std::size_t>(y) * width_ + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    // Where this picture first differs from another, for a failure to say; empty when
    // they are the same.
    std::string differenceFrom(const Pixels& other) const {
        if (width_ != other.width_ || height_ != other.height_)
            return sized(*this) + " against " + sized(other);
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x)
                if (at(x, y) != other.at(x, y))
                    return "at (" + std::to_string(x) + "," + std::to_string(y) + "): " + colour(at(x, y)) +
                           " against " + colour(other.at(x, y));
        return {};
    }

private:
    static std::string sized(const Pixels& p) { return std::to_string(p.width_) + "x" + std::to_string(p.height_); }
    static std::string colour(COLORREF c) {
        char text[16];
        std::snprintf(text, sizeof text, "#%02X%02X%02X", GetRValue(c), GetGValue(c), GetBValue(c));
        return text;
    }

    int width_, height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    const std::uint32_t* bits_ = nullptr;
};

// A bitmap of the program's resources ("EN_MPPLAY" ...).
inline Pixels resourceBitmap(const char* name) {
    auto* bitmap = static_cast<HBITMAP>(LoadImageA(GetModuleHandleW(nullptr), name, IMAGE_BITMAP, 0, 0,
                                                   LR_CREATEDIBSECTION));
    if (bitmap == nullptr) throw std::runtime_error(std::string("no bitmap ") + name);
    Pixels pixels = Pixels::of(bitmap);
    DeleteObject(bitmap);
    return pixels;
}

// Whether a picture shows a glyph with its left top corner at a point: its pixels, and
// not its olive ones, which are transparent.
inline bool showsGlyphAt(const Pixels& shot, const Pixels& glyph, int left, int top) {
    for (int y = 0; y < glyph.height(); ++y)
        for (int x = 0; x < glyph.width(); ++x) {
            const COLORREF want = glyph.at(x, y), got = shot.at(left + x, top + y);
            if (want == RGB(128, 128, 0) ? got == want : got != want) return false;
        }
    return true;
}

// The client rectangle of a child window in its parent's client pixels.
inline RECT placeOf(HWND child) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

inline std::wstring textOf(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

}  // namespace tb::test
