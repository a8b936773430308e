// The main window's controls and menus, at their places in 96-dpi units.
#include "front-ends/win32/tform1.h"

#include "core/handler.h"
#include "front-ends/win32/picture_buttons.h"
#include "front-ends/win32/tmediaplayer.h"

#include <commctrl.h>

#include <algorithm>

namespace tb {
namespace {

constexpr COLORREF kBlue = RGB(0, 0, 255);

// A flat panel whose controls are cut at its edges, as the design's bottom bar cuts the
// "Play" button and the player. What its controls report goes on to the window.
class Panel final : public Window {
public:
    Panel(HWND parent, int id) {
        create({L"TollbrookPanel"}, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, L"", parent, 0, 0, 0,
               0, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)));
    }

protected:
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
            case WM_COMMAND:
            case WM_NOTIFY:
            case WM_HSCROLL:
            case WM_CTLCOLORSTATIC:
            case WM_CTLCOLOREDIT:
            case WM_CTLCOLORBTN:
            case WM_DRAWITEM:
                return SendMessageW(GetParent(hwnd()), message, wParam, lParam);
            case WM_SETCURSOR:
                if (reinterpret_cast<HWND>(wParam) != hwnd()) return SendMessageW(GetParent(hwnd()), message, wParam, lParam);
                break;
            default:
                break;
        }
        return Window::handle(message, wParam, lParam);
    }
};

void place(HWND control, const RECT& r) {
    SetWindowPos(control, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void setFont(HWND control, HFONT font) { SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE); }

int textHeight(HWND window, HFONT font) {
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return metrics.tmHeight;
}

// The pictures of "Refresh" (a circling arrow) and "Put on the tray" (an arrow down into
// a tray): 16 x 16 at 96 dpi, drawn in `ink` on olive, which is left out when shown.
HBITMAP picture(bool refresh, const Scale& s, COLORREF ink) {
    const int size = s(16);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
    ReleaseDC(nullptr, screen);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    HBRUSH olive = CreateSolidBrush(RGB(128, 128, 0));
    const RECT all{0, 0, size, size};
    FillRect(dc, &all, olive);
    DeleteObject(olive);
    HPEN pen = CreatePen(PS_SOLID, std::max(1, s(2)), ink);
    HBRUSH brush = CreateSolidBrush(ink);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    const auto at = [&](int x, int y) { return POINT{s(x), s(y)}; };
    if (refresh) {
        Arc(dc, s(3), s(3), s(13), s(13), s(13), s(6), s(12), s(11));
        const POINT head[3] = {at(10, 2), at(15, 2), at(14, 7)};
        Polygon(dc, head, 3);
    } else {
        MoveToEx(dc, s(8), s(1), nullptr);
        LineTo(dc, s(8), s(8));
        const POINT head[3] = {at(4, 7), at(12, 7), at(8, 11)};
        Polygon(dc, head, 3);
        const POINT tray[4] = {at(2, 10), at(2, 14), at(14, 14), at(14, 10)};
        Polyline(dc, tray, 4);
    }
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBitmap);
    DeleteObject(brush);
    DeleteObject(pen);
    DeleteDC(dc);
    return bitmap;
}

}  // namespace

