#pragma once

#include <chrono>

class QWidget;

namespace tb {

// Lets a visible window shrink into its centre over `duration` and hides it; returns
// when it is done. Other events, timer ticks included, go on meanwhile. A hidden window
// is left as it is.
void collapseIntoCentre(QWidget& window, std::chrono::milliseconds duration);

}  // namespace tb
