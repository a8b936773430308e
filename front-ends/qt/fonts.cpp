#include "front-ends/qt/fonts.h"

#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>

namespace tb {

QStringList fontChain(const char* family) {
    return {QString::fromLatin1(family), cjkFamily()};
}

void installUiFonts() {
    for (const QString& file : uiFontFiles()) {
        if (QFile::exists(file)) QFontDatabase::addApplicationFont(file);
    }
    // Tahoma has the widths of MS Sans Serif closely enough for the layouts, and scales.
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"), {QStringLiteral("Tahoma"), cjkFamily()});
    QFont::insertSubstitution(QStringLiteral("Tahoma"), cjkFamily());
    // Message boxes and file dialogs take the application's font.
    QFont app = QGuiApplication::font();
    app.setFamilies(fontChain("Tahoma"));
    QGuiApplication::setFont(app);
}

}  // namespace tb
