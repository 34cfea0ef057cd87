#include "PngCodec.h"

#include "FileError.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>

namespace korvalin {

bool IsPng(std::string_view bytes) {
    return bytes.starts_with("\x89PNG\r\n\x1A\n");
}

std::string EncodePng(const Pixels& picture) {
    QImage image(picture.width, picture.height, QImage::Format_RGB32);
    for (int y = 0; y < picture.height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < picture.width; ++x)
            line[x] = 0xFF000000u | picture.at(x, y);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        throw std::runtime_error("the PNG encoder failed");
    return bytes.toStdString();
}

Pixels DecodePng(std::string_view bytes, const std::filesystem::path& source) {
    QImage image;
    if (!image.loadFromData(reinterpret_cast<const uchar*>(bytes.data()),
                            static_cast<int>(bytes.size()), "PNG"))
        throw FileError(source, "is not a readable PNG picture");
    image = image.convertToFormat(QImage::Format_RGB32);
    Pixels picture(image.width(), image.height(), 0);
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            picture.rgb[static_cast<std::size_t>(y) * static_cast<std::size_t>(picture.width) +
                        static_cast<std::size_t>(x)] = line[x] & 0xFFFFFFu;
    }
    return picture;
}

} // namespace korvalin
