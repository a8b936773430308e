#include "app/application.h"

#include <QCoreApplication>

namespace tb {

void TApplication::Terminate() {
    terminated_ = true;
    if (endLoop) {
        endLoop();
        return;
    }
    // Leaves every running event loop, nested ones included, as the main loop ends.
    QCoreApplication::exit(0);
}

}  // namespace tb
