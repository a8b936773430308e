#pragma once

#include "core/handler.h"

#include <QApplication>
#include <QObject>

#include <type_traits>
#include <utility>

namespace tb {

// The program's Qt application: every event Qt delivers (close, change, key, timer,
// paint, an event filter's, a queued call's) is handled inside the handler wrapper, as
// each message is by the window procedure on Windows. What a handler throws reaches the
// error box, and the event counts as handled but not accepted (a close that failed
// keeps its window).
//
// Events enter here; signals do not. A signal's handler runs inside the widget that
// emitted it (a button's release, a menu's activation), and Qt's widget libraries are
// built without exceptions: nothing may unwind through them, or they are left half way
// (a menu that never activates again). So each signal reaches the program through
// onSignal(), which runs its handler inside the wrapper before control goes back to Qt.
class QtApplication final : public QApplication {
public:
    QtApplication(int& argc, char** argv) : QApplication(argc, argv) {}
    bool notify(QObject* receiver, QEvent* event) override;
};

// Connects `signal` of `sender` to a handler of the program, run inside the handler
// wrapper while `context` lives. The handler takes the signal's arguments, or none.
template <class Sender, class Signal, class Handler>
QMetaObject::Connection onSignal(Sender* sender, Signal signal, const QObject* context, Handler handler) {
    return QObject::connect(sender, signal, context, [handler = std::move(handler)](const auto&... arguments) {
        runHandler([&] {
            if constexpr (std::is_invocable_v<const Handler&, decltype(arguments)...>) {
                handler(arguments...);
            } else {
                handler();
            }
        });
    });
}

}  // namespace tb
