#include "front-ends/win32/tform4.h"

#include "core/presenters/window_texts.h"
#include "front-ends/win32/colours.h"
#include "front-ends/win32/loop.h"
#include "front-ends/win32/resources/resource_ids.h"
#include "front-ends/win32/text.h"

#include <shellapi.h>

#include <algorithm>
#include <stdexcept>

namespace tb {
namespace {

constexpr COLORREF kBlue = RGB(0, 0, 255), kRed = colorref(design::palette::red);
constexpr int kButton1 = 101;

// A text of the program with its line breaks as an edit control wants them.
std::wstring editText(const char* utf8) {
    std::wstring text;
    for (wchar_t c : wide(utf8)) {
        if (c == L'\n') text += L'\r';
        text += c;
    }
    return text;
}

}  // namespace

FixedWindow::FixedWindow(const Design& design, HWND owner)
    : owner_(owner), scale_{dpiOf(owner), 96}, fonts_(scale_), windowFont_(fonts_.get(L"Tahoma", design.fontHeight)),
      background_(design.background) {
    create({design.className, 0, LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_TOLLBROOK)),
            GetSysColorBrush(design.background)},
           WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, design.onTop ? WS_EX_TOPMOST : 0, design.title, owner,
           CW_USEDEFAULT, CW_USEDEFAULT, scale_(design.width), scale_(design.height));
    if (hwnd() == nullptr) throw std::runtime_error("A window could not be created");
    setClientSize(hwnd(), scale_(design.width), scale_(design.height));
}

HWND FixedWindow::control(const wchar_t* className, const std::wstring& text, DWORD style, DWORD exStyle, int x, int y,
                          int width, int height, int id, HFONT controlFont) {
    return createControl(hwnd(), className, text, style, exStyle, scale_.rect(x, y, width, height), id,
                         controlFont != nullptr ? controlFont : windowFont_);
}

void FixedWindow::colour(HWND control, COLORREF text, bool transparent) { looks_[control] = {text, transparent}; }

void FixedWindow::command(int id, int) {
    if (id == IDCANCEL) SendMessageW(hwnd(), WM_CLOSE, 0, 0);  // Escape, through the loop's dialog keys
}

LRESULT FixedWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            command(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLOREDIT: {
            const auto look = looks_.find(reinterpret_cast<HWND>(lParam));
            if (look == looks_.end()) break;
            auto dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, look->second.text);
            // A list or an edit stands on the window colour, a label on the window's own.
            const int ground = look->second.transparent                 ? background_
                               : message == WM_CTLCOLORSTATIC ? COLOR_BTNFACE
                                                              : COLOR_WINDOW;
            SetBkColor(dc, GetSysColor(ground));
            if (look->second.transparent) SetBkMode(dc, TRANSPARENT);
            return reinterpret_cast<LRESULT>(GetSysColorBrush(ground));
        }
        case WM_ACTIVATE:
            // The keyboard focus goes back to the control that had it, as in a dialog.
            if (LOWORD(wParam) == WA_INACTIVE) {
                if (HWND focus = GetFocus(); focus != nullptr && IsChild(hwnd(), focus)) lastFocus_ = focus;
            } else if (HWND next = lastFocus_ != nullptr && IsWindow(lastFocus_)
                                       ? lastFocus_
                                       : GetNextDlgTabItem(hwnd(), nullptr, FALSE)) {
                SetFocus(next);
            }
            return 0;
        case WM_CLOSE:
            closed_ = true;
            ShowWindow(hwnd(), SW_HIDE);
            return 0;
        default:
            break;
    }
    return Window::handle(message, wParam, lParam);
}

TForm4::TForm4(HWND owner, const std::vector<std::string>& paths)
    : FixedWindow({L"TForm4", L"Existing repertoire view", 445, 421, true, COLOR_BTNFACE, 13}, owner) {
    // Laid out 112 wide, narrower than its text: the heading keeps its centre and takes
    // the width its text needs.
    const std::wstring heading = L"Existing repertoire";
    HDC dc = GetDC(hwnd());
    HGDIOBJ old = SelectObject(dc, font(16));
    SIZE size{};
    GetTextExtentPoint32W(dc, heading.c_str(), static_cast<int>(heading.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(hwnd(), dc);
    const int width = std::max(112, MulDiv(size.cx + 2, 96, scale().dpi) + 1);
    Label1 = control(L"STATIC", heading, SS_CENTER | SS_NOPREFIX, 0, 177 + 56 - width / 2, 2, width, 20, -1, font(16));
    colour(Label1, kRed);
    ListBox1 = control(L"LISTBOX", L"", LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, 0, 421 - 397,
                       445, 397, -1, font(12));
    colour(ListBox1, kBlue);
    for (const auto& path : paths) {
        SendMessageW(ListBox1, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(path).c_str()));
    }
}

void TForm4::show() {
    centreOver(hwnd(), owner_);
    ShowWindow(hwnd(), SW_SHOW);
}

TForm5::TForm5(HWND owner)
    : FixedWindow({L"TForm5", L"About software", 522, 359, true, COLOR_HIGHLIGHTTEXT, 16}, owner) {
    Label1 = control(L"STATIC", L"Tollbrook", SS_LEFT | SS_NOPREFIX, 0, 25, 19, 460, 33, -1, font(19, true));
    colour(Label1, kRed, true);
    // Editable in place; nothing of it is kept.
    Memo1 = control(L"EDIT", editText(window_texts::kAboutDescription),
                    ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_TABSTOP, 0, 0, 359 - 293, 522, 293, -1);
}

void TForm5::show() {
    centreOver(hwnd(), owner_);
    ShowWindow(hwnd(), SW_SHOW);
}

TFormBuySourceCode::TFormBuySourceCode(HWND owner)
    : FixedWindow({L"TFormBuySourceCode", L"Buy Source Code", 447, 141, false, COLOR_BTNFACE, 13}, owner),
      openPage([](HWND parent, const std::wstring& address) {
          ShellExecuteW(parent, nullptr, address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
      }) {
    Memo1 = control(L"EDIT", editText(window_texts::kPurchaseNote), ES_MULTILINE | ES_READONLY, 0, 0, 0, 447, 41, -1,
                    font(16));
    // Two lines of 16 pixels fill the 41: no margin may push the second out.
    SendMessageW(Memo1, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
    colour(Memo1, GetSysColor(COLOR_WINDOWTEXT));
    Button1 = control(L"BUTTON", L"&Buy Source Code", BS_PUSHBUTTON | WS_TABSTOP, 0, 152, 64, 121, 25, kButton1);
}

void TFormBuySourceCode::ShowModal() {
    centreOver(hwnd(), nullptr);
    showModal(hwnd(), owner_);
}

void TFormBuySourceCode::command(int id, int code) {
    // The window stays open.
    if (id == kButton1 && code == BN_CLICKED && openPage) openPage(owner_, wide(window_texts::kPurchaseAddress));
    FixedWindow::command(id, code);
}

}  // namespace tb
