#pragma once

#include "core/schedule/clock.h"

#include <QObject>
#include <QTimer>

#include <functional>

namespace tb {

// The schedule timer. Instead of a free-running period, each tick is armed for just
// after the next wall-clock second boundary, so ticks neither drift across seconds
// nor come twice in one.
class TTimer final : public QObject {
    Q_OBJECT

public:
    TTimer(Clock& clock, QObject* parent = nullptr);

    bool Enabled() const { return enabled_; }
    void setEnabled(bool enabled);

    std::function<void()> OnTimer;

private:
    void arm();

    Clock& clock_;
    QTimer timer_;
    bool enabled_ = false;
};

}  // namespace tb
