#include "front-ends/win32/tmediaplayer.h"

#include <windowsx.h>

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string>

namespace tb {
namespace {

constexpr const auto& kAll = PlayerBar::kButtonOrder;
constexpr COLORREF kTransparent = RGB(128, 128, 0);

HBITMAP loadGlyph(TMPBtnType button, PlayerBar::Glyph kind) {
    const std::string name = PlayerBar::glyphName(button, kind);
    const std::wstring wideName(name.begin(), name.end());
    auto* bitmap = static_cast<HBITMAP>(
        LoadImageW(GetModuleHandleW(nullptr), wideName.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (bitmap == nullptr) throw std::runtime_error("The player's glyph " + name + " is missing");
    return bitmap;
}

SIZE sizeOf(HBITMAP bitmap) {
    BITMAP info{};
    GetObjectW(bitmap, sizeof info, &info);
    return {info.bmWidth, info.bmHeight};
}

// A pen of a system colour, deleted with the object.
class Pen final {
public:
    explicit Pen(int colour) : pen_(CreatePen(PS_SOLID, 1, GetSysColor(colour))) {}
    Pen(const Pen&) = delete;
    Pen& operator=(const Pen&) = delete;
    ~Pen() { DeleteObject(pen_); }
    operator HPEN() const { return pen_; }

private:
    HPEN pen_;
};

}  // namespace

// The 27 glyphs, per button: enabled, disabled, coloured.
class TMediaPlayer::GlyphSet final {
public:
    GlyphSet() {
        try {
            for (TMPBtnType b : kAll) {
                glyphs_[b] = {loadGlyph(b, Glyph::Enabled), loadGlyph(b, Glyph::Disabled),
                              loadGlyph(b, Glyph::Coloured)};
            }
        } catch (...) {
            release();
            throw;
        }
    }
    GlyphSet(const GlyphSet&) = delete;
    GlyphSet& operator=(const GlyphSet&) = delete;
    ~GlyphSet() { release(); }

    HBITMAP get(TMPBtnType button, Glyph kind) const {
        const auto& g = glyphs_[button];
        return kind == Glyph::Coloured ? g[2] : kind == Glyph::Enabled ? g[0] : g[1];
    }
    // The smallest button, for the widest and the tallest glyph.
    PlayerBar::Size smallestButton() const {
        int widest = 0, tallest = 0;
        for (const auto& g : glyphs_) {
            for (HBITMAP bitmap : g) {
                const SIZE s = sizeOf(bitmap);
                widest = std::max<int>(widest, s.cx);
                tallest = std::max<int>(tallest, s.cy);
            }
        }
        return PlayerBar::buttonForGlyphs({widest, tallest});
    }

private:
    void release() {
        for (auto& g : glyphs_) {
            for (HBITMAP& bitmap : g) {
                if (bitmap != nullptr) DeleteObject(bitmap);
                bitmap = nullptr;
            }
        }
    }
    std::array<std::array<HBITMAP, 3>, 9> glyphs_{};
};

TMediaPlayer::TMediaPlayer(MediaLayer& layer, HWND parent, int id, const RECT& place)
    : TMediaPlayer(std::make_unique<GlyphSet>(), layer, parent, id, place) {}

TMediaPlayer::TMediaPlayer(std::unique_ptr<GlyphSet> glyphs, MediaLayer& layer, HWND parent, int id,
                           const RECT& place)
    : PlayerBar(layer, glyphs->smallestButton()), Buttons(std::move(glyphs)) {
    // The second press of a double click comes as WM_LBUTTONDBLCLK, and presses too.
    create({kClassName, CS_DBLCLKS, nullptr, nullptr}, WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, L"", parent,
           place.left, place.top, place.right - place.left, place.bottom - place.top,
           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)));
    if (hwnd() == nullptr) throw std::runtime_error("The player control could not be created");
    followWindowSize();
}

// The window goes before the glyphs it paints with; its screen readers are cut off with it.
TMediaPlayer::~TMediaPlayer() {
    if (hwnd() != nullptr) DestroyWindow(hwnd());
    accessibility_.disconnect();
}

void TMediaPlayer::repaint() {
    if (hwnd() != nullptr) InvalidateRect(hwnd(), nullptr, FALSE);
}

void TMediaPlayer::paintNow() {
    if (hwnd() != nullptr) RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void TMediaPlayer::resizeTo(Size size) {
    if (hwnd() != nullptr) {
        SetWindowPos(hwnd(), nullptr, 0, 0, size.width, size.height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

PlayerBar::Size TMediaPlayer::currentSize() const {
    RECT r{};
    if (hwnd() == nullptr || !GetClientRect(hwnd(), &r)) return laidOut();
    return {r.right, r.bottom};
}

void TMediaPlayer::followWindowSize() {
    const Size now = currentSize();
    if (ButtonWidth() != 0 && now == laidOut()) return;
    const Size laid = layOut(now);
    if (laid != now) resizeTo(laid);
}

void TMediaPlayer::dropPress() {
    if (!Pressed()) return;
    mouseMove(-1, -1);  // off the button: the release runs no click
    mouseUp();
}

LRESULT TMediaPlayer::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            followWindowSize();
            return 0;
        case WM_ERASEBKGND:
            return 1;  // the paint covers every pixel
        case WM_PAINT: {
            PAINTSTRUCT ps{};
            HDC dc = BeginPaint(hwnd(), &ps);
            RECT r{};
            GetClientRect(hwnd(), &r);
            // Drawn off screen first, so that a press does not flicker.
            HDC buffer = CreateCompatibleDC(dc);
            HBITMAP bitmap = CreateCompatibleBitmap(dc, std::max<LONG>(r.right, 1), std::max<LONG>(r.bottom, 1));
            HGDIOBJ old = SelectObject(buffer, bitmap);
            paint(buffer);
            BitBlt(dc, 0, 0, r.right, r.bottom, buffer, 0, 0, SRCCOPY);
            SelectObject(buffer, old);
            DeleteObject(bitmap);
            DeleteDC(buffer);
            EndPaint(hwnd(), &ps);
            return 0;
        }
        case WM_PRINTCLIENT:
            paint(reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_ENABLE:
            repaint();
            accessibility_.statesChanged();
            return 0;
        case WM_GETOBJECT:
            return accessibility_.answer(wParam, lParam);
        case WM_DESTROY:
            accessibility_.disconnect();
            break;
        case PlayerAccessibility::kPressMessage:
            // A screen reader's press, as Space gives it.
            if (wParam <= btEject && IsWindowEnabled(hwnd())) pressByKeyboard(static_cast<TMPBtnType>(wParam));
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (GetFocus() != hwnd()) SetFocus(hwnd());
            followWindowSize();
            mouseDown(GET_X_LPARAM(lParam));
            if (Pressed()) {
                SetCapture(hwnd());
                accessibility_.focusMoved();
                accessibility_.statesChanged();  // held down
            }
            return 0;
        case WM_MOUSEMOVE:
            mouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        case WM_LBUTTONUP:
            releasing_ = true;
            ReleaseCapture();
            releasing_ = false;
            mouseUp();
            accessibility_.statesChanged();
            return 0;
        case WM_CAPTURECHANGED:
            if (!releasing_ && reinterpret_cast<HWND>(lParam) != hwnd()) dropPress();
            return 0;
        case WM_GETDLGCODE: {
            // The arrows move between the buttons; Space presses the focused one.
            LRESULT code = DLGC_WANTARROWS;
            const auto* msg = reinterpret_cast<const MSG*>(lParam);
            if (msg != nullptr && (msg->message == WM_KEYDOWN || msg->message == WM_CHAR) && msg->wParam == VK_SPACE) {
                code |= DLGC_WANTMESSAGE;
            }
            return code;
        }
        case WM_KEYDOWN:
            switch (wParam) {
                case VK_SPACE: keyDown(Key::Space); return 0;
                case VK_LEFT: keyDown(Key::Left); accessibility_.focusMoved(); return 0;
                case VK_RIGHT: keyDown(Key::Right); accessibility_.focusMoved(); return 0;
                default: break;
            }
            break;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            focusChanged();
            if (message == WM_SETFOCUS) accessibility_.focusMoved();
            return 0;
        default:
            break;
    }
    return Window::handle(message, wParam, lParam);
}

void TMediaPlayer::paint(HDC dc) {
    RECT r{};
    GetClientRect(hwnd(), &r);
    const Pen frame(COLOR_WINDOWFRAME);
    HGDIOBJ oldPen = SelectObject(dc, frame);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, 0, 0, r.right, r.bottom);
    HDC glyphDc = CreateCompatibleDC(dc);
    for (TMPBtnType b : kAll) {
        const int x = buttonLeft(b);
        if (x >= 0) paintButton(dc, glyphDc, b, x, r.bottom);
    }
    DeleteDC(glyphDc);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
}

void TMediaPlayer::paintButton(HDC dc, HDC glyphDc, TMPBtnType button, int x, int height) {
    const int w = ButtonWidth();
    const bool down = sunk(button);
    // GDI's rectangles and lines take their first pixel and leave out their last, as
    // the button's outline and bevel are measured.
    const Pen frame(COLOR_WINDOWFRAME), shadow(COLOR_BTNSHADOW), light(COLOR_BTNHIGHLIGHT);
    // The pens go when this returns: the caller's pen is selected back before, as a pen
    // still selected into a DC cannot be deleted and would be lost at every paint.
    const HGDIOBJ callersPen = SelectObject(dc, frame);
    SelectObject(dc, GetSysColorBrush(COLOR_BTNFACE));
    Rectangle(dc, x, 0, x + w, height);
    SelectObject(dc, down ? shadow : light);
    MoveToEx(dc, x + 1, height - 2, nullptr);
    LineTo(dc, x + 1, 1);
    LineTo(dc, x + w - 1, 1);
    if (!down) {
        SelectObject(dc, shadow);
        MoveToEx(dc, x + 2, height - 2, nullptr);
        LineTo(dc, x + w - 2, height - 2);
        LineTo(dc, x + w - 2, 1);
    }
    SelectObject(dc, callersPen);

    HBITMAP glyph = Buttons->get(button, PlayerBar::glyph(button, IsWindowEnabled(hwnd()) != FALSE));
    const SIZE g = sizeOf(glyph);
    const int shift = down ? 1 : 0;
    HGDIOBJ old = SelectObject(glyphDc, glyph);
    TransparentBlt(dc, x + w / 2 - g.cx / 2 + shift, height / 2 - g.cy / 2 + shift, g.cx, g.cy, glyphDc, 0, 0, g.cx,
                   g.cy, kTransparent);
    SelectObject(glyphDc, old);

    if (GetFocus() == hwnd() && button == FocusedButton()) {
        RECT focus{x + 3 + shift, 3 + shift, x + w - 3 + shift, height - 3 + shift};
        DrawFocusRect(dc, &focus);
    }
}

}  // namespace tb
