// Fonts taller than the cell and outline fonts from Debian's packages, placed by their
// baseline; our PCF reader against FreeType's; the X registries of BDF and PCF fonts; shared
// symbols.
#include "BdfFont.h"
#include "Encodings.h"
#include "FileError.h"
#include "FontImport.h"
#include "FontToolSupport.h"
#include "FreeTypeSource.h"
#include "Gzip.h"
#include "PcfFont.h"
#include "TempDir.h"
#include "ToolProcess.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_BDF_H

#include <algorithm>
#include <functional>
#include <sstream>

namespace korvalin {
namespace {

using test::paperSet;
using test::TempDir;

constexpr std::string_view kLettersAndDigits =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

// A glyph's ink cut to its bounding box, as rows of # and .; "" for no ink.
std::string trimmedInk(int width, int height, const std::function<bool(int, int)>& ink) {
    int left = width, right = -1, top = height, bottom = -1;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (ink(x, y)) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    std::string art;
    for (int y = top; y <= bottom; ++y) {
        for (int x = left; x <= right; ++x)
            art += ink(x, y) ? '#' : '.';
        art += '\n';
    }
    return art;
}

std::string trimmed(const SourceGlyph& glyph) {
    return trimmedInk(glyph.width, glyph.height, [&](int x, int y) { return glyph.at(x, y); });
}

std::string trimmed(const FontSet& table, int code) {
    return trimmedInk(FontSet::kColumns, FontSet::kRows, [&](int x, int y) {
        return table.cell(code, y * FontSet::kColumns + x) == FontSet::kSet;
    });
}

// Rows above the baseline of a glyph's highest and lowest ink, 0 for the row on it.
std::pair<int, int> inkRows(const SourceGlyph& glyph) {
    int highest = -1000, lowest = 1000;
    for (int y = 0; y < glyph.height; ++y) {
        for (int x = 0; x < glyph.width; ++x) {
            if (glyph.at(x, y)) {
                highest = std::max(highest, glyph.top - y - 1);
                lowest = std::min(lowest, glyph.top - y - 1);
            }
        }
    }
    return {highest, lowest};
}

std::string unpacked(const char* path) {
    return UnpackFontBytes(test::readFile(path), kMaxFontFileSize, path);
}

struct TallFont {
    const char* name;
    const char* file;
    std::optional<int> baseline;
    std::size_t whole; // letters and digits that the cell can hold, all of them
    int row;           // the baseline row given or chosen
};

class TallFonts : public testing::TestWithParam<TallFont> {};

// Each letter and digit comes from the font; the ones that the rows over the baseline can
// hold come whole, every pixel, sitting on the baseline; the others are named as cut.
TEST_P(TallFonts, KeepLettersAndDigitsWholeWhereTheRowsHoldThem) {
    const TallFont& font = GetParam();
    if (!std::filesystem::exists(font.file))
        GTEST_SKIP() << font.file << " is missing; install xfonts-base and xfonts-terminus";
    ImportOptions options;
    options.baseline = font.baseline;
    const int baseline = font.row;
    const ImportResult result = ImportFont(font.file, paperSet(), options);
    PcfFont source(unpacked(font.file), font.file);
    std::size_t whole = 0;
    for (const char c : kLettersAndDigits) {
        const int code = static_cast<unsigned char>(c);
        const SourceGlyph glyph = source.glyph(static_cast<char32_t>(c)).value();
        const auto [highest, lowest] = inkRows(glyph);
        const bool fits = highest <= baseline && lowest >= baseline - 6 &&
                          trimmed(glyph).find('\n') <= FontSet::kColumns;
        const bool lost = std::ranges::find(result.lostInk, code) != result.lostInk.end();
        ASSERT_NE(std::ranges::find(result.fromSource, code), result.fromSource.end()) << c;
        EXPECT_EQ(lost, !fits) << c;
        if (!fits)
            continue;
        ++whole;
        EXPECT_EQ(trimmed(result.table, code), trimmed(glyph)) << c;
        // The lowest ink on its row under the baseline row.
        int bottom = -1;
        for (int cell = 0; cell < FontSet::kCellsPerGlyph; ++cell)
            if (result.table.cell(code, cell) == FontSet::kSet)
                bottom = cell / FontSet::kColumns;
        EXPECT_EQ(bottom, baseline - lowest) << c;
    }
    EXPECT_GE(whole, font.whole) << "whole: " << whole;
    EXPECT_NE(result.placement.find("baseline row " + std::to_string(baseline)), std::string::npos)
        << result.placement;
}

INSTANTIATE_TEST_SUITE_P(
    MiscFixedAndTerminus, TallFonts,
    testing::Values(TallFont{"MiscFixed5x8", "/usr/share/fonts/X11/misc/5x8.pcf.gz", {}, 62, 5},
                    TallFont{"MiscFixed6x9", "/usr/share/fonts/X11/misc/6x9.pcf.gz", {}, 56, 5},
                    TallFont{"MiscFixed6x10", "/usr/share/fonts/X11/misc/6x10.pcf.gz", {}, 53, 6},
                    TallFont{"MiscFixed6x10OnRow5", "/usr/share/fonts/X11/misc/6x10.pcf.gz", 5, 13,
                             5},
                    TallFont{"Terminus12", TERMINUS_12, {}, 13, 6}),
    [](const auto& row) { return std::string(row.param.name); });

// FreeType's glyph as the import takes one, for comparing.
SourceGlyph freeTypeGlyph(const FT_GlyphSlot slot) {
    const FT_Bitmap& bitmap = slot->bitmap;
    SourceGlyph glyph{static_cast<int>(bitmap.width),
                      static_cast<int>(bitmap.rows),
                      slot->bitmap_left,
                      slot->bitmap_top,
                      {}};
    for (int y = 0; y < glyph.height; ++y)
        for (int x = 0; x < glyph.width; ++x)
            glyph.ink.push_back((bitmap.buffer[y * bitmap.pitch + x / 8] >> (7 - x % 8)) & 1);
    return glyph;
}

class PcfAgreement : public testing::TestWithParam<const char*> {};

// Our PCF reader against FreeType's PCF driver, in Unicode, Latin-2 and ASCII: each glyph
// FreeType maps, the same box against the baseline and the same pixels; the same ascent
// and descent.
TEST_P(PcfAgreement, ReadsEveryGlyphAsFreeTypeDoes) {
    const std::string file = std::string("/usr/share/fonts/X11/misc/") + GetParam();
    if (!std::filesystem::exists(file))
        GTEST_SKIP() << file << " is missing; install xfonts-base";
    const std::string bytes = unpacked(file.c_str());
    PcfFont ours(bytes, file);
    FT_Library plain = nullptr; // with FreeType's own PCF driver

    ASSERT_EQ(FT_Init_FreeType(&plain), 0);
    const std::unique_ptr<FT_LibraryRec_, decltype(&FT_Done_FreeType)> owner(plain,
                                                                             FT_Done_FreeType);
    FT_Face face = nullptr;
    ASSERT_EQ(FT_New_Memory_Face(plain, reinterpret_cast<const FT_Byte*>(bytes.data()),
                                 static_cast<FT_Long>(bytes.size()), 0, &face),
              0);
    ASSERT_EQ(FT_Select_Size(face, 0), 0);
    EXPECT_EQ(ours.ascent(), face->size->metrics.ascender >> 6);
    EXPECT_EQ(ours.descent(), -face->size->metrics.descender >> 6);
    const char* encoding = nullptr;
    const char* registry = nullptr;
    const EncodingTable* table = nullptr;
    if (FT_Select_Charmap(face, FT_ENCODING_UNICODE) != 0) { // its own codes, then
        ASSERT_EQ(FT_Get_BDF_Charset_ID(face, &encoding, &registry), 0);
        ASSERT_TRUE(table = FindEncoding(registry, encoding));
        ASSERT_EQ(FT_Set_Charmap(face, face->charmaps[0]), 0);
    }
    int compared = 0;
    FT_UInt index = 0;
    for (FT_ULong code = FT_Get_First_Char(face, &index); index != 0;
         code = FT_Get_Next_Char(face, code, &index)) {
        const std::optional<char32_t> point =
            table ? DecodeByte(*table, static_cast<unsigned>(code)) : char32_t(code);
        if (!point)
            continue; // a code the registry leaves empty
        ASSERT_EQ(FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_MONOCHROME), 0);
        const std::optional<SourceGlyph> glyph = ours.glyph(*point);
        ASSERT_TRUE(glyph) << code;
        const SourceGlyph theirs = freeTypeGlyph(face->glyph);
        EXPECT_EQ(std::tie(glyph->width, glyph->height, glyph->left, glyph->top, glyph->ink),
                  std::tie(theirs.width, theirs.height, theirs.left, theirs.top, theirs.ink))
            << code;
        ++compared;
    }
    EXPECT_GT(compared, 90);
}

INSTANTIATE_TEST_SUITE_P(MiscFixed, PcfAgreement,
                         testing::Values("5x7.pcf.gz", "6x9.pcf.gz", "10x20.pcf.gz",
                                         "5x8-ISO8859-2.pcf.gz", "clR6x8.pcf.gz",
                                         "ter-u12n_unicode.pcf.gz"));

// The summary: the counts line as before, then the size, strike and baseline, then the codes
// that lost ink, each line led by the file's name; --codes takes only the codes it names.
TEST(Summary, TellsSizeBaselineAndCutCodes) {
    const char* file = "/usr/share/fonts/X11/misc/6x9.pcf.gz";
    if (!std::filesystem::exists(file))
        GTEST_SKIP() << file << " is missing; install xfonts-base";
    TempDir dir;
    const test::ToolRun run = test::runTool({"import", file, "-o", test::q(dir / "out.8xfont"),
                                             "-b", DEFAULT_SET, "--codes", "0x67,97-99"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string name = std::string(file) + ": ";
    std::istringstream lines(run.out);
    std::string line;
    std::getline(lines, line);
    EXPECT_TRUE(line.starts_with(name + "4 codes from the font, 252 kept the base glyph: 0 1 "))
        << line;
    std::getline(lines, line);
    EXPECT_EQ(line, name + "size 9 px, strike 1 of 1, placed as a whole, baseline row 5");
    std::getline(lines, line);
    EXPECT_EQ(line, name + "the most legible of 7 candidates: 57 of 62 letters and digits "
                           "legible");
    std::getline(lines, line);
    EXPECT_EQ(line, name + "1 codes lost ink: 103");
    EXPECT_FALSE(std::getline(lines, line)) << line;
}

class Otf2Bdf : public testing::TestWithParam<int> {};

// The outline font rendered by the import and by otf2bdf at the same size: each letter and
// digit the same pixels at the same place against the pen and the baseline.
TEST_P(Otf2Bdf, DrawsLettersAndDigitsAsOtf2BdfDoes) {
    const std::filesystem::path otf2bdf = "/usr/bin/otf2bdf";
    if (!std::filesystem::exists(otf2bdf) || !std::filesystem::exists(DEJAVU_MONO))
        GTEST_SKIP() << "otf2bdf or " << DEJAVU_MONO
                     << " is missing; install otf2bdf and fonts-dejavu-core";
    TempDir dir;
    const std::string size = std::to_string(GetParam());
    (void)test::runProcess(otf2bdf,
                           {"-p", size, "-r", "72", "-o", (dir / "font.bdf").string(), DEJAVU_MONO},
                           test::Stdout::Null, dir / "errors.txt");
    BdfFont reference(test::readFile(dir / "font.bdf"), dir / "font.bdf");
    ImportOptions options;
    options.size = GetParam();
    FreeTypeSource outline(test::readFile(DEJAVU_MONO), DEJAVU_MONO, options);
    for (const char c : kLettersAndDigits) {
        const std::optional<SourceGlyph> expected = reference.glyph(static_cast<char32_t>(c));
        const std::optional<SourceGlyph> drawn = outline.glyph(static_cast<char32_t>(c));
        ASSERT_TRUE(expected && drawn) << c;
        EXPECT_EQ(trimmed(*drawn), trimmed(*expected)) << c;
        EXPECT_EQ(inkRows(*drawn), inkRows(*expected)) << c;
    }
}

INSTANTIATE_TEST_SUITE_P(DejaVuSansMono, Otf2Bdf, testing::Values(6, 7, 8, 9));

// Size, hinting and baseline given win, and the summary says so; with all three given
// there is nothing left to judge.
TEST(OutlineFont, OptionsGivenWinAndAreTold) {
    if (!std::filesystem::exists(DEJAVU_MONO))
        GTEST_SKIP() << DEJAVU_MONO << " is missing; install fonts-dejavu-core";
    TempDir dir;
    const test::ToolRun run =
        test::runTool({"import", DEJAVU_MONO, "-o", test::q(dir / "out.8xfont"), "-b", DEFAULT_SET,
                       "--size", "8", "--hinting", "none", "--baseline", "6"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find(": size 8 px, outline, unhinted, placed as a whole"), std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find(", baseline row 6\n"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("candidates"), std::string::npos) << run.out;
}

// A BDF with one glyph at `encoding`, its registry given as `properties` and `xlfd` say.
std::string registryBdf(const std::string& xlfd, const std::string& properties, long encoding) {
    return "STARTFONT 2.1\nFONT " + xlfd +
           "\nSIZE 7 75 75\nFONTBOUNDINGBOX 5 7 0 -1\nSTARTPROPERTIES 3\n" + properties +
           "FONT_ASCENT 6\nFONT_DESCENT 1\nENDPROPERTIES\nCHARS 1\nSTARTCHAR glyph\nENCODING " +
           std::to_string(encoding) +
           "\nBBX 5 7 0 -1\nBITMAP\nF8\n88\n88\n88\n88\n88\nF8\nENDCHAR\nENDFONT\n";
}

struct RegistryCase {
    const char* name;
    std::string xlfd;
    std::string properties;
    long encoding;
    int code;         // the code the glyph must fill
    const char* note; // part of what the summary says, "" for nothing
};

class Registries : public testing::TestWithParam<RegistryCase> {};

TEST_P(Registries, MapEncodingsThroughTheRegistry) {
    const RegistryCase& c = GetParam();
    TempDir dir;
    test::writeFile(dir / "font.bdf", registryBdf(c.xlfd, c.properties, c.encoding));
    const ImportResult result = ImportFont(dir / "font.bdf", paperSet());
    EXPECT_EQ(result.fromSource, std::vector<int>{c.code});
    EXPECT_NE(result.note.find(c.note), std::string::npos) << result.note;
    EXPECT_EQ(std::string_view(c.note).empty(), result.note.empty()) << result.note;
}

const std::string kGreekName = "-Misc-Fixed-Medium-R-Normal--7-70-75-75-C-50-ISO8859-7";

INSTANTIATE_TEST_SUITE_P(
    Bdf, Registries,
    testing::Values(
        RegistryCase{"Unicode", "u", "CHARSET_REGISTRY \"ISO10646\"\nCHARSET_ENCODING \"1\"\n",
                     0x3B1, 187, ""},
        RegistryCase{"Greek", "g", "CHARSET_REGISTRY \"ISO8859\"\nCHARSET_ENCODING \"7\"\n", 0xE1,
                     187, "registry ISO8859-7 mapped to Unicode"},
        RegistryCase{"Latin2", "l", "CHARSET_REGISTRY \"iso8859\"\nCHARSET_ENCODING \"2\"\n", 0xC9,
                     146, "registry iso8859-2 mapped"},
        RegistryCase{"KoiAsciiHalf", "k", "CHARSET_REGISTRY \"KOI8\"\nCHARSET_ENCODING \"R\"\n",
                     0x41, 65, "registry KOI8-R mapped"},
        RegistryCase{"Ascii", "a", "CHARSET_REGISTRY \"ISO646.1991\"\nCHARSET_ENCODING \"IRV\"\n",
                     0x41, 65, ""},
        RegistryCase{"RegistryFromTheFontName", kGreekName, "", 0xE1, 187,
                     "ISO8859-7 from its FONT name"},
        RegistryCase{"NoRegistryAtAllReadsUnicode", "handmade", "", 0x3B1, 187,
                     "encodings read as Unicode"}),
    [](const auto& row) { return std::string(row.param.name); });

// A registry without a table is refused by name, not read as another.
TEST(Registries, RefuseARegistryWithoutATable) {
    TempDir dir;
    test::writeFile(
        dir / "font.bdf",
        registryBdf("x", "CHARSET_REGISTRY \"JISX0208.1983\"\nCHARSET_ENCODING \"0\"\n", 0x2422));
    try {
        (void)ImportFont(dir / "font.bdf", paperSet());
        ADD_FAILURE() << "read";
    } catch (const FileError& error) {
        EXPECT_NE(std::string_view(error.what()).find("JISX0208.1983-0"), std::string::npos)
            << error.what();
        // As a font must spell them, each table this program has.
        EXPECT_NE(std::string_view(error.what())
                      .find("CHARSET_REGISTRY-CHARSET_ENCODING is ISO10646-1, ISO646.1991-IRV, "
                            "ISO8859-1 to ISO8859-11, ISO8859-13 to ISO8859-16, KOI8-R, KOI8-U, "
                            "MICROSOFT-CP1251 or MICROSOFT-CP1252"),
                  std::string::npos)
            << error.what();
    }
}

// A real PCF in Latin-2 fills its accented capitals through the table.
TEST(Registries, MiscFixedInLatin2) {
    const char* file = "/usr/share/fonts/X11/misc/5x8-ISO8859-2.pcf.gz";
    if (!std::filesystem::exists(file))
        GTEST_SKIP() << file << " is missing; install xfonts-base";
    const ImportResult result = ImportFont(file, paperSet());
    for (const int code : {65, 146, 165, 173}) // A É Ö Ü
        EXPECT_NE(std::ranges::find(result.fromSource, code), result.fromSource.end()) << code;
    EXPECT_NE(result.note.find("ISO8859-2"), std::string::npos) << result.note;
}

struct SharedSymbol {
    char32_t point;
    std::vector<int> codes; // every code whose symbol it is
};

class SharedSymbols : public testing::TestWithParam<SharedSymbol> {};

// A glyph of the source fills every code whose symbol it is, not only the first.
TEST_P(SharedSymbols, FillEveryCodeOfTheSymbol) {
    TempDir dir;
    test::writeFile(dir / "font.bdf",
                    registryBdf("u", "CHARSET_REGISTRY \"ISO10646\"\nCHARSET_ENCODING \"1\"\n",
                                static_cast<long>(GetParam().point)));
    EXPECT_EQ(ImportFont(dir / "font.bdf", paperSet()).fromSource, GetParam().codes);
}

INSTANTIATE_TEST_SUITE_P(
    Charmap, SharedSymbols,
    testing::Values(SharedSymbol{U'u', {2, 117}}, SharedSymbol{U'v', {3, 118}},
                    SharedSymbol{U'w', {4, 119}}, SharedSymbol{U'\u00B2', {18, 211}},
                    SharedSymbol{U'\u00B0', {20, 212}}, SharedSymbol{U'\u00B3', {14, 213}},
                    SharedSymbol{U'=', {61, 127}}, SharedSymbol{U'\u2B06', {6, 243}}));

} // namespace
} // namespace korvalin
