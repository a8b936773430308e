#pragma once

#include "core/presenters/window_design.h"
#include "front-ends/win32/fonts.h"
#include "front-ends/win32/window.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace tb {

inline COLORREF colorRef(design::Colour c) { return RGB(c.red, c.green, c.blue); }

// A control's id: its place in the design, from 101.
inline int designId(const design::Window& w, const design::Control& c) {
    return 101 + static_cast<int>(&c - w.controls.data());
}

// A window's controls made from its design: each the Windows control of its kind, at
// its place scaled to the monitor's density, with its text, font, tab stop, tooltip
// and the name and description screen readers read. Panels are places only: their
// controls stand on the window. A group box is made after what it holds, so that
// those lie above it.
class DesignedControls final {
public:
    // Makes the controls of kinds only the window knows how to make (picture buttons,
    // the player).
    using MakeSpecial = std::function<HWND(const design::Control&, const RECT& place, int id, HFONT font)>;

    DesignedControls(HWND window, const design::Window& design, const Scale& scale, Fonts& fonts,
                     const MakeSpecial& special = {});

    HWND get(std::string_view name) const;
    HFONT font(const design::Control& c);
    // The text colour of a control, for the window's WM_CTLCOLOR... answers.
    std::optional<COLORREF> ink(HWND control) const;

private:
    HWND window_;
    const design::Window& design_;
    Scale scale_;
    Fonts& fonts_;
    std::map<std::string, HWND, std::less<>> controls_;
    std::map<HWND, COLORREF> inks_;
};

// Gives a control the name and description screen readers read, in place of what
// Windows would take from its text or the label before it.
void nameForScreenReaders(HWND control, const std::wstring& name, const std::wstring& description);

// The size of a text in a font (of "Xg" for an empty one: a line's height).
SIZE textSize(HFONT font, const std::wstring& text);

}  // namespace tb
