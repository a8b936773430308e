#pragma once

class QWidget;

namespace tb {

inline constexpr int kCollapseMilliseconds = 1500;

// Lets a visible window shrink into its centre over 1500 ms and hides it; returns when
// it is done. Other events, timer ticks included, go on meanwhile. A hidden window is
// left as it is.
void collapseIntoCentre(QWidget& window);

}  // namespace tb
