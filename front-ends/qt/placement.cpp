#include "front-ends/qt/placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace tb {

void centreOver(QWidget& window, const QWidget* over) {
    QRect frame = window.frameGeometry();
    if (over != nullptr) {
        frame.moveCenter(over->frameGeometry().center());
    } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        frame.moveCenter(screen->availableGeometry().center());
    } else {
        return;
    }
    window.move(frame.topLeft());
}

}  // namespace tb
