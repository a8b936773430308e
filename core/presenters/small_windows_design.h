#pragma once

// The small windows as data: the view (TForm4), the about window (TForm5), the purchase
// window (TFormBuySourceCode) and the error box; the colours of every window but the
// main one; and the placement rules both front ends apply to them.
#include "core/presenters/palette.h"
#include "core/presenters/window_design.h"

#include <string>

namespace tb::design {

// The colours, as every window fixes them.
namespace colours = palette;

const Window& viewWindow();      // TForm4
const Window& aboutWindow();     // TForm5
const Window& purchaseWindow();  // TFormBuySourceCode
const Window& errorBox();        // its text and OK button

// The error box's layout around its text: margins, the gap beside the icon, the
// widest a line of its text may be.
struct ErrorBoxSpacing {
    int margin = 11, gap = 12, widestText = 480;
};
inline constexpr ErrorBoxSpacing kErrorBoxSpacing{};

// A heading laid out narrower than its text in the fonts that show it keeps the
// centre of its design place and takes the width its text needs.
Rect centredHeading(const Rect& design, int textWidth);

// What a screen reader calls a control: its accessible name, else its text without
// the access key's "&".
std::string spokenName(const Control& c);

// The WCAG 2 contrast of a text colour on a ground, 1 to 21.
double contrast(Colour text, Colour ground);

}  // namespace tb::design
