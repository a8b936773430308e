#pragma once

// The colours the windows fix, once for every front end. A window that fixes a text
// colour fixes its background too, so that a dark desktop palette never puts blue or
// red text on a dark ground. Each pair the windows draw reads at 4.5:1 or more.
#include "core/presenters/window_design.h"

namespace tb::design::palette {

inline constexpr Colour face{0xF0, 0xF0, 0xF0};   // the window face
inline constexpr Colour cream{0xFF, 0xFF, 0xE1};  // the tooltip background: the playlist, the clock
inline constexpr Colour white{0xFF, 0xFF, 0xFF};
inline constexpr Colour black{0x00, 0x00, 0x00};
inline constexpr Colour blue{0x00, 0x00, 0xFF};
inline constexpr Colour navy{0x00, 0x00, 0x80};
// Pure red reads at 3.5:1 on the face and 4.0:1 on white, below what small text needs;
// this red reads at 5.0:1 on the face and 5.7:1 on white, and is still plainly red.
inline constexpr Colour red{0xD0, 0x00, 0x00};
// The selected row of a list: white on this blue reads at 6.1:1, where the desktops'
// usual lighter blues give 3.4 to 3.8:1.
inline constexpr Colour selection{0x00, 0x63, 0xB1};
inline constexpr Colour selectionText = white;

}  // namespace tb::design::palette
