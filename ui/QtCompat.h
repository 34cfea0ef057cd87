#pragma once

// Where Qt meets the core: text, paths, colours and the layout's boxes.

#include "Colors.h"
#include "FormLayout.h"
#include "PathText.h"

#include <QColor>
#include <QRect>
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

// Paths go through the core's one conversion, as the UTF-8 text Qt gives and shows.
inline std::filesystem::path toPath(const QString& path) {
    return PathFromUtf8(path.toStdString());
}

// A path for the user to read; the path itself keeps the file system's own bytes.
inline QString fromPath(const std::filesystem::path& path) {
    return toQString(PathText(path));
}

inline QColor toQColor(OleColor color) {
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
}

inline QRect toQRect(const PixelBox& box) {
    return QRect(box.left, box.top, box.width(), box.height());
}

} // namespace korvalin
