#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QLabel>
#include <QString>

namespace tb {

// A font by family and character height in pixels (96-dpi units, scaled by Qt).
inline QFont uiFont(const char* family, int pixels, bool bold = false) {
    QFont f(QString::fromLatin1(family));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

// Shrinks a label's font until its text fits `width`: the windows were laid out for
// fonts (Tahoma, MS Sans Serif) that a Linux desktop seldom has, and the ones standing
// in are wider.
inline void fitText(QLabel* label, int width) {
    QFont f = label->font();
    while (f.pixelSize() > 6 && QFontMetrics(f).horizontalAdvance(label->text()) > width) {
        f.setPixelSize(f.pixelSize() - 1);
    }
    label->setFont(f);
    label->resize(width, label->sizeHint().height());
}

}  // namespace tb
