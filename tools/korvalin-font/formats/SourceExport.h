#pragma once

#include "FontSet.h"

#include <string>
#include <string_view>

namespace korvalin {

// The set as source for programs that draw with it: the program image's 7 row bytes a
// glyph (bit 4 the left column), one glyph a line, commented with its code and symbol.

// What is wrong with `name` as the C header's array, or an empty string: it must be a C
// identifier that no C or C++ keyword, reserved name or standard library name takes.
[[nodiscard]] std::string CNameProblem(std::string_view name);
// What is wrong with `name` as the Z80 include's label, or an empty string: letters,
// digits and '_', the first a letter, and no register or condition name.
[[nodiscard]] std::string Z80LabelProblem(std::string_view name);

// The array's or label's name that a file's stem gives: other characters become one '_'
// a run, a name that does not start with a letter gets "font_" in front, and one that
// the rules above refuse gets "_font" after it.
[[nodiscard]] std::string CNameFromStem(std::string_view stem);
[[nodiscard]] std::string Z80LabelFromStem(std::string_view stem);

// A C header for a program of any number of C or C++ files: each may include it for the
// declaration of `const unsigned char NAME[256][7]`, and the one that defines NAME_DEFINE
// first holds the array.
[[nodiscard]] std::string WriteCHeader(const FontSet& table, std::string_view name);

// A Z80 assembler include: the label NAME, then a `.db` line of binary literals a glyph.
[[nodiscard]] std::string WriteZ80Include(const FontSet& table, std::string_view name);

} // namespace korvalin
