#include "front-ends/win32/ttimer.h"

#include "core/handler.h"
#include "core/schedule/trigger.h"

#include <stdexcept>

namespace tb {

void TTimer::setEnabled(bool enabled) {
    enabled_ = enabled;
    if (enabled) {
        arm();
    } else {
        KillTimer(window_, id_);
    }
}

bool TTimer::handleTimer(WPARAM id) {
    if (id != id_) return false;
    arm();
    if (enabled_ && OnTimer) runHandler(OnTimer);
    return true;
}

void TTimer::arm() {
    if (!enabled_) return;
    // Setting a timer with the same id again replaces it.
    if (SetTimer(window_, id_, static_cast<UINT>(msUntilNextTick(clock_.nowMs())), nullptr) == 0) {
        enabled_ = false;
        throw std::runtime_error("Not enough timers available");
    }
}

}  // namespace tb
