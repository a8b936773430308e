#pragma once

#include "core/schedule/second_timer.h"

#include <QObject>
#include <QTimer>

#include <functional>

namespace tb {

// The schedule timer: a one-shot Qt timer that the core's SecondTimer arms for just
// after each wall-clock second.
class TTimer final : public QObject {
    Q_OBJECT

public:
    TTimer(Clock& clock, QObject* parent = nullptr);

    bool Enabled() const { return rules_.Enabled(); }
    void setEnabled(bool enabled) { rules_.setEnabled(enabled); }

    std::function<void()>& OnTimer = rules_.OnTimer;

private:
    QTimer timer_;
    SecondTimer rules_;
};

}  // namespace tb
