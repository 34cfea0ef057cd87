#include "PngCodec.h"

#include "FileError.h"

#include <algorithm>
#include <png.h>
#include <stdexcept>
#include <zlib.h>

namespace korvalin {
namespace {

// Frees the decoder's state on every way out.
struct ImageGuard {
    png_image& image;
    ~ImageGuard() { png_image_free(&image); }
};

void put32(std::string& out, std::uint32_t value) {
    for (const int shift : {24, 16, 8, 0})
        out += static_cast<char>((value >> shift) & 0xFF);
}

void putChunk(std::string& png, const char* type, std::string_view data) {
    put32(png, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = png.size();
    png += type;
    png += data;
    const auto* bytes = reinterpret_cast<const Bytef*>(png.data() + start);
    put32(png, static_cast<std::uint32_t>(crc32(0, bytes, static_cast<uInt>(png.size() - start))));
}

} // namespace

bool IsPng(std::string_view bytes) {
    return bytes.starts_with("\x89PNG\r\n\x1A\n");
}

std::string EncodePng(const Pixels& picture) {
    // Sheets and screens hold a handful of colours, so a palette keeps the file small and
    // quick to pack; anything richer is stored as RGB.
    std::vector<std::uint32_t> palette;
    std::vector<std::uint8_t> raw;
    const std::size_t width = static_cast<std::size_t>(picture.width);
    raw.reserve((width + 1) * static_cast<std::size_t>(picture.height));
    bool indexed = true;
    // Runs of one colour are the rule, so the last colour's index is tried first.
    std::uint32_t lastColour = 0;
    std::uint8_t lastIndex = 0;
    for (int y = 0; y < picture.height && indexed; ++y) {
        raw.push_back(0); // no filter
        for (int x = 0; x < picture.width; ++x) {
            const std::uint32_t colour = picture.at(x, y);
            if (colour == lastColour && !palette.empty()) {
                raw.push_back(lastIndex);
                continue;
            }
            auto found = std::find(palette.begin(), palette.end(), colour);
            if (found == palette.end()) {
                if (palette.size() == 256) {
                    indexed = false;
                    break;
                }
                found = palette.insert(palette.end(), colour);
            }
            lastColour = colour;
            lastIndex = static_cast<std::uint8_t>(found - palette.begin());
            raw.push_back(lastIndex);
        }
    }
    if (!indexed) {
        raw.clear();
        for (int y = 0; y < picture.height; ++y) {
            raw.push_back(0);
            for (int x = 0; x < picture.width; ++x) {
                const std::uint32_t colour = picture.at(x, y);
                for (const int shift : {16, 8, 0})
                    raw.push_back(static_cast<std::uint8_t>(colour >> shift));
            }
        }
    }

    std::string png = "\x89PNG\r\n\x1A\n";
    std::string header;
    put32(header, static_cast<std::uint32_t>(picture.width));
    put32(header, static_cast<std::uint32_t>(picture.height));
    header += std::string{8, static_cast<char>(indexed ? 3 : 2), 0, 0, 0};
    putChunk(png, "IHDR", header);
    if (indexed) {
        std::string entries;
        for (const std::uint32_t colour : palette)
            for (const int shift : {16, 8, 0})
                entries += static_cast<char>((colour >> shift) & 0xFF);
        putChunk(png, "PLTE", entries);
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::string packed(packedSize, '\0');
    if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize, raw.data(),
                  static_cast<uLong>(raw.size()), Z_DEFAULT_COMPRESSION) != Z_OK)
        throw std::runtime_error("the PNG encoder ran out of memory");
    packed.resize(packedSize);
    putChunk(png, "IDAT", packed);
    putChunk(png, "IEND", {});
    return png;
}

Pixels DecodePng(std::string_view bytes, const std::filesystem::path& source) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    const ImageGuard guard{image};
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()))
        throw FileError(source, std::string("is not a readable PNG picture: ") + image.message);
    if (static_cast<std::size_t>(image.width) * image.height > kMaxPngPixels)
        throw FileError(source, "is a PNG picture too large to be a glyph sheet");
    image.format = PNG_FORMAT_RGB;
    std::vector<std::uint8_t> rgb(PNG_IMAGE_SIZE(image));
    // Transparent parts count as paper.
    const png_color white{255, 255, 255};
    if (!png_image_finish_read(&image, &white, rgb.data(), 0, nullptr))
        throw FileError(source, std::string("is a damaged PNG picture: ") + image.message);
    Pixels picture(static_cast<int>(image.width), static_cast<int>(image.height), 0);
    for (std::size_t i = 0; i < picture.rgb.size(); ++i)
        picture.rgb[i] = static_cast<std::uint32_t>(rgb[3 * i]) << 16 |
                         static_cast<std::uint32_t>(rgb[3 * i + 1]) << 8 | rgb[3 * i + 2];
    return picture;
}

} // namespace korvalin
