#include "FontImport.h"

#include "BdfFont.h"
#include "FileError.h"
#include "FreeTypeSource.h"
#include "GlyphArt.h"
#include "Gzip.h"
#include "InputFile.h"
#include "PcfFont.h"
#include "PngCodec.h"
#include "ProgramFile.h"
#include "Psf.h"
#include "Sheet.h"
#include "UnifontHex.h"
#include "Utf8.h"

#include <span>
#include <sstream>

namespace korvalin {
namespace {

std::span<const std::uint8_t> asBytes(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// A font of one strike has only its own size to give.
void checkOneStrike(const GlyphSource& font, const ImportOptions& options,
                    const std::filesystem::path& source) {
    const int height = font.ascent() + font.descent();
    if (options.size && *options.size != height)
        throw FileError(source, "has no strike of " + std::to_string(*options.size) +
                                    " pixels; its one strike is " + std::to_string(height));
}

template <typename Source>
ImportResult placeOneStrike(Source font, const FontSet& base, const std::filesystem::path& source,
                            const ImportOptions& options) {
    checkOneStrike(font, options, source);
    return PlaceGlyphs(font, base, source, options);
}

// A whole set read from the file (a sheet, text art, a program): every code the options
// take comes from it, the others keep the base.
ImportResult fromWholeSet(const FontSet& set, const FontSet& base, const ImportOptions& options) {
    ImportResult result;
    result.table = base;
    for (int code = 0; code < FontSet::kCharacters; ++code) {
        if (!options.codes.test(static_cast<std::size_t>(code))) {
            result.kept.push_back(code);
            continue;
        }
        for (int cell = 0; cell < FontSet::kCellsPerGlyph; ++cell)
            result.table.setCell(code, cell, set.cell(code, cell));
        result.fromSource.push_back(code);
    }
    return result;
}

} // namespace

ImportResult ImportFont(const std::filesystem::path& source, const FontSet& base,
                        const ImportOptions& options) {
    return ImportFontBytes(ReadWholeFile(source, kMaxFontFileSize), source, base, options);
}

ImportResult ImportFontBytes(std::string bytes, const std::filesystem::path& source,
                             const FontSet& base, const ImportOptions& options) {
    if (IsPng(bytes))
        return fromWholeSet(ReadSheet(DecodePng(bytes, source), source), base, options);
    if (IsTiVariableFile(bytes))
        return fromWholeSet(ReadFontProgram(bytes, source), base, options);
    // Unpacked here, all layers within the one limit: each reader below takes plain bytes.
    bytes = UnpackFontBytes(std::move(bytes), kMaxFontFileSize, source);
    // The text formats may open with the byte order mark that some editors put there.
    bytes.erase(0, bytes.size() - WithoutByteOrderMark(bytes).size());
    if (IsPsf(bytes))
        return placeOneStrike(PsfGlyphSource(ReadPsf(asBytes(bytes), source)), base, source,
                              options);
    if (IsUnifontHex(bytes))
        return placeOneStrike(UnifontHexSource(std::move(bytes), source), base, source, options);
    if (IsFontArt(bytes)) {
        std::istringstream art(bytes);
        return fromWholeSet(ReadFontArt(art, source), base, options);
    }
    if (IsBdf(bytes))
        return placeOneStrike(BdfFont(std::move(bytes), source), base, source, options);
    if (IsPcf(bytes))
        return placeOneStrike(PcfFont(std::move(bytes), source), base, source, options);
    // FreeType reads neither BDF nor PCF here (see FreeTypeLibrary): outline fonts only.
    FreeTypeSource font(std::move(bytes), source, options);
    return PlaceGlyphs(font, base, source, options);
}

} // namespace korvalin
