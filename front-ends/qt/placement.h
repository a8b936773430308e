#pragma once

class QWidget;

namespace tb {

// Places a window (frame included) so that its centre is the centre of `over`, or of
// the screen's available area when there is none.
void centreOver(QWidget& window, const QWidget* over);

}  // namespace tb
