#pragma once

// Where Qt meets the core: text, paths and colours.

#include "Colors.h"

#include <QColor>
#include <QFile>
#include <QString>
#include <filesystem>
#include <string>

namespace korvalin {

// The core's text is UTF-8.
inline QString toQString(const std::string& text) {
    return QString::fromStdString(text);
}
inline std::string fromQString(const QString& text) {
    return text.toStdString();
}

inline std::filesystem::path toPath(const QString& path) {
#ifdef _WIN32
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

// A path for the user to read; the path itself keeps the file system's own bytes.
inline QString fromPath(const std::filesystem::path& path) {
#ifdef _WIN32
    return QString::fromStdWString(path.native());
#else
    return QFile::decodeName(QByteArray::fromStdString(path.native()));
#endif
}

inline QColor toQColor(OleColor color) {
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
}

} // namespace korvalin
