#include "front-ends/qt/ttimer.h"

#include "front-ends/qt/handlers.h"

namespace tb {

TTimer::TTimer(Clock& clock, QObject* parent)
    : QObject(parent),
      rules_(clock, [this](int ms) { timer_.start(ms); }, [this] { timer_.stop(); }) {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    onSignal(&timer_, &QTimer::timeout, this, [this] { rules_.fired(); });
}

}  // namespace tb
