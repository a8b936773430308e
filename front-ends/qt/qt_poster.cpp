#include "front-ends/qt/qt_poster.h"

#include "core/handler.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace tb {

void QtPoster::post(std::function<void()> call) {
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [call = std::move(call)] { runHandler(call); }, Qt::QueuedConnection);
}

}  // namespace tb
