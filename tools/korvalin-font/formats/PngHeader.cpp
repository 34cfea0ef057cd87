// What the import reads of a PNG file whichever decoder unpacks it: its signature and header
// before the decoder sees it, and the whole picture from the rows the decoder gives.
#include "FileError.h"
#include "PngCodec.h"

namespace korvalin {
namespace {

constexpr std::string_view kSignature = "\x89PNG\r\n\x1A\n";

std::uint32_t big32(std::string_view bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

} // namespace

bool IsPng(std::string_view bytes) {
    return bytes.starts_with(kSignature);
}

std::optional<PictureSize> PngPictureSize(std::string_view bytes) {
    // The signature, then the IHDR chunk: its length (13), its type, the width and height.
    constexpr std::size_t kHeader = 8;
    if (!IsPng(bytes) || bytes.size() < kHeader + 16 || big32(bytes, kHeader) != 13 ||
        bytes.substr(kHeader + 4, 4) != "IHDR")
        return std::nullopt;
    return PictureSize{big32(bytes, kHeader + 8), big32(bytes, kHeader + 12)};
}

void DecodePngRows(std::string_view bytes, const std::filesystem::path& source,
                   const std::function<void(int width, int height)>& size,
                   const std::function<void(int y, PngRow row)>& row) {
    if (!IsPng(bytes))
        throw FileError(source, "is not a readable PNG picture: it lacks the PNG signature");
    detail::UnpackPngRows(bytes, source, size, row);
}

Pixels DecodePng(std::string_view bytes, const std::filesystem::path& source) {
    Pixels picture;
    DecodePngRows(
        bytes, source,
        [&](int width, int height) {
            if (static_cast<std::size_t>(width) * static_cast<std::size_t>(height) > kMaxPngPixels)
                throw FileError(source, "is a PNG picture of " + std::to_string(width) + " x " +
                                            std::to_string(height) +
                                            " pixels, more than this program unpacks");
            picture = Pixels(width, height, 0);
        },
        [&](int y, PngRow rgb) {
            auto out = picture.rgb.begin() + static_cast<std::ptrdiff_t>(y) * picture.width;
            for (std::size_t i = 0; i + 2 < rgb.size(); i += 3)
                *out++ = static_cast<std::uint32_t>(rgb[i]) << 16 |
                         static_cast<std::uint32_t>(rgb[i + 1]) << 8 | rgb[i + 2];
        });
    return picture;
}

} // namespace korvalin