void TForm1::buildControls() {
    tooltips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0,
                                0, 0, hwnd(), nullptr, GetModuleHandleW(nullptr), nullptr);

    ListBox1 = createControl(hwnd(), L"LISTBOX", L"",
                             WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_CLIPSIBLINGS,
                             WS_EX_CLIENTEDGE, {}, idListBox1, nullptr);
    SetWindowSubclass(ListBox1, &TForm1::listProcedure, 0, reinterpret_cast<DWORD_PTR>(this));
    addToolTip(ListBox1, L"Here is the playback area, and you can double click here to play the tracks.");

    bottomBar_ = std::make_unique<Panel>(hwnd(), idBottomBar);
    HWND bar = bottomBar_->hwnd();
    TrackBar1 = createControl(bar, TRACKBAR_CLASSW, L"", WS_TABSTOP | TBS_HORZ | TBS_NOTICKS, 0, {}, idTrackBar1,
                              nullptr);
    SendMessageW(TrackBar1, TBM_SETRANGE, TRUE, MAKELPARAM(0, 255));
    SendMessageW(TrackBar1, TBM_SETPOS, TRUE, sliderPosition_);
    addToolTip(TrackBar1, L"Volume control");
    Edit3 = createControl(bar, L"EDIT", L"", ES_READONLY | ES_AUTOHSCROLL, 0, {}, idEdit3, nullptr);
    pictureButtons_ = std::make_unique<PictureButtons>(bar);
    const COLORREF ink = RGB(0, 96, 0), grey = GetSysColor(COLOR_GRAYTEXT);
    BitBtn2 = pictureButtons_->add(L"Refresh", {}, idBitBtn2, nullptr, picture(true, scale_, ink),
                                   picture(true, scale_, grey));
    BitBtn1 = pictureButtons_->add(L"Put on the tray", {}, idBitBtn1, nullptr, picture(false, scale_, ink),
                                   picture(false, scale_, grey));
    Button1 = createControl(bar, L"BUTTON", L"Play", BS_PUSHBUTTON | WS_TABSTOP, 0, {}, idButton1, nullptr);
    MediaPlayer1 = std::make_unique<TMediaPlayer>(services_.media, bar, idMediaPlayer1, RECT{});
    constexpr const wchar_t* playerHint = L"This is the player, and you don't have to do anything";
    addToolTip(MediaPlayer1->hwnd(), playerHint);
    MediaPlayer1->setHint(playerHint);

    StatusBar1 = createControl(hwnd(), STATUSCLASSNAMEW, L"", 0, 0, {}, idStatusBar1, nullptr);

    // Made last, the group box lies under the controls inside it.
    GroupBox1 = createControl(hwnd(), L"BUTTON", L"Playlist", BS_GROUPBOX | WS_CLIPSIBLINGS, 0, {}, idGroupBox1,
                              nullptr);
    // A visual style draws a group box's caption in its own colour, not the design's
    // blue: the group box paints itself here.
    SetWindowSubclass(GroupBox1, &TForm1::groupProcedure, 0, reinterpret_cast<DWORD_PTR>(this));
}

// An etched frame with the caption in blue on the window's face, the face filling the
// inside that the controls leave.
LRESULT CALLBACK TForm1::groupProcedure(HWND group, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                        DWORD_PTR self) noexcept {
    if (message == WM_ERASEBKGND) return 1;
    if (message != WM_PAINT) return DefSubclassProc(group, message, wParam, lParam);
    const Scale& s = reinterpret_cast<const TForm1*>(self)->scale_;
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(group, &paint);
    RECT box{};
    GetClientRect(group, &box);
    FillRect(dc, &box, GetSysColorBrush(COLOR_BTNFACE));
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(group, WM_GETFONT, 0, 0)));
    wchar_t caption[64] = {};
    const int length = GetWindowTextW(group, caption, 64);
    SIZE text{};
    GetTextExtentPoint32W(dc, caption, length, &text);
    RECT frame = box;
    frame.top += text.cy / 2;
    DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
    RECT label{s(8), 0, s(8) + text.cx + s(4), text.cy};
    FillRect(dc, &label, GetSysColorBrush(COLOR_BTNFACE));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kBlue);
    TextOutW(dc, s(10), 0, caption, length);
    SelectObject(dc, old);
    EndPaint(group, &paint);
    return 0;
}

