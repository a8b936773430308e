#pragma once

#include "front-ends/win32/window.h"

#include <windows.h>

#include <map>
#include <string>
#include <tuple>

namespace tb {

// The fonts of a window's design, made once each at the window's scale and deleted
// with the set. A height is the character height in design pixels, as the layouts
// give it ("Tahoma" with a 13-pixel character height).
class Fonts final {
public:
    explicit Fonts(Scale scale) : scale_(scale) {}
    Fonts(const Fonts&) = delete;
    Fonts& operator=(const Fonts&) = delete;
    ~Fonts();

    HFONT get(const std::wstring& face, int height, bool bold = false);

private:
    Scale scale_;
    std::map<std::tuple<std::wstring, int, bool>, HFONT> fonts_;
};

}  // namespace tb
