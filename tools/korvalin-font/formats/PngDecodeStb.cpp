// PNG decoding for Windows, through stb_image, which Debian ships for every target where it
// has no libpng: the picture is unpacked whole (stb_image has no rows of its own) and handed
// on a row at a time, as libpng's decoder does elsewhere.
#include "FileError.h"
#include "PngCodec.h"

#include <climits>
#include <memory>
#include <vector>

// PNG alone, from memory: the decoder reads what the import hands it, never a file.
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#include <stb_image.h>

namespace korvalin {
namespace {

struct ImageFree {
    void operator()(stbi_uc* pixels) const { stbi_image_free(pixels); }
};

} // namespace

void detail::UnpackPngRows(std::string_view bytes, const std::filesystem::path& source,
                           const std::function<void(int width, int height)>& size,
                           const std::function<void(int y, PngRow row)>& row) {
    if (bytes.size() > INT_MAX)
        throw FileError(source, "is a PNG file larger than this program reads");
    const auto* data = reinterpret_cast<const stbi_uc*>(bytes.data());
    const int length = static_cast<int>(bytes.size());
    int width = 0;
    int height = 0;
    int channels = 0;
    if (!stbi_info_from_memory(data, length, &width, &height, &channels))
        throw FileError(source,
                        std::string("is not a readable PNG picture: ") + stbi_failure_reason());
    size(width, height);
    // Alpha only where the picture has some, so that an opaque sheet takes three bytes a
    // pixel while unpacked.
    const int wanted = channels == 2 || channels == 4 ? 4 : 3;
    const std::unique_ptr<stbi_uc, ImageFree> pixels(
        stbi_load_from_memory(data, length, &width, &height, &channels, wanted));
    if (!pixels)
        throw FileError(source, std::string("is a damaged PNG picture: ") + stbi_failure_reason());
    const auto rowBytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(wanted);
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(width) * 3);
    for (int y = 0; y < height; ++y) {
        const stbi_uc* at = pixels.get() + static_cast<std::size_t>(y) * rowBytes;
        if (wanted == 3) {
            row(y, PngRow(at, rowBytes));
            continue;
        }
        // Transparent parts are laid over white paper.
        for (std::size_t x = 0; x < static_cast<std::size_t>(width); ++x, at += 4)
            for (std::size_t c = 0; c < 3; ++c)
                rgb[3 * x + c] =
                    static_cast<std::uint8_t>((at[c] * at[3] + 255 * (255 - at[3]) + 127) / 255);
        row(y, rgb);
    }
}

} // namespace korvalin