void TForm1::buildMenus() {
    MainMenu1 = CreateMenu();
    HMENU system = CreatePopupMenu();
    AppendMenuW(system, MF_STRING, idN8, L"&Auto Run");
    AppendMenuW(MainMenu1, MF_POPUP, reinterpret_cast<UINT_PTR>(system), L"&System");
    HMENU option = CreatePopupMenu();
    AppendMenuW(option, MF_STRING, idN5, L"&View Playlist");
    AppendMenuW(option, MF_STRING, idN6, L"&Edit Playlist");
    AppendMenuW(MainMenu1, MF_POPUP, reinterpret_cast<UINT_PTR>(option), L"&Option");
    HMENU about = CreatePopupMenu();
    AppendMenuW(about, MF_STRING, idBuySourceCode1, L"Buy Source Code");
    AppendMenuW(about, MF_STRING, idR1, L"&About");
    AppendMenuW(MainMenu1, MF_POPUP, reinterpret_cast<UINT_PTR>(about), L"&About");
    AppendMenuW(MainMenu1, MF_STRING, idN18, L"&Exit");
    SetMenu(hwnd(), MainMenu1);

    PopupMenu1 = CreatePopupMenu();
    AppendMenuW(PopupMenu1, MF_STRING, idM1, L"Restore window");
    AppendMenuW(PopupMenu1, MF_STRING, idN12, L"Auto run");
    AppendMenuW(PopupMenu1, MF_STRING, idN13, L"View the playlist");
    AppendMenuW(PopupMenu1, MF_STRING, idN14, L"Edit playlist");
    AppendMenuW(PopupMenu1, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(PopupMenu1, MF_STRING, idN17, L"Exit");
}

void TForm1::addToolTip(HWND control, const wchar_t* text) {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = hwnd();
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<wchar_t*>(text);
    SendMessageW(tooltips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

// Places every control for the window's density: the client area of 794 x 553, the
// status bar along its bottom, above it the group box with the playlist view and, along
// its bottom, the 26-pixel bar.
void TForm1::layOut() {
    const Scale& s = scale_;
    setFont(hwnd(), fonts_->get(L"MS Sans Serif", 11));
    setClientSize(hwnd(), s(794), s(553));
    RECT client{};
    GetClientRect(hwnd(), &client);

    setFont(StatusBar1, fonts_->get(L"MS Sans Serif", 11));
    SendMessageW(StatusBar1, WM_SIZE, 0, 0);
    RECT status{};
    GetWindowRect(StatusBar1, &status);
    const int statusHeight = status.bottom - status.top;
    const int parts[3] = {s(10), s(10) + s(50), -1};
    SendMessageW(StatusBar1, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(parts));

    // The group box's caption takes the top; its frame two pixels on every side.
    HFONT groupFont = fonts_->get(L"MS Sans Serif", 15);
    setFont(GroupBox1, groupFont);
    const RECT group{0, 0, client.right, client.bottom - statusHeight};
    place(GroupBox1, group);
    const RECT inside{group.left + s(2), group.top + textHeight(hwnd(), groupFont) + s(2), group.right - s(2),
                      group.bottom - s(2)};
    const int barTop = inside.bottom - s(26);
    place(ListBox1, {inside.left, inside.top, inside.right, barTop});
    setFont(ListBox1, fonts_->get(L"Tahoma", 13));
    place(bottomBar_->hwnd(), {inside.left, barTop, inside.right, inside.bottom});

    place(TrackBar1, s.rect(0, 2, 105, 20));
    place(Edit3, s.rect(102, 3, 92, 19));
    setFont(Edit3, fonts_->get(L"MS Sans Serif", 12, true));
    place(BitBtn2, s.rect(201, 4, 17, 17));
    place(BitBtn1, s.rect(223, 4, 17, 17));
    place(Button1, s.rect(249, -4, 54, 29));
    setFont(Button1, fonts_->get(L"MS Sans Serif", 12));
    place(MediaPlayer1->hwnd(), s.rect(305, -5, 197, 30));
    SendMessageW(tooltips_, TTM_SETMAXTIPWIDTH, 0, s(400));
}

}  // namespace tb
