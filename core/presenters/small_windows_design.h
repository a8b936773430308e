#pragma once

// The small windows as data: the view (TForm4), the about window (TForm5), the purchase
// window (TFormBuySourceCode) and the error box; the colours of every window but the
// main one; and the placement rules both front ends apply to them.
#include "core/presenters/window_design.h"

#include <string>

namespace tb::design {

// The fixed text colours and the light grounds they were chosen for. Pure red
// (255,0,0) reads at only 3.5:1 on the window face; this red reads at 5.0:1 on the
// face and 5.7:1 on white.
namespace colours {
inline constexpr Colour face{0xF0, 0xF0, 0xF0};  // the window and button face
inline constexpr Colour white{0xFF, 0xFF, 0xFF};
inline constexpr Colour black{0x00, 0x00, 0x00};
inline constexpr Colour blue{0x00, 0x00, 0xFF};
inline constexpr Colour navy{0x00, 0x00, 0x80};
inline constexpr Colour red{0xD0, 0x00, 0x00};
}  // namespace colours

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
