#pragma once

#include "Pixels.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace korvalin {

// Pictures larger than this are refused before their pixels are unpacked.
constexpr std::size_t kMaxPngPixels = 64u << 20;

[[nodiscard]] bool IsPng(std::string_view bytes);

// The width and height that a PNG file's header gives, read by hand so that whichever
// decoder unpacks the picture, its size can be judged first; nothing for no PNG header.
struct PictureSize {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};
[[nodiscard]] std::optional<PictureSize> PngPictureSize(std::string_view bytes);

// The PNG file's bytes of a picture, each pixel `scale` pixels square, to go through the
// crash-safe writer. The enlarging happens as the rows are packed, so a large sheet costs
// its file's size and no more. Throws std::runtime_error when the encoder fails.
[[nodiscard]] std::string EncodePng(const Pixels& picture, int scale = 1);

// One row of a picture as the decoder gives it: 8-bit red, green and blue a pixel, with
// whatever is transparent laid over white (paper).
using PngRow = std::span<const std::uint8_t>;

// Unpacks a PNG picture row by row, top to bottom, holding one row at a time (the whole
// picture only when it is interlaced). `size` is told the picture's size before any pixel
// is unpacked and may throw to refuse it; `row` takes each row. Throws FileError naming
// `source` for bytes that are no readable PNG.
void DecodePngRows(std::string_view bytes, const std::filesystem::path& source,
                   const std::function<void(int width, int height)>& size,
                   const std::function<void(int y, PngRow row)>& row);

namespace detail {
// The platform's decoder behind DecodePngRows, which has checked the signature first.
void UnpackPngRows(std::string_view bytes, const std::filesystem::path& source,
                   const std::function<void(int width, int height)>& size,
                   const std::function<void(int y, PngRow row)>& row);
} // namespace detail

// The whole picture, refused beyond kMaxPngPixels. Throws FileError naming `source`.
[[nodiscard]] Pixels DecodePng(std::string_view bytes, const std::filesystem::path& source);

} // namespace korvalin
