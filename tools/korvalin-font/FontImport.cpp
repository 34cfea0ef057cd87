#include "FontImport.h"

#include "FontLimits.h"
#include "FreeTypeSource.h"
#include "GlyphArt.h"
#include "Gzip.h"
#include "InputFile.h"
#include "PngCodec.h"
#include "ProgramFile.h"
#include "Psf.h"
#include "Sheet.h"
#include "UnifontHex.h"

#include <span>
#include <sstream>

namespace korvalin {
namespace {

bool isPsf(std::string_view bytes) {
    return bytes.starts_with("\x36\x04") || bytes.starts_with("\x72\xB5\x4A\x86");
}

std::span<const std::uint8_t> asBytes(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// A whole set read from the file: every code comes from it.
ImportResult everyCode(FontSet table) {
    ImportResult result{std::move(table), {}, {}};
    for (int code = 0; code < FontSet::kCharacters; ++code)
        result.fromSource.push_back(code);
    return result;
}

} // namespace

ImportResult ImportFont(const std::filesystem::path& source, const FontSet& base) {
    return ImportFontBytes(ReadWholeFile(source, kMaxFontFileSize), source, base);
}

ImportResult ImportFontBytes(std::string bytes, const std::filesystem::path& source,
                             const FontSet& base) {
    if (IsPng(bytes)) {
        ImportResult result{ReadSheet(DecodePng(bytes, source), source), {}, {}};
        for (int code = 0; code < FontSet::kCharacters; ++code)
            result.fromSource.push_back(code);
        return result;
    }
    if (IsTiVariableFile(bytes))
        return everyCode(ReadFontProgram(bytes, source));
    // Unpacked whole here: FreeType would unpack a gzipped PCF again on every seek back.
    bytes = UnpackFontBytes(std::move(bytes), kMaxFontFileSize, source);
    if (isPsf(bytes)) {
        PsfGlyphSource font(ReadPsf(asBytes(bytes), source));
        return PlaceGlyphs(font, base, source);
    }
    if (IsUnifontHex(bytes)) {
        UnifontHexSource font(std::move(bytes), source);
        return PlaceGlyphs(font, base, source);
    }
    if (IsFontArt(bytes)) {
        std::istringstream art(bytes);
        return everyCode(ReadFontArt(art, source));
    }
    // FreeType reserves memory by what a font declares, before reading whether it is there.
    CheckFontLimits(bytes, source);
    FreeTypeSource font(std::move(bytes), source);
    return PlaceGlyphs(font, base, source);
}

} // namespace korvalin
