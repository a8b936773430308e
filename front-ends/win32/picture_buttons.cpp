#include "front-ends/win32/picture_buttons.h"

#include "front-ends/win32/window.h"

#include <commctrl.h>

namespace tb {

PictureButtons::PictureButtons(HWND parent)
    : parent_(parent),
      tooltips_(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0,
                                0, 0, parent, nullptr, GetModuleHandleW(nullptr), nullptr)) {}

PictureButtons::~PictureButtons() {
    for (auto& [button, p] : buttons_) {
        if (p.icon != nullptr) DestroyIcon(p.icon);
        if (p.picture != nullptr) DeleteObject(p.picture);
        if (p.disabled != nullptr) DeleteObject(p.disabled);
    }
}

HWND PictureButtons::add(const std::wstring& hint, const RECT& place, int id, HFONT font, HICON icon) {
    return add(hint, place, id, font, Pictures{icon, nullptr, nullptr});
}

HWND PictureButtons::add(const std::wstring& hint, const RECT& place, int id, HFONT font, HBITMAP picture,
                         HBITMAP disabled) {
    return add(hint, place, id, font, Pictures{nullptr, picture, disabled});
}

HWND PictureButtons::add(const std::wstring& hint, const RECT& place, int id, HFONT font, const Pictures& pictures) {
    HWND button = createControl(parent_, L"BUTTON", hint, BS_OWNERDRAW | WS_TABSTOP, 0, place, id, font);
    buttons_[button] = pictures;
    std::wstring text = hint;
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = parent_;
    tool.uId = reinterpret_cast<UINT_PTR>(button);
    tool.lpszText = text.data();
    SendMessageW(tooltips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    return button;
}

bool PictureButtons::draw(const DRAWITEMSTRUCT& item) const {
    const auto found = buttons_.find(item.hwndItem);
    if (found == buttons_.end()) return false;
    const Pictures& p = found->second;
    RECT r = item.rcItem;
    const bool pushed = (item.itemState & ODS_SELECTED) != 0;
    DrawFrameControl(item.hDC, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
    // The picture sinks with the button.
    const int shift = pushed ? 1 : 0;
    const int cx = (r.left + r.right) / 2 + shift, cy = (r.top + r.bottom) / 2 + shift;
    if (p.icon != nullptr) {
        const int size = GetSystemMetrics(SM_CXSMICON);
        DrawIconEx(item.hDC, cx - size / 2, cy - size / 2, p.icon, size, size, 0, nullptr, DI_NORMAL);
    } else if (HBITMAP bitmap = (item.itemState & ODS_DISABLED) != 0 ? p.disabled : p.picture) {
        BITMAP info{};
        GetObjectW(bitmap, sizeof info, &info);
        HDC source = CreateCompatibleDC(item.hDC);
        HGDIOBJ old = SelectObject(source, bitmap);
        TransparentBlt(item.hDC, cx - info.bmWidth / 2, cy - info.bmHeight / 2, info.bmWidth, info.bmHeight, source, 0,
                       0, info.bmWidth, info.bmHeight, RGB(128, 128, 0));
        SelectObject(source, old);
        DeleteDC(source);
    }
    if ((item.itemState & ODS_FOCUS) != 0) {
        InflateRect(&r, -3, -3);
        DrawFocusRect(item.hDC, &r);
    }
    return true;
}

}  // namespace tb
