#pragma once

#include <QFont>
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

}  // namespace tb
