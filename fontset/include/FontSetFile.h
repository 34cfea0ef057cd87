#pragma once

#include "FontSet.h"

#include <filesystem>
#include <iosfwd>
#include <string>
#include <string_view>

namespace korvalin {

// Reads the 8960 cell values of a font set, character-major. Accepts more than the writer
// makes: an optional sign, blanks and tabs around a field, and CR LF, a lone CR or LF, a
// comma or a run of blanks or tabs between fields. Nothing after the 8960th field is read.
// Throws FileError naming `source` and the cause; `table` changes only on success.
void ReadFontSet(std::istream& in, const std::filesystem::path& source, FontSet& table);
// The same from text already in memory, read where it lies.
void ReadFontSet(std::string_view text, const std::filesystem::path& source, FontSet& table);
void ReadFontSetFile(const std::filesystem::path& path, FontSet& table);

// The file text: one line a cell, " 255 " or "-1 " followed by CR LF.
[[nodiscard]] std::string FontSetText(const FontSet& table);

// Replaces the file at `path` with the table, whole or not at all. Throws FileError.
void WriteFontSetFile(const std::filesystem::path& path, const FontSet& table);

} // namespace korvalin
