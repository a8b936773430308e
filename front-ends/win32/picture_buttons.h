#pragma once

#include <windows.h>

#include <map>
#include <string>

namespace tb {

// Push buttons that show a picture instead of a text: their text is their hint (shown
// as a tooltip) and their name for screen readers. The parent window draws them by
// passing its WM_DRAWITEM on to draw().
class PictureButtons final {
public:
    explicit PictureButtons(HWND parent);
    PictureButtons(const PictureButtons&) = delete;
    PictureButtons& operator=(const PictureButtons&) = delete;
    ~PictureButtons();

    // A button with an icon, or with a bitmap and one for its disabled state (olive
    // pixels left out); the button owns its pictures.
    HWND add(const std::wstring& hint, const RECT& place, int id, HFONT font, HICON icon);
    HWND add(const std::wstring& hint, const RECT& place, int id, HFONT font, HBITMAP picture, HBITMAP disabled);

    // Draws one of the buttons; false when the item is none of them.
    bool draw(const DRAWITEMSTRUCT& item) const;

private:
    struct Pictures {
        HICON icon = nullptr;
        HBITMAP picture = nullptr, disabled = nullptr;
    };
    HWND add(const std::wstring& hint, const RECT& place, int id, HFONT font, const Pictures& pictures);

    HWND parent_;
    HWND tooltips_;
    std::map<HWND, Pictures> buttons_;
};

}  // namespace tb
