// The main window's controls and menus, at their places in 96-dpi units.
#include "front-ends/win32/tform1.h"

#include "core/handler.h"
#include "front-ends/win32/picture_buttons.h"
#include "front-ends/win32/tmediaplayer.h"
#include "front-ends/win32/text.h"
#include "front-ends/win32/colours.h"

#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>
#include <stdexcept>
#include <string>

namespace tb {
namespace {

// Where a control of the design goes: its window's parent, and the offset of its place
// there (a group box is drawn under its controls, which are its window's children).
struct Parent {
    HWND window;
    int x = 0, y = 0;
};

// A flat panel named for screen readers by its window text. What its controls report
// goes on to the window.
class Panel final : public Window {
public:
    Panel(HWND parent, int id, const std::wstring& name) {
        create({L"TollbrookPanel"}, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT, name, parent, 0, 0, 0,
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

// A place of the design at the window's density. Its edges are scaled, not its size, so
// that neighbours that touch or stand apart at 96 dpi do so at every density.
void place(HWND control, const Scale& s, const design::Rect& r, int x = 0, int y = 0) {
    const int left = s(x + r.x), top = s(y + r.y), right = s(x + r.x + r.width), bottom = s(y + r.y + r.height);
    SetWindowPos(control, nullptr, left, top, right - left, bottom - top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void setFont(HWND control, HFONT font) { SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE); }

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
    const COLORREF ink = RGB(0, 96, 0), grey = GetSysColor(COLOR_GRAYTEXT);
    for (const design::Control& c : design::mainWindow().controls) {
        HWND parent = c.parent.empty() || c.parent == "GroupBox1" ? hwnd() : c_.byName.at(c.parent);
        const std::wstring text = wide(c.text);
        HWND w = nullptr;
        switch (c.kind) {
            case design::Kind::GroupBox:
                // Drawn under the controls inside it, made last (below).
                continue;
            case design::Kind::ListBox:
                w = c_.ListBox1 = createControl(parent, L"LISTBOX", wide(c.accessibleName),
                                                WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT |
                                                    LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | WS_CLIPSIBLINGS,
                                                WS_EX_CLIENTEDGE, {}, idListBox1, nullptr);
                route(w);
                break;
            case design::Kind::Panel:
                bottomBar_ = std::make_unique<Panel>(parent, idBottomBar, wide(c.accessibleName));
                w = bottomBar_->hwnd();
                pictureButtons_ = std::make_unique<PictureButtons>(w);
                break;
            case design::Kind::TrackBar:
                // Its window text is what a screen reader names it by.
                w = c_.TrackBar1 = createControl(parent, TRACKBAR_CLASSW, wide(c.accessibleName),
                                                 WS_TABSTOP | TBS_HORZ | TBS_NOTICKS, 0, {}, idTrackBar1, nullptr);
                SendMessageW(w, TBM_SETRANGE, TRUE, MAKELPARAM(0, 255));
                SendMessageW(w, TBM_SETPOS, TRUE, 1);
                break;
            case design::Kind::Edit:
                // A field is named by the label just before it; this one is not seen (no size).
                createControl(parent, L"STATIC", wide(c.accessibleName), 0, 0, {}, idClockLabel, nullptr);
                w = c_.Edit3 = createControl(parent, L"EDIT", text, ES_READONLY | ES_AUTOHSCROLL, 0, {}, idEdit3, nullptr);
                break;
            case design::Kind::PictureButton: {
                const bool refresh = c.name == "BitBtn2";
                w = pictureButtons_->add(wide(c.accessibleName), {}, refresh ? idBitBtn2 : idBitBtn1, nullptr,
                                         picture(refresh, scale_, ink), picture(refresh, scale_, grey));
                (refresh ? c_.BitBtn2 : c_.BitBtn1) = w;
                break;
            }
            case design::Kind::PushButton:
                w = c_.Button1 = createControl(parent, L"BUTTON", text, BS_PUSHBUTTON | WS_TABSTOP, 0, {}, idButton1, nullptr);
                break;
            case design::Kind::MediaPlayer:
                player_ = std::make_unique<TMediaPlayer>(services_.media, parent, idMediaPlayer1, RECT{});
                c_.MediaPlayer1 = player_.get();
                w = player_->hwnd();
                player_->setName(wide(c.accessibleName));
                player_->setHint(wide(c.hint));
                break;
            case design::Kind::StatusBar:
                w = c_.StatusBar1 = createControl(parent, STATUSCLASSNAMEW, L"", CCS_NORESIZE | CCS_NOPARENTALIGN, 0,
                                                  {}, idStatusBar1, nullptr);
                break;
            case design::Kind::StatusPanel: continue;
            default: design::mainWindow().unknownKind(c);
        }
        c_.byName[c.name] = w;
        if (c.ink && c.face) colours_[w] = {colorref(*c.ink), colorref(*c.face), CreateSolidBrush(colorref(*c.face))};
        if (!c.hint.empty() && c.kind != design::Kind::PictureButton) addToolTip(w, wide(c.hint));
        name(w, c);
    }

    // Made last, the group box lies under the controls inside it.
    const design::Control& group = design::mainWindow().control("GroupBox1");
    c_.GroupBox1 = c_.byName[group.name] = createControl(hwnd(), L"BUTTON", wide(group.text),
                                                         BS_GROUPBOX | WS_CLIPSIBLINGS, 0, {}, idGroupBox1, nullptr);
    name(c_.GroupBox1, group);
    // A visual style draws a group box's caption in its own colour, not the design's
    // blue: the group box paints itself here.
    route(c_.GroupBox1);
}

// The accessible name and description of a control whose window text is not its name
// (Button1's "Play" is "Play a file"), through oleacc's annotation where it has one.
void TForm1::name(HWND control, const design::Control& c) {
    // The program's thread has COM already; a test's may not.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    IAccPropServices* services = nullptr;
    if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                                reinterpret_cast<void**>(&services)))) {
        if (SUCCEEDED(com)) CoUninitialize();
        return;
    }
    services->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, PROPID_ACC_NAME,
                             wide(c.accessibleName).c_str());
    if (!c.hint.empty()) {
        services->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, PROPID_ACC_DESCRIPTION,
                                 wide(c.hint).c_str());
    }
    services->Release();
    if (SUCCEEDED(com)) CoUninitialize();
}

