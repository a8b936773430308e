#pragma once

#include "core/presenters/editor_design.h"

#include <QFont>
#include <QFontMetricsF>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace tb {

// The windows were laid out for Tahoma and MS Sans Serif. Registers the fonts that
// stand in for them where the desktop keeps them outside its font folders, makes MS
// Sans Serif (a bitmap font that does not scale) resolve to Tahoma, and puts the CJK
// font behind every window font for the program's Chinese texts and full-width marks.
// Call once, after the application object exists.
void installUiFonts();

// The font files installUiFonts registers, and the family of the CJK font.
const QStringList& uiFontFiles();
QString cjkFamily();

// The families a window font tries for each character, in order: the layout's font,
// then the CJK font.
QStringList fontChain(const char* family);

// A font by family and character height in pixels (96-dpi units, scaled by Qt).
inline QFont uiFont(const char* family, int pixels, bool bold = false) {
    QFont f;
    f.setFamilies(fontChain(family));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

// The font, made smaller where a stand-in is wider than the layout's font, until every
// text fits `width`.
inline QFont fitting(QFont f, const QStringList& texts, int width) {
    f.setPixelSize(design::fittingFont(f.pixelSize(), width, [&](int pixels) {
        QFont at(f);
        at.setPixelSize(pixels);
        qreal widest = 0;
        for (const QString& text : texts) widest = std::max(widest, QFontMetricsF(at).horizontalAdvance(text));
        return static_cast<int>(std::ceil(widest));
    }));
    return f;
}

}  // namespace tb
