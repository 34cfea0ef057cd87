#pragma once

#include "FontLimits.h"
#include "ImportJudge.h"
#include "Placement.h"

#include <bitset>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace korvalin {

// What a source file holds: glyphs already in cells (a set, a sheet or grid, text art, a
// font program), or a font to place.
struct OpenedSource {
    std::optional<FontSet> set;
    std::bitset<FontSet::kCharacters> drawn; // the codes the set draws
    std::unique_ptr<GlyphSource> font;
};

// Whether `bytes` open as a font set file does: with a cell value, after any blanks.
[[nodiscard]] bool IsFontSetText(std::string_view bytes);

// Tells the kind of `bytes` from their content, not the name, and reads them, at most
// kMaxFontFileSize of them. Throws FileError naming `source`.
[[nodiscard]] OpenedSource OpenSource(std::string bytes, const std::filesystem::path& source,
                                      const ImportOptions& options = {});

// The codes of a whole set that `options` take and the set draws, over `base`.
[[nodiscard]] ImportResult ImportFromSet(const OpenedSource& opened, const FontSet& base,
                                         const ImportOptions& options);

// Reads a real font, a set, a glyph sheet or grid, text art or a font program and maps it
// to the 256 codes over `base`. A font is placed as `options` say, and what they leave
// open the judge chooses. Throws FileError naming `source`.
[[nodiscard]] ImportResult ImportFont(const std::filesystem::path& source, const FontSet& base,
                                      const ImportOptions& options = {});

// What a file that the import reads, or any font, is by its first bytes, as a message
// names it ("a TrueType font"); an empty string for anything else.
[[nodiscard]] std::string FileKindOf(std::string_view bytes);

// The same for the bytes of a file, at most kMaxFontFileSize of them, read from `source`.
[[nodiscard]] ImportResult ImportFontBytes(std::string bytes, const std::filesystem::path& source,
                                           const FontSet& base, const ImportOptions& options = {});

// Judges `font` and places it over `base`: the summary's facts, the codes that lost
// strokes, the letters and digits that read as nothing.
[[nodiscard]] ImportResult ImportFromFont(GlyphSource& font, const FontSet& base,
                                          const std::filesystem::path& source,
                                          const ImportOptions& options,
                                          Judgement* judgement = nullptr);

} // namespace korvalin
