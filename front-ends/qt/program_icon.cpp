#include "front-ends/qt/program_icon.h"

namespace tb {

QIcon programIcon() {
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/icons/tollbrook-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

}  // namespace tb
