#include "front-ends/qt/collapse.h"

#include <QEventLoop>
#include <QLayout>
#include <QPropertyAnimation>
#include <QWidget>

namespace tb {

void collapseIntoCentre(QWidget& window, std::chrono::milliseconds duration) {
    if (!window.isVisible()) return;
    const QRect from = window.geometry();
    const QRect to(from.center(), QSize(1, 1));
    // The window's size is fixed, and its layout would hold it at the size its contents
    // need: lift both, so that it can shrink (its contents are cut, not squeezed).
    if (QLayout* layout = window.layout()) layout->setSizeConstraint(QLayout::SetNoConstraint);
    window.setMinimumSize(0, 0);
    window.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);

    QPropertyAnimation animation(&window, "geometry");
    animation.setDuration(static_cast<int>(duration.count()));
    animation.setStartValue(from);
    animation.setEndValue(to);
    QEventLoop loop;
    QObject::connect(&animation, &QPropertyAnimation::finished, &loop, &QEventLoop::quit);
    animation.start();
    loop.exec();
    window.hide();
}

}  // namespace tb
