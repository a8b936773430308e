#include "front-ends/qt/ttimer.h"

#include "core/handler.h"
#include "core/schedule/trigger.h"

namespace tb {

TTimer::TTimer(Clock& clock, QObject* parent) : QObject(parent), clock_(clock) {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, [this] {
        // Re-armed first: the handler may run a nested event loop (an error box) in
        // which the next ticks must still come.
        arm();
        if (OnTimer) runHandler(OnTimer);
    });
}

void TTimer::setEnabled(bool enabled) {
    enabled_ = enabled;
    if (enabled) {
        arm();
    } else {
        timer_.stop();
    }
}

void TTimer::arm() {
    if (!enabled_) return;
    timer_.start(msUntilNextTick(clock_.nowMs()));
}

}  // namespace tb
