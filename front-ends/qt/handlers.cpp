#include "front-ends/qt/handlers.h"

namespace tb {

bool QtApplication::notify(QObject* receiver, QEvent* event) {
    bool handled = false, failed = true;
    runHandler([&] {
        handled = QApplication::notify(receiver, event);
        failed = false;
    });
    // A close that failed keeps its window.
    if (failed) event->ignore();
    return handled || failed;
}

}  // namespace tb
