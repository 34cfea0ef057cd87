#pragma once

// Where Qt meets the core: paths, messages and colours.

#include "FontSet.h"

#include <QColor>
#include <QFile>
#include <QString>
#include <algorithm>
#include <filesystem>

namespace korvalin {

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

// A message of the core (a FileError names its path in the system's encoding).
inline QString fromCore(const char* message) {
    return QString::fromLocal8Bit(message);
}

// Colours are 0x00BBGGRR, red in the low byte.
using OleColor = quint32;
constexpr OleColor kWhite = 0xFFFFFF;
constexpr OleColor kBlack = 0x000000;

constexpr OleColor Rgb(int red, int green, int blue) {
    return static_cast<OleColor>(red) | static_cast<OleColor>(green) << 8 |
           static_cast<OleColor>(blue) << 16;
}

// The grey of a cell value. Values above 255 show white; negative values, which only a
// file can hold, show black, the nearest grey below.
constexpr OleColor GreyOf(CellValue value) {
    const int level = std::clamp<int>(value, 0, 255);
    return Rgb(level, level, level);
}

inline QColor toQColor(OleColor color) {
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
}

} // namespace korvalin
