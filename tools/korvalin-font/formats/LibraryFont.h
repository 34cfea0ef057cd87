#pragma once

#include "GlyphSource.h"
#include "ImportOptions.h"

#include <filesystem>
#include <memory>
#include <string>

namespace korvalin {

// What the import says of bytes that neither our readers nor the font library read.
inline constexpr const char* kNotAFont =
    "is not a font this program reads: import takes BDF, PCF, PSF, TrueType and OpenType "
    "fonts, Unifont .hex, text art, a font set, a glyph sheet or grid PNG and the font "
    "program of an .8xp or .8xg";

// A font that the system's font library reads and draws: FreeType on Linux (TrueType,
// OpenType and its other outline fonts), Windows itself on Windows (TrueType and
// OpenType). Throws FileError naming `source` for a font it cannot read.
[[nodiscard]] std::unique_ptr<GlyphSource> OpenLibraryFont(std::string bytes,
                                                           const std::filesystem::path& source,
                                                           const ImportOptions& options);

} // namespace korvalin
