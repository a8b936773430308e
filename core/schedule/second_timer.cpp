#include "core/schedule/second_timer.h"

#include "core/handler.h"
#include "core/schedule/trigger.h"

namespace tb {

void SecondTimer::setEnabled(bool enabled) {
    enabled_ = enabled;
    if (enabled) {
        arm();
    } else {
        stop_();
    }
}

void SecondTimer::fired() {
    arm();
    if (enabled_ && OnTimer) runHandler(OnTimer);
}

void SecondTimer::arm() {
    if (!enabled_) return;
    try {
        start_(msUntilNextTick(clock_.nowMs()));
    } catch (...) {
        enabled_ = false;
        throw;
    }
}

}  // namespace tb
