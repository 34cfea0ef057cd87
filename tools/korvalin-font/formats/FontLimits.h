#pragma once

#include <cstddef>

namespace korvalin {

// What each font reader allows as it reads, so that a file can make it hold or do no more
// than a 5x7 import needs: glyphs no larger, fonts of no more glyphs, files no larger,
// packed or unpacked.
constexpr int kMaxGlyphSide = 256;
constexpr std::size_t kMaxGlyphs = std::size_t{1} << 20;
constexpr std::size_t kMaxFontFileSize = 64u << 20;

} // namespace korvalin
