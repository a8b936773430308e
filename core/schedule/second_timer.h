#pragma once

#include "core/schedule/clock.h"

#include <functional>

namespace tb {

// The schedule timer's rules, the same for every front end. Instead of a free-running
// period, each tick is armed for just after the next wall-clock second, so that ticks
// neither drift across seconds nor come twice in one. The front end's timer is a
// one-shot that `start` arms for a number of milliseconds (it may throw when the system
// refuses it) and `stop` stops; it calls fired() when it runs out.
class SecondTimer final {
public:
    SecondTimer(Clock& clock, std::function<void(int ms)> start, std::function<void()> stop)
        : clock_(clock), start_(std::move(start)), stop_(std::move(stop)) {}

    bool Enabled() const { return enabled_; }
    // Enabling starts the wait anew. A timer the system refuses stays disabled and the
    // failure goes on to the caller.
    void setEnabled(bool enabled);

    // The front end's timer ran out. It is armed again first, since OnTimer may run an
    // event loop of its own (an error box) in which the next ticks must still come;
    // then OnTimer runs inside the handler wrapper, unless the timer was disabled.
    void fired();

    std::function<void()> OnTimer;

private:
    void arm();

    Clock& clock_;
    std::function<void(int ms)> start_;
    std::function<void()> stop_;
    bool enabled_ = false;
};

}  // namespace tb
