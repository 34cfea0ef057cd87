#pragma once

#include "FontSet.h"

#include <filesystem>
#include <string_view>

namespace korvalin {

// The set of a glyph sheet PNG, or of a bare glyph grid. The size its header gives is held
// to the sheets' and the grid's before any decoder unpacks a pixel, and a sheet's rows are
// read one at a time. Throws FileError naming `source`.
[[nodiscard]] FontSet ReadSheetPng(std::string_view bytes, const std::filesystem::path& source);

} // namespace korvalin
