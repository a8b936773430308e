#pragma once

#include "core/presenters/palette.h"

#include <windows.h>

namespace tb {

// A colour of the core's palette as GDI takes it.
constexpr COLORREF colorref(design::Colour c) { return RGB(c.red, c.green, c.blue); }

}  // namespace tb
