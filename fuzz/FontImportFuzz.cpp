// Feeds the console font reader, the glyph sheet reader, the whole import of a font file
// and the readers of Unifont .hex, text art and calculator programs: the first byte picks
// which. A console font that reads goes on through the placement; a sheet comes from the
// bytes as pixels or as a PNG file, and what it reads must come back from the sheet drawn of
// it (one with blocks painted in part is refused); a font file goes through gzip and our BDF
// and PCF readers or FreeType; a .hex, art or program must give a set that its writer gives back.
// Each must be read or refused naming the file.

#include "BdfFont.h"
#include "FileError.h"
#include "FuzzCheck.h"
#ifdef KORVALIN_FONT_IMPORT
#include "FontImport.h"
#endif
#ifdef KORVALIN_FONT_GZIP
#include "Gzip.h"
#endif
#include "Placement.h"
#ifdef KORVALIN_FONT_PNG
#include "PngCodec.h"
#include "SheetPng.h"
#endif
#include "GlyphArt.h"
#include "PcfFont.h"
#include "ProgramFile.h"
#include "ProgramImage.h"
#include "ProgramVariable.h"
#include "Psf.h"
#include "Sheet.h"
#include "UnifontHex.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <sstream>
#include <string_view>

namespace korvalin {
namespace {

const std::filesystem::path kSource = "input.psf";

bool namesTheSource(const FileError& error) {
    return std::string_view(error.what()).starts_with(kSource.string() + ": ");
}

void fuzzPsf(std::span<const std::uint8_t> bytes) {
    try {
        PsfFont font = ReadPsf(bytes, kSource);
        const std::size_t rowBytes = static_cast<std::size_t>(font.width + 7) / 8;
        Check(font.bitmaps.size() == static_cast<std::size_t>(font.glyphCount) *
                                         static_cast<std::size_t>(font.height) * rowBytes,
              "the bitmaps do not match the glyph count");
        for (const auto& [point, glyph] : font.glyphOf)
            Check(glyph >= 0 && glyph < font.glyphCount, "the table names a missing glyph");
        for (const auto& [sequence, glyph] : font.glyphOfSequence)
            Check(!sequence.empty() && glyph >= 0 && glyph < font.glyphCount,
                  "a sequence names a missing glyph");
        FontSet base;
        PsfGlyphSource source(std::move(font));
        const ImportResult result = PlaceGlyphs(source, base, kSource);
        Check(result.fromSource.size() + result.kept.size() == FontSet::kCharacters,
              "a code is neither from the font nor kept");
        for (const int code : result.kept) {
            const auto kept = result.table.glyph(code);
            const auto before = base.glyph(code);
            Check(std::equal(kept.begin(), kept.end(), before.begin()),
                  "a kept code lost its base glyph");
        }
    } catch (const FileError& error) {
        Check(namesTheSource(error), "a failure does not name the file");
    }
}

void fuzzSheet(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 2)
        return;
    const int scale = 1 + bytes[0] % 2;
    const int slack = bytes[1] % 3 == 0 ? 1 : 0; // now and then a picture of the wrong size
    Pixels picture(kSheetWidth * scale + slack, kSheetHeight * scale, 0xFFFFFF);
    const auto pixels = bytes.subspan(2);
    if (!pixels.empty()) {
        for (std::size_t i = 0; i < picture.rgb.size(); ++i)
            picture.rgb[i] = 0x010101u * pixels[(i / 7) % pixels.size()];
    }
    try {
        const FontSet table = ReadSheet(picture, "sheet.png");
        Check(slack == 0, "a picture of the wrong size was read");
        Check(ReadSheet(RenderSheet(table, scale), "sheet.png") == table,
              "the sheet drawn of a set reads back as another set");
    } catch (const FileError& error) {
        // Of the right size, only for blocks painted in part.
        Check(slack != 0 || error.cause().find(" partly inked: code ") != std::string::npos,
              "a sheet of the right size was refused");
        Check(std::string_view(error.what()).starts_with("sheet.png: "),
              "a failure does not name the file");
    }
}

#ifdef KORVALIN_FONT_PNG
void fuzzPngSheet(std::span<const std::uint8_t> bytes) {
    const std::string_view png(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    try {
        const FontSet table = ReadSheetPng(png, "sheet.png");
        Check(ReadSheetPng(EncodePng(RenderSheet(table, 1)), "again.png") == table,
              "the sheet PNG drawn of a set reads back as another set");
    } catch (const FileError& error) {
        Check(std::string_view(error.what()).starts_with("sheet.png: "),
              "a failure does not name the file");
    }
}
#endif

// The import of a whole font file, or where FreeType is not in, its unpacking and our own
// bitmap font readers.
void fuzzFontFile(std::span<const std::uint8_t> bytes) {
    const std::filesystem::path source = "font.pcf.gz";
    std::string file(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    try {
#ifdef KORVALIN_FONT_IMPORT
        const ImportResult result = ImportFontBytes(std::move(file), source, FontSet());
        Check(result.fromSource.size() + result.kept.size() == FontSet::kCharacters,
              "a code is neither from the font nor kept");
#else
#ifdef KORVALIN_FONT_GZIP
        // A small limit here, so that the fuzzer finds its edge.
        file = UnpackFontBytes(std::move(file), 1 << 20, source);
        Check(!IsGzip(file), "gzip is left after unpacking");
#endif
        if (IsBdf(file)) {
            BdfFont font(std::move(file), source);
            (void)PlaceGlyphs(font, FontSet(), source);
        } else if (IsPcf(file)) {
            PcfFont font(std::move(file), source);
            (void)PlaceGlyphs(font, FontSet(), source);
        }
#endif
    } catch (const FileError& error) {
        Check(std::string_view(error.what()).starts_with(source.string() + ": "),
              "a failure does not name the file");
    }
}

void fuzzUnifontHex(std::string_view bytes) {
    try {
        UnifontHexSource font{std::string(bytes), "font.hex"};
        FontSet base;
        const ImportResult result = PlaceGlyphs(font, base, "font.hex");
        Check(result.fromSource.size() + result.kept.size() == FontSet::kCharacters,
              "a code is neither from the font nor kept");
        // What the set's own export holds comes back pixel for pixel.
        UnifontHexSource again{WriteUnifontHex(result.table), "again.hex"};
        const ImportResult back = PlaceGlyphs(again, base, "again.hex");
        for (const int code : back.fromSource) {
            const auto a = back.table.glyph(code);
            const auto b = result.table.glyph(code);
            Check(std::equal(a.begin(), a.end(), b.begin()), "the .hex export reads back changed");
        }
    } catch (const FileError& error) {
        Check(std::string_view(error.what()).starts_with("font.hex: "),
              "a failure does not name the file");
    }
}

void fuzzFontArt(std::string_view bytes) {
    try {
        const FontSet table = ReadFontArt(bytes, "font.txt");
        std::array<std::string, FontSet::kCharacters> names;
        Check(ReadFontArt(WriteFontArt(table, names, "again"), "again.txt") == table,
              "the art written of a set reads back as another set");
    } catch (const FileError& error) {
        Check(std::string_view(error.what()).starts_with("font.txt: "),
              "a failure does not name the file");
    }
}

void fuzzProgram(std::span<const std::uint8_t> bytes) {
    const std::string_view file(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    try {
        const FontSet table = ReadFontProgram(file, "FONT1.8xp");
        const ProgramImage image = BuildProgramImage(table);
        const std::vector<std::uint8_t> packed = PackProgramVariable("FONT1", image);
        Check(ReadFontProgram({reinterpret_cast<const char*>(packed.data()), packed.size()},
                              "again.8xp") == table,
              "the program compiled of a set reads back as another set");
    } catch (const FileError& error) {
        Check(std::string_view(error.what()).starts_with("FONT1.8xp: "),
              "a failure does not name the file");
    }
}

} // namespace
} // namespace korvalin

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::span<const std::uint8_t> rest(data + 1, size - 1);
    // The first four readers keep the values their seeds start with.
    switch (data[0] % 8) {
    case 0:
        korvalin::fuzzPsf(rest);
        break;
    case 1:
        korvalin::fuzzSheet(rest);
        break;
    case 2:
#ifdef KORVALIN_FONT_PNG
        korvalin::fuzzPngSheet(rest);
#endif
        break;
    case 4:
        korvalin::fuzzUnifontHex({reinterpret_cast<const char*>(rest.data()), rest.size()});
        break;
    case 5:
        korvalin::fuzzFontArt({reinterpret_cast<const char*>(rest.data()), rest.size()});
        break;
    case 6:
        korvalin::fuzzProgram(rest);
        break;
    default:
        korvalin::fuzzFontFile(rest);
        break;
    }
    return 0;
}
