#pragma once

#include "Pixels.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace korvalin {

// Pictures larger than this are refused before their pixels are unpacked.
constexpr std::size_t kMaxPngPixels = 64u << 20;

[[nodiscard]] bool IsPng(std::string_view bytes);

// The PNG file's bytes of a picture, each pixel `scale` pixels square, to go through the
// crash-safe writer. The enlarging happens as the rows are packed, so a large sheet costs
// its file's size and no more. Throws std::runtime_error when the encoder fails.
[[nodiscard]] std::string EncodePng(const Pixels& picture, int scale = 1);

// Throws FileError naming `source` for bytes that are no readable PNG.
[[nodiscard]] Pixels DecodePng(std::string_view bytes, const std::filesystem::path& source);

} // namespace korvalin
