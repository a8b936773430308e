#pragma once

#include <QIcon>

namespace tb {

// The program's bell, in every size it is drawn at: the windows, the tray, the desktop.
QIcon programIcon();

}  // namespace tb
