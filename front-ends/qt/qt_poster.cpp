#include "front-ends/qt/qt_poster.h"

#include "core/handler.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace tb {

// The queued call runs inside QObject::event, which Qt builds without exception
// cleanups, so the call is wrapped before it: nothing reaches QtApplication::notify
// through Qt's own frames.
void QtPoster::post(std::function<void()> call) {
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [call = std::move(call)] { runHandler(call); }, Qt::QueuedConnection);
}

}  // namespace tb
