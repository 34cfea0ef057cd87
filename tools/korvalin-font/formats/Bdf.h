#pragma once

#include "FontSet.h"

#include <string>

namespace korvalin {

// BDF 2.1 of the set: a 5 x 7 box on a 6-pixel advance, as the calculator spaces its
// characters. Each code that owns a symbol of one code point up to U+FFFF is encoded as
// that code point; the others are unencoded glyphs named "codeN", which the import reads.
[[nodiscard]] std::string WriteBdf(const FontSet& table);

} // namespace korvalin
