#pragma once

#include <cstddef>
#include <filesystem>
#include <string_view>

namespace korvalin {

// A 5x7 import needs no glyph beyond these, nor fonts with more glyphs.
constexpr int kMaxGlyphSide = 256;
constexpr std::size_t kMaxGlyphs = std::size_t{1} << 20;

// Refuses a BDF or PCF font whose declared glyphs, sizes or tables go beyond the limits
// above or beyond what its bytes can hold, before FreeType reserves memory by what it
// declares; other bytes pass. Throws FileError naming `source`.
void CheckFontLimits(std::string_view bytes, const std::filesystem::path& source);

} // namespace korvalin
