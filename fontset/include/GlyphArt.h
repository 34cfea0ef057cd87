#pragma once

#include "FontSet.h"

#include <array>
#include <bitset>
#include <filesystem>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

namespace korvalin {

using Glyph = std::array<CellValue, FontSet::kCellsPerGlyph>;

// A glyph drawn as seven rows of five '#' (ink, 0) and '.' (paper, 255), top row first.
// Throws std::invalid_argument for any other shape or character.
[[nodiscard]] Glyph GlyphFromArt(std::initializer_list<std::string_view> rows);

// The seven rows of a glyph; values other than 0 and 255 show as '?'.
[[nodiscard]] std::string GlyphArt(std::span<const CellValue, FontSet::kCellsPerGlyph> glyph);

// A whole font drawn as text: for every code 0..255 in ascending order a header line
// "== CODE NAME" and seven rows of art; blank lines and ";" comments between glyphs
// are ignored, and so is a byte order mark at the start. Read in place, line by line, so
// that a file costs its own bytes and no copy of them.
// Throws FileError naming `source` and the line at fault.
[[nodiscard]] FontSet ReadFontArt(std::string_view text, const std::filesystem::path& source);

// The glyphs of font art that may draw only some codes, each once and in any order; the
// others stay paper. Throws FileError naming `source` and the line at fault.
struct PartialFontArt {
    FontSet table;
    std::bitset<FontSet::kCharacters> drawn;
};
[[nodiscard]] PartialFontArt ReadPartialFontArt(std::string_view text,
                                                const std::filesystem::path& source);

// Whether text opens as font art does: its first line that is neither blank nor a comment
// is a glyph's header.
[[nodiscard]] bool IsFontArt(std::string_view text);

// The art that ReadFontArt reads back: each line of `heading` as a ";" comment, then every
// glyph under "== CODE NAME", a cell '#' where the program image packs it as ink.
[[nodiscard]] std::string WriteFontArt(const FontSet& table,
                                       std::span<const std::string, FontSet::kCharacters> names,
                                       std::string_view heading);

} // namespace korvalin
