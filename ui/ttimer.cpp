#include "ui/ttimer.h"

#include "app/error_box.h"

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
    std::int64_t intoSecond = clock_.nowMs() % 1000;
    if (intoSecond < 0) intoSecond += 1000;
    timer_.start(static_cast<int>(1000 - intoSecond) + kAfterBoundaryMs);
}

}  // namespace tb
