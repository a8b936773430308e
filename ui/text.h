#pragma once

#include <QFile>
#include <QString>
#include <QStringList>

#include <string>

namespace tb {

// Texts cross between the plain C++ layers (UTF-8 bytes) and Qt here. File names are
// bytes; a name that is not valid UTF-8 keeps its bytes through a round trip.
inline QString qtext(const std::string& s) { return QFile::decodeName(QByteArray::fromStdString(s)); }
inline std::string bytes(const QString& s) { return QFile::encodeName(s).toStdString(); }

// The file dialogs' filters for music files, the first one selected when they open.
inline QStringList musicFileFilters() {
    return {QStringLiteral("mp3多媒体文件 (*.mp3)"),  QStringLiteral("mid多媒体文件 (*.mid)"),
            QStringLiteral("midi多媒体文件 (*.midi)"), QStringLiteral("rmi多媒体文件 (*.rmi)"),
            QStringLiteral("wav多媒体文件 (*.wav)"),  QStringLiteral("mp2多媒体文件 (*.mp2)"),
            QStringLiteral("所有文件 (*.*)")};
}

}  // namespace tb
