#pragma once

#include "FontSet.h"

#include <string>
#include <string_view>

namespace korvalin {

// The set as source for programs that draw with it: the program image's 7 row bytes a
// glyph (bit 4 the left column), one glyph a line, commented with its code and symbol.

// `name` as a C identifier or assembler label: other characters become '_', and a name
// that does not start with a letter gets "font_" in front.
[[nodiscard]] std::string SourceName(std::string_view name);

// A C header: `const unsigned char NAME[256][7]`.
[[nodiscard]] std::string WriteCHeader(const FontSet& table, std::string_view name);

// A Z80 assembler include: the label NAME, then a `.db` line of binary literals a glyph.
[[nodiscard]] std::string WriteZ80Include(const FontSet& table, std::string_view name);

} // namespace korvalin