// A row of the playlist view: the design's colours, and the selection's for the
// selected row, which a bell leaves selected.
void TForm1::drawRow(const DRAWITEMSTRUCT& item) const {
    const design::Control& list = design::mainWindow().control("ListBox1");
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    const COLORREF ink = colorref(selected ? design::palette::selectionText : *list.ink);
    const COLORREF face = colorref(selected ? design::palette::selection : *list.face);
    HBRUSH brush = CreateSolidBrush(face);
    FillRect(item.hDC, &item.rcItem, brush);
    DeleteObject(brush);
    if (item.itemID != static_cast<UINT>(-1)) {
        const auto length = SendMessageW(item.hwndItem, LB_GETTEXTLEN, item.itemID, 0);
        std::wstring text(static_cast<std::size_t>(std::max<LRESULT>(length, 0)), L'\0');
        if (length > 0) SendMessageW(item.hwndItem, LB_GETTEXT, item.itemID, reinterpret_cast<LPARAM>(text.data()));
        SetTextColor(item.hDC, ink);
        SetBkMode(item.hDC, TRANSPARENT);
        RECT r = item.rcItem;
        r.left += scale_(2);
        DrawTextW(item.hDC, text.c_str(), static_cast<int>(text.size()), &r,
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    if (item.itemState & ODS_FOCUS) DrawFocusRect(item.hDC, &item.rcItem);
}

// An etched frame with the caption in its ink on the window's face, the face filling the
// inside that the controls leave.
LRESULT TForm1::paintGroup(HWND group) const {
    const Scale& s = scale_;
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
    SetTextColor(dc, colorref(*design::mainWindow().control("GroupBox1").ink));
    TextOutW(dc, s(10), 0, caption, length);
    SelectObject(dc, old);
    EndPaint(group, &paint);
    return 0;
}

int TForm1::menuId(std::string_view name) {
    constexpr int kFirst = 200;
    int id = kFirst;
    for (const auto items : {design::mainMenu(), design::trayMenu()}) {
        for (const auto& item : items) {
            if (item.name == name) return id;
            ++id;
        }
    }
    throw std::logic_error("the main window's menus have no item " + std::string(name));
}

// The flat tables as menus: a level-0 item followed by level-1 items opens a submenu.
void TForm1::buildMenus() {
    c_.MainMenu1 = CreateMenu();
    const auto main = design::mainMenu();
    HMENU submenu = nullptr;
    for (std::size_t i = 0; i < main.size(); ++i) {
        const auto& item = main[i];
        if (item.level == 0 && i + 1 < main.size() && main[i + 1].level == 1) {
            submenu = CreatePopupMenu();
            AppendMenuW(c_.MainMenu1, MF_POPUP, reinterpret_cast<UINT_PTR>(submenu), wide(item.text).c_str());
        } else {
            AppendMenuW(item.level == 0 ? c_.MainMenu1 : submenu, MF_STRING, static_cast<UINT_PTR>(menuId(item.name)),
                        wide(item.text).c_str());
        }
    }
    SetMenu(hwnd(), c_.MainMenu1);

    c_.PopupMenu1 = CreatePopupMenu();
    for (const auto& item : design::trayMenu()) {
        if (item.text.empty()) {
            AppendMenuW(c_.PopupMenu1, MF_SEPARATOR, 0, nullptr);
        } else {
            AppendMenuW(c_.PopupMenu1, MF_STRING, static_cast<UINT_PTR>(menuId(item.name)), wide(item.text).c_str());
        }
    }
}

void TForm1::addToolTip(HWND control, const std::wstring& text) {
    hints_.push_back(text);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = hwnd();
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = hints_.back().data();
    SendMessageW(tooltips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

// Places every control for the window's density, at its place in the design.
void TForm1::layOut() {
    const Scale& s = scale_;
    const design::Window& d = design::mainWindow();
    auto font = [&](const design::Font& f) { return fonts_->get(wide(f.face), f.pixels, f.bold); };
    setFont(hwnd(), font(d.font));
    setClientSize(hwnd(), s(d.width), s(d.height));
    int part = 0, parts[3] = {};
    for (const design::Control& c : d.controls) {
        if (c.kind == design::Kind::StatusPanel) {
            parts[part] = c.rect.width > 0 ? s(c.rect.x + c.rect.width) : -1;
            ++part;
            continue;
        }
        HWND w = c_.byName.at(c.name);
        const design::Rect at = c.parent == "GroupBox1" ? d.control(c.parent).rect : design::Rect{};
        place(w, s, c.rect, at.x, at.y);
        setFont(w, font(c.font ? *c.font : d.font));
    }
    SendMessageW(c_.StatusBar1, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(parts));
    SendMessageW(c_.ListBox1, LB_SETITEMHEIGHT, 0, s(16));
    SendMessageW(tooltips_, TTM_SETMAXTIPWIDTH, 0, s(400));
}

}  // namespace tb
