#pragma once

#include <QFile>
#include <QString>

#include <string>

namespace tb {

// Texts cross between the plain C++ layers (UTF-8 bytes) and Qt here. File names are
// bytes; a name that is not valid UTF-8 keeps its bytes through a round trip.
inline QString qtext(const std::string& s) { return QFile::decodeName(QByteArray::fromStdString(s)); }
inline std::string bytes(const QString& s) { return QFile::encodeName(s).toStdString(); }

}  // namespace tb
