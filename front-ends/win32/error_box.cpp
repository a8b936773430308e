#include "front-ends/win32/error_box.h"

#include "core/error_boxes.h"
#include "core/presenters/small_windows_design.h"
#include "front-ends/win32/loop.h"
#include "front-ends/win32/text.h"

#include <algorithm>

namespace tb {
namespace {

NONCLIENTMETRICSW systemFonts() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    return metrics;
}

// The size a text takes in a font, broken into lines no wider than `maxWidth`.
SIZE measure(HWND window, HFONT font, const std::wstring& text, int maxWidth, UINT flags) {
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, font);
    RECT r{0, 0, maxWidth, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_NOPREFIX | flags);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return {r.right - r.left, r.bottom - r.top};
}

std::wstring textOf(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

}  // namespace

ErrorBoxWindow::ErrorBoxWindow(OpenErrorBox& box, const std::string& caption) : box_(box) {
    create({L"TollbrookErrorBox"}, WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT,
           wide(caption), nullptr, 0, 0, 0, 0);
    const NONCLIENTMETRICSW fonts = systemFonts();
    font_ = CreateFontIndirectW(&fonts.lfMessageFont);
    icon_ = createControl(hwnd(), L"STATIC", L"", SS_ICON, 0, {}, 0, nullptr);
    SendMessageW(icon_, STM_SETICON, reinterpret_cast<WPARAM>(LoadIconW(nullptr, IDI_ERROR)), 0);
    text_ = createControl(hwnd(), L"STATIC", wide(box_.text()), SS_LEFT | SS_NOPREFIX, 0, {}, kTextId, font_);
    ok_ = createControl(hwnd(), L"BUTTON", wide(design::errorBox().control("OK").text), BS_DEFPUSHBUTTON | WS_TABSTOP,
                        0, {}, IDOK, font_);
    box_.changed = [this] {
        SetWindowTextW(text_, wide(box_.text()).c_str());
        fitToText();
    };
}

ErrorBoxWindow::~ErrorBoxWindow() {
    box_.changed = nullptr;
    if (hwnd() != nullptr) DestroyWindow(hwnd());
    DeleteObject(font_);
}

void ErrorBoxWindow::run() {
    fitToText();
    centreOver(hwnd(), nullptr);
    showModal(hwnd(), GetActiveWindow());
}

// Lays the box out around its text: the icon at the left, the text beside it in lines
// of a readable width, OK centred below; wide enough for the caption. A box on screen
// keeps its centre as it grows.
void ErrorBoxWindow::fitToText() {
    const Scale scale{dpiOf(hwnd())};
    const design::ErrorBoxSpacing& spacing = design::kErrorBoxSpacing;
    const int margin = scale(spacing.margin), gap = scale(spacing.gap);
    const int iconSize = GetSystemMetrics(SM_CXICON);
    const design::Rect& ok = design::errorBox().control("OK").rect;
    const SIZE button{scale(ok.width), scale(ok.height)};

    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(hwnd(), MONITOR_DEFAULTTOPRIMARY), &monitor);
    const int workWidth = monitor.rcWork.right - monitor.rcWork.left;
    const int maxText = std::min(scale(spacing.widestText), workWidth - iconSize - 2 * margin - gap - scale(40));

    const SIZE text = measure(text_, font_, textOf(text_), maxText, DT_WORDBREAK | DT_EXPANDTABS);
    NONCLIENTMETRICSW fonts = systemFonts();
    HFONT captionFont = CreateFontIndirectW(&fonts.lfCaptionFont);
    const int captionWidth = boxWidthForCaption(measure(hwnd(), captionFont, textOf(hwnd()), 0, DT_SINGLELINE).cx, scale.dpi);
    DeleteObject(captionFont);

    const int contentHeight = std::max(iconSize, static_cast<int>(text.cy));
    const int width = std::max({margin + iconSize + gap + static_cast<int>(text.cx) + margin,
                                static_cast<int>(button.cx) + 2 * margin, captionWidth});
    const int height = margin + contentHeight + gap + button.cy + margin;
    const int textTop = margin + (contentHeight - text.cy) / 2;

    SetWindowPos(icon_, nullptr, margin, margin + (contentHeight - iconSize) / 2, iconSize, iconSize, SWP_NOZORDER);
    SetWindowPos(text_, nullptr, margin + iconSize + gap, textTop, text.cx, text.cy, SWP_NOZORDER);
    SetWindowPos(ok_, nullptr, (width - button.cx) / 2, height - margin - button.cy, button.cx, button.cy,
                 SWP_NOZORDER);

    RECT before{};
    GetWindowRect(hwnd(), &before);
    setClientSize(hwnd(), width, height);
    if (IsWindowVisible(hwnd())) {
        RECT after{};
        GetWindowRect(hwnd(), &after);
        const int dx = ((after.right - after.left) - (before.right - before.left)) / 2;
        const int dy = ((after.bottom - after.top) - (before.bottom - before.top)) / 2;
        SetWindowPos(hwnd(), nullptr, before.left - dx, before.top - dy, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    InvalidateRect(hwnd(), nullptr, TRUE);
}

LRESULT ErrorBoxWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE) SetFocus(ok_);
            return 0;
        case WM_COMMAND:
            // OK, Enter and Escape answer it; hidden, its loop ends.
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) ShowWindow(hwnd(), SW_HIDE);
            return 0;
        case WM_CLOSE:
            ShowWindow(hwnd(), SW_HIDE);
            return 0;
        default:
            return Window::handle(message, wParam, lParam);
    }
}

}  // namespace tb
