// Where Debian keeps the fonts the windows were laid out for.
#include "front-ends/qt/fonts.h"

namespace tb {

// fonts-wine: open fonts with Tahoma's metrics, kept for Wine outside fontconfig's
// folders. fonts-wqy-microhei (in fontconfig's folders) has the CJK glyphs and the
// full-width question mark.
const QStringList& uiFontFiles() {
    static const QStringList files{QStringLiteral("/usr/share/wine/fonts/tahoma.ttf"),
                                   QStringLiteral("/usr/share/wine/fonts/tahomabd.ttf")};
    return files;
}

QString cjkFamily() { return QStringLiteral("WenQuanYi Micro Hei"); }

}  // namespace tb
