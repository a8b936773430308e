#pragma once

// The playlist editor (TForm3) as data, laid out at 120 dots per inch, and the rules
// that fit its texts into the places of that design.
#include "core/presenters/small_windows_design.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tb::design {

// Its caption and Label1's heading are set by the command that opens it.
const Window& editor();

// The largest character height from `pixels` down (to 6 at least) at which
// `widestAt(height)`, the width of the texts in that height, fits `width`: the fonts
// that stand in for the design's are wider than it.
int fittingFont(int pixels, int width, const std::function<int(int pixels)>& widestAt);

// A memo's lines as they must fit its width: blanks at a line's end never wrap.
std::vector<std::string> linesToFit(std::string_view text);

}  // namespace tb::design
