#pragma once

#include "FontSet.h"

#include <string>

namespace korvalin {

// The foundry of our BDF exports, which tells the import a font of its own (bdftopcf keeps
// it in the PCF it makes).
inline constexpr char kExportFoundry[] = "Korvalin";

// BDF 2.1 of the set: a 5 x 7 box on a 6-pixel advance, as the calculator spaces its
// characters. Each code that owns a symbol of one code point up to U+FFFF is encoded as
// that code point; each of the others, named "codeN", in the Private Use Area, so that
// bdftopcf keeps all 256 (it drops unencoded glyphs and refuses encodings beyond 16 bits).
[[nodiscard]] std::string WriteBdf(const FontSet& table);

} // namespace korvalin
