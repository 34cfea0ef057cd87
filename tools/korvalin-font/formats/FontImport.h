#pragma once

#include "FontLimits.h"
#include "Placement.h"

#include <filesystem>
#include <string>

namespace korvalin {

// Reads a real font or a glyph sheet PNG and maps it to the 256 codes over `base`, placed
// as `options` say; the kind of file comes from its bytes, not its name. Throws FileError
// naming `source`.
[[nodiscard]] ImportResult ImportFont(const std::filesystem::path& source, const FontSet& base,
                                      const ImportOptions& options = {});

// The same for the bytes of a file, at most kMaxFontFileSize of them, read from `source`.
[[nodiscard]] ImportResult ImportFontBytes(std::string bytes, const std::filesystem::path& source,
                                           const FontSet& base, const ImportOptions& options = {});

} // namespace korvalin
