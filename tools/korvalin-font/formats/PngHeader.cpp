// What the import reads of a PNG file before any decoder sees it: plain C++, the same for
// every decoder.
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

} // namespace korvalin
