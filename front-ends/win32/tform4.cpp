#include "front-ends/win32/tform4.h"

#include "core/presenters/small_windows_design.h"
#include "core/presenters/window_texts.h"
#include "front-ends/win32/colours.h"
#include "front-ends/win32/loop.h"
#include "front-ends/win32/resources/resource_ids.h"
#include "front-ends/win32/text.h"

#include <shellapi.h>

#include <stdexcept>

namespace tb {

FixedWindow::FixedWindow(const design::Window& design, bool onTop, int background, HWND owner)
    : owner_(owner), scale_{dpiOf(owner), design.dpi}, fonts_(scale_), background_(background) {
    const std::wstring className = wide(design.name);
    create({className.c_str(), 0, LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_TOLLBROOK)),
            GetSysColorBrush(background)},
           WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, onTop ? WS_EX_TOPMOST : 0, wide(design.caption), owner,
           CW_USEDEFAULT, CW_USEDEFAULT, scale_(design.width), scale_(design.height));
    if (hwnd() == nullptr) throw std::runtime_error("A window could not be created");
    setClientSize(hwnd(), scale_(design.width), scale_(design.height));
    made_ = std::make_unique<DesignedControls>(hwnd(), design, scale_, fonts_);
}

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
            auto* control = reinterpret_cast<HWND>(lParam);
            const auto ink = made_ ? made_->ink(control) : std::nullopt;
            if (!ink) break;
            auto dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, *ink);
            // A label stands on the window's ground; a list or an edit on the window colour.
            const int ground = message == WM_CTLCOLORSTATIC ? background_ : COLOR_WINDOW;
            SetBkColor(dc, GetSysColor(ground));
            if (message == WM_CTLCOLORSTATIC) SetBkMode(dc, TRANSPARENT);
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
    : FixedWindow(design::viewWindow(), true, COLOR_BTNFACE, owner),
      c_{control("Label1"), control("ListBox1")} {
    // The heading keeps the centre of its place and takes the width its text needs.
    const design::Control& label = design::viewWindow().control("Label1");
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(c_.Label1, WM_GETFONT, 0, 0));
    const int textWidth = MulDiv(textSize(font, wide(label.text)).cx + 2, 96, scale().dpi) + 1;
    const design::Rect r = design::centredHeading(label.rect, textWidth);
    const RECT place = scale().rect(r.x, r.y, r.width, r.height);
    SetWindowLongPtrW(c_.Label1, GWL_STYLE, (GetWindowLongPtrW(c_.Label1, GWL_STYLE) & ~SS_TYPEMASK) | SS_CENTER);
    SetWindowPos(c_.Label1, nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
                 SWP_NOZORDER | SWP_FRAMECHANGED);
    for (const auto& path : paths) {
        SendMessageW(c_.ListBox1, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(path).c_str()));
    }
}

void TForm4::show() {
    centreOver(hwnd(), owner_);
    ShowWindow(hwnd(), SW_SHOW);
}

TForm5::TForm5(HWND owner)
    : FixedWindow(design::aboutWindow(), true, COLOR_HIGHLIGHTTEXT, owner),
      c_{control("Label1"), control("Memo1")} {}

void TForm5::show() {
    centreOver(hwnd(), owner_);
    ShowWindow(hwnd(), SW_SHOW);
}

TFormBuySourceCode::TFormBuySourceCode(HWND owner)
    : FixedWindow(design::purchaseWindow(), false, COLOR_BTNFACE, owner),
      openPage([](HWND parent, const std::wstring& address) {
          ShellExecuteW(parent, nullptr, address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
      }),
      c_{control("Memo1"), control("Button1")} {
    // Two lines of 16 pixels fill the 41: no margin may push the second out.
    SendMessageW(c_.Memo1, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
}

void TFormBuySourceCode::ShowModal() {
    centreOver(hwnd(), nullptr);
    showModal(hwnd(), owner_);
}

void TFormBuySourceCode::command(int id, int code) {
    // The window stays open.
    if (id == GetDlgCtrlID(c_.Button1) && code == BN_CLICKED && openPage) {
        openPage(owner_, wide(window_texts::kPurchaseAddress));
    }
    FixedWindow::command(id, code);
}

}  // namespace tb
