#include "FontImport.h"

#include "BdfFont.h"
#include "FileError.h"
#include "FontSetFile.h"
#include "GlyphArt.h"
#include "Gzip.h"
#include "InputFile.h"
#include "Legibility.h"
#include "LibraryFont.h"
#include "PathText.h"
#include "PcfFont.h"
#include "PngCodec.h"
#include "ProgramFile.h"
#include "Psf.h"
#include "SheetPng.h"
#include "UnifontHex.h"
#include "Utf8.h"

#include <algorithm>
#include <iterator>
#include <span>

namespace korvalin {
namespace {

std::span<const std::uint8_t> asBytes(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// A whole set is copied as drawn; a bitmap font is drawn as it is, with no hinting.
constexpr PlacingOption kPlacing[] = {PlacingOption::Baseline, PlacingOption::Shift,
                                      PlacingOption::Size, PlacingOption::Hinting};
constexpr PlacingOption kHinting[] = {PlacingOption::Hinting};
constexpr const char* kBitmapFont = "a bitmap font, drawn as it is";

// Refuses the options of `refused` that the user gave for `source`, which is `kind`.
void refuse(std::span<const PlacingOption> refused, const ImportOptions& options, const char* kind,
            const std::filesystem::path& source) {
    for (const PlacingOption option : options.given)
        if (std::ranges::find(refused, option) != refused.end())
            throw InapplicableOption(PathText(source) + ": is " + kind + "; " +
                                     PlacingOptionName(option) + " does not apply to it");
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
OpenedSource oneStrike(Source font, const std::filesystem::path& source,
                       const ImportOptions& options) {
    refuse(kHinting, options, kBitmapFont, source);
    checkOneStrike(font, options, source);
    OpenedSource opened;
    opened.font = std::make_unique<Source>(std::move(font));
    return opened;
}

OpenedSource wholeSet(FontSet set) {
    OpenedSource opened;
    opened.set = std::move(set);
    opened.drawn.set();
    return opened;
}

// The letters and digits from the font that read as nothing in `table`.
std::vector<int> unreadableLettersAndDigits(const ImportResult& result) {
    std::vector<JudgedGlyph> glyphs;
    for (const char symbol : kLettersAndDigits)
        glyphs.push_back({symbol, BitsOf(result.table.glyph(static_cast<unsigned char>(symbol)))});
    const std::vector<bool> unreadable = Unreadable(glyphs);
    std::vector<int> codes;
    for (std::size_t i = 0; i < glyphs.size(); ++i) {
        const int code = static_cast<unsigned char>(glyphs[i].symbol);
        if (unreadable[i] && std::ranges::binary_search(result.fromSource, code))
            codes.push_back(code);
    }
    std::ranges::sort(codes);
    return codes;
}

std::string judgementText(const Judgement& judgement) {
    const Candidate& chosen = judgement.candidates.front();
    return "the most legible of " + std::to_string(judgement.candidates.size()) +
           " candidates: " + std::to_string(chosen.legible) + " of " +
           std::to_string(judgement.lettersAndDigits) + " letters and digits legible";
}

} // namespace

std::string FileKindOf(std::string_view bytes) {
    const std::pair<std::string_view, const char*> magic[] = {
        {"\x1F\x8B", "a gzip-compressed file"},
        {std::string_view("\0\1\0\0", 4), "a TrueType font"},
        {"true", "a TrueType font"},
        {"ttcf", "a TrueType collection"},
        {"OTTO", "an OpenType font"},
        {"wOFF", "a WOFF font"},
        {"wOF2", "a WOFF2 font"},
    };
    for (const auto& [opening, kind] : magic)
        if (bytes.starts_with(opening))
            return kind;
    const std::string_view text = WithoutByteOrderMark(bytes);
    return IsPng(bytes)              ? "a PNG picture"
           : IsTiVariableFile(bytes) ? "a calculator variable file"
           : IsPsf(bytes)            ? "a PSF console font"
           : IsPcf(bytes)            ? "a PCF font"
           : IsBdf(text)             ? "a BDF font"
           : IsUnifontHex(text)      ? "a Unifont .hex font"
           : IsFontArt(text)         ? "text art"
                                     : "";
}

bool IsFontSetText(std::string_view bytes) {
    const std::size_t first = bytes.find_first_not_of(" \t\r\n");
    return first != std::string_view::npos && ((bytes[first] >= '0' && bytes[first] <= '9') ||
                                               bytes[first] == '-' || bytes[first] == '+');
}

OpenedSource OpenSource(std::string bytes, const std::filesystem::path& source,
                        const ImportOptions& options) {
    if (IsPng(bytes)) {
        refuse(kPlacing, options, "a glyph sheet, copied as drawn", source);
        return wholeSet(ReadSheetPng(bytes, source));
    }
    if (IsTiVariableFile(bytes)) {
        refuse(kPlacing, options, "a font program, copied as drawn", source);
        return wholeSet(ReadFontProgram(bytes, source));
    }
    // Unpacked here, all layers within the one limit: each reader below takes plain bytes.
    bytes = UnpackFontBytes(std::move(bytes), kMaxFontFileSize, source);
    // The text formats may open with the byte order mark that some editors put there.
    bytes.erase(0, bytes.size() - WithoutByteOrderMark(bytes).size());
    if (IsPsf(bytes))
        return oneStrike(PsfGlyphSource(ReadPsf(asBytes(bytes), source)), source, options);
    if (IsUnifontHex(bytes))
        return oneStrike(UnifontHexSource(std::move(bytes), source), source, options);
    if (IsFontArt(bytes)) {
        refuse(kPlacing, options, "text art, copied as drawn", source);
        PartialFontArt art = ReadPartialFontArt(bytes, source);
        OpenedSource opened;
        opened.set = std::move(art.table);
        opened.drawn = art.drawn;
        return opened;
    }
    if (IsFontSetText(bytes)) {
        refuse(kPlacing, options, "a font set, copied as drawn", source);
        FontSet set;
        ReadFontSet(bytes, source, set);
        return wholeSet(std::move(set));
    }
    if (IsBdf(bytes))
        return oneStrike(BdfFont(std::move(bytes), source), source, options);
    if (IsPcf(bytes))
        return oneStrike(PcfFont(std::move(bytes), source), source, options);
    // Outline fonts only: FreeType on Linux (which reads neither BDF nor PCF here, see
    // FreeTypeLibrary), Windows itself on Windows.
    OpenedSource opened;
    opened.font = OpenLibraryFont(std::move(bytes), source, options);
    if (opened.font->isFixedSize())
        refuse(kHinting, options, kBitmapFont, source);
    return opened;
}

ImportResult ImportFromSet(const OpenedSource& opened, const FontSet& base,
                           const ImportOptions& options) {
    ImportResult result;
    result.table = base;
    for (int code = 0; code < FontSet::kCharacters; ++code) {
        const auto at = static_cast<std::size_t>(code);
        if (!options.codes.test(at) || !opened.drawn.test(at)) {
            result.kept.push_back(code);
            continue;
        }
        for (int cell = 0; cell < FontSet::kCellsPerGlyph; ++cell)
            result.table.setCell(code, cell, opened.set->cell(code, cell));
        result.fromSource.push_back(code);
    }
    return result;
}

ImportResult ImportFont(const std::filesystem::path& source, const FontSet& base,
                        const ImportOptions& options) {
    return ImportFontBytes(ReadWholeFile(source, kMaxFontFileSize), source, base, options);
}

ImportResult ImportFontBytes(std::string bytes, const std::filesystem::path& source,
                             const FontSet& base, const ImportOptions& options) {
    const OpenedSource opened = OpenSource(std::move(bytes), source, options);
    if (opened.set)
        return ImportFromSet(opened, base, options);
    return ImportFromFont(*opened.font, base, source, options);
}

ImportResult ImportFromFont(GlyphSource& font, const FontSet& base,
                            const std::filesystem::path& source, const ImportOptions& options,
                            Judgement* judged) {
    Judgement judgement = JudgeImport(font, options);
    ImportOptions placed = options;
    placed.baseline = judgement.candidates.front().baseline;
    ImportResult result = PlaceGlyphs(font, base, source, placed);
    std::ranges::copy_if(
        judgement.lostStrokes, std::back_inserter(result.lostStrokes),
        [&](int code) { return options.codes.test(static_cast<std::size_t>(code)); });
    std::vector<int> lost;
    std::ranges::set_union(result.lostInk, result.lostStrokes, std::back_inserter(lost));
    result.lostInk = std::move(lost);
    result.unreadable = unreadableLettersAndDigits(result);
    if (judgement.candidates.size() > 1)
        result.judgement = judgementText(judgement);
    if (judged)
        *judged = std::move(judgement);
    return result;
}

} // namespace korvalin
