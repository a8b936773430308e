#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QFontMetrics>
#include <QLabel>
#include <QPlainTextEdit>
#include <QString>
#include <QStringList>

#include <algorithm>

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

// Shrinks a label's font until its text fits `width`, where no font with the layout's
// widths is installed (the stand-ins are wider).
inline void fitText(QLabel* label, int width) {
    QFont f = label->font();
    while (f.pixelSize() > 6 && QFontMetrics(f).horizontalAdvance(label->text()) > width) {
        f.setPixelSize(f.pixelSize() - 1);
    }
    label->setFont(f);
    label->resize(width, label->sizeHint().height());
}

// Shrinks a memo's font until none of its lines wraps at the memo's width.
inline void fitLines(QPlainTextEdit* memo) {
    const qreal width = memo->width() - 2 * memo->frameWidth() - 2 * memo->document()->documentMargin() - 1;
    QFont f = memo->font();
    auto widest = [&] {
        qreal w = 0;
        for (QString line : memo->toPlainText().split(QLatin1Char('\n'))) {
            while (line.endsWith(QLatin1Char(' '))) line.chop(1);  // trailing blanks do not wrap
            w = std::max(w, QFontMetricsF(f).horizontalAdvance(line));
        }
        return w;
    };
    while (f.pixelSize() > 6 && widest() > width) f.setPixelSize(f.pixelSize() - 1);
    memo->setFont(f);
}

}  // namespace tb
