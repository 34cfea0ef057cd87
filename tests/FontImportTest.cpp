#include "FontImport.h"

#include "Charmap.h"
#include "FileError.h"
#include "FontSetFile.h"
#include "FontToolSupport.h"
#include "Gzip.h"
#include "Psf.h"
#include "TempDir.h"

namespace korvalin {
namespace {

using test::paperSet;
using test::TempDir;
using test::writeFile;

FontSet defaultSet() {
    FontSet table;
    ReadFontSetFile(DEFAULT_SET, table);
    return table;
}

std::string artOf(const FontSet& table, int code) {
    return GlyphArt(table.glyph(code));
}

// Where a glyph is drawn: a BDF, with or without FONT_ASCENT and FONT_DESCENT, or .hex.
enum class Source { Bdf, BdfOfItsBox, Hex };

// Up to eight pixels of a row drawn as # and ., in two hex digits.
std::string rowHex(const std::string& row) {
    unsigned bits = 0;
    for (std::size_t x = 0; x < row.size(); ++x)
        bits |= row[x] == '#' ? 0x80u >> x : 0;
    char hex[4];
    std::snprintf(hex, sizeof hex, "%02X", bits);
    return hex;
}

// A BDF font of one glyph for "A", drawn by `rows` in a box `width` x `rows.size()` that
// starts `descent` + `drop` rows below the baseline; BdfOfItsBox leaves the ascent and
// descent to the font's bounding box.
std::string oneGlyphBdf(int width, int ascent, int descent, std::vector<std::string> rows,
                        int drop = 0, Source source = Source::Bdf) {
    std::string bdf =
        "STARTFONT 2.1\nFONT test\nSIZE 8 75 75\nFONTBOUNDINGBOX " + std::to_string(width) + " " +
        std::to_string(ascent + descent + drop) + " 0 -" + std::to_string(descent + drop) +
        "\nSTARTPROPERTIES 4\nCHARSET_REGISTRY \"ISO10646\"\nCHARSET_ENCODING \"1\"\n" +
        (source == Source::BdfOfItsBox ? ""
                                       : "FONT_ASCENT " + std::to_string(ascent) +
                                             "\nFONT_DESCENT " + std::to_string(descent) + "\n") +
        "ENDPROPERTIES\nCHARS 1\nSTARTCHAR A\nENCODING 65\nSWIDTH 500 0\nDWIDTH " +
        std::to_string(width) + " 0\nBBX " + std::to_string(width) + " " +
        std::to_string(rows.size()) + " 0 -" + std::to_string(descent + drop) + "\nBITMAP\n";
    for (const std::string& row : rows)
        bdf += rowHex(row) + "\n";
    return bdf + "ENDCHAR\nENDFONT\n";
}

// A .hex font of one glyph for "A", drawn by its 16 rows of 8 pixels.
std::string oneGlyphHex(const std::vector<std::string>& rows) {
    std::string hex = "0041:";
    for (const std::string& row : rows)
        hex += rowHex(row);
    return hex + "\n";
}

struct PlacementCase {
    const char* name;
    int width, ascent, descent;
    std::vector<std::string> rows;
    const char* expected; // glyph 65 after the import, over an all-clear base
    int drop = 0;         // rows the glyph reaches below the font's descent
    ImportOptions options = {};
    bool lostInk = false;
    Source source = Source::Bdf; // a .hex takes 16 rows of 8 and none of the sizes
};

class Placement : public testing::TestWithParam<PlacementCase> {};

// The exact copy keeps columns as drawn, even the empty right one; any other size sits on
// the baseline above row 6, centred by its ink, and what falls outside is cut and told.
TEST_P(Placement, PutsTheGlyphWhereTheRuleSays) {
    const PlacementCase& c = GetParam();
    TempDir dir;
    writeFile(dir / "font", c.source == Source::Hex ? oneGlyphHex(c.rows)
                                                    : oneGlyphBdf(c.width, c.ascent, c.descent,
                                                                  c.rows, c.drop, c.source));
    const ImportResult result = ImportFont(dir / "font", paperSet(), c.options);
    EXPECT_EQ(artOf(result.table, 65), c.expected);
    EXPECT_EQ(result.fromSource, std::vector<int>{65});
    EXPECT_EQ(result.lostInk, c.lostInk ? std::vector<int>{65} : std::vector<int>{});
}

ImportOptions withBaseline(int row) {
    ImportOptions options;
    options.baseline = row;
    return options;
}

ImportOptions withShift(int x, int y) {
    ImportOptions options;
    options.shiftX = x;
    options.shiftY = y;
    return options;
}

INSTANTIATE_TEST_SUITE_P(
    Bdf, Placement,
    testing::Values(
        PlacementCase{"Exact5x7",
                      5,
                      6,
                      1,
                      {"#....", ".#...", "..#..", "...#.", "#....", ".#...", "..#.."},
                      "#....\n.#...\n..#..\n...#.\n#....\n.#...\n..#..\n"},
        PlacementCase{"Exact5x7WithABlankPaddingColumn",
                      6,
                      6,
                      1,
                      {"#.....", "......", "......", "......", "......", "......", "#....."},
                      "#....\n.....\n.....\n.....\n.....\n.....\n#....\n"},
        PlacementCase{"SmallFontSitsOnTheBaselineRow",
                      3,
                      3,
                      0,
                      {"###", "#.#", "###"},
                      ".....\n.....\n.....\n.###.\n.#.#.\n.###.\n.....\n"},
        PlacementCase{"BaselineOption",
                      3,
                      3,
                      0,
                      {"###", "#.#", "###"},
                      ".###.\n.#.#.\n.###.\n.....\n.....\n.....\n.....\n",
                      0,
                      withBaseline(2)},
        PlacementCase{"OneDescenderRowTheRestIsCut",
                      2,
                      4,
                      2,
                      {"##", "##", "..", "..", "#.", "#."},
                      ".....\n.....\n.##..\n.##..\n.....\n.....\n.#...\n",
                      0,
                      {},
                      true},
        PlacementCase{"BelowTheCellIsCut",
                      3,
                      4,
                      1,
                      {"###"},
                      ".....\n.....\n.....\n.....\n.....\n.....\n.....\n",
                      2,
                      {},
                      true},
        PlacementCase{"ShiftBringsItBack",
                      3,
                      4,
                      1,
                      {"###"},
                      ".....\n.....\n.....\n.....\n.....\n.....\n..###\n",
                      2,
                      withShift(1, -2)},
        PlacementCase{"WideGlyphIsCutAtBothSides",
                      7,
                      6,
                      1,
                      {"#######"},
                      ".....\n.....\n.....\n.....\n.....\n.....\n#####\n",
                      0,
                      {},
                      true},
        // Without FONT_ASCENT and FONT_DESCENT the box says where the baseline is.
        PlacementCase{"AscentFromTheBoundingBox",
                      5,
                      6,
                      1,
                      {"#....", "#....", ".....", ".....", ".....", ".....", "#...."},
                      "#....\n#....\n.....\n.....\n.....\n.....\n#....\n",
                      0,
                      {},
                      false,
                      Source::BdfOfItsBox},
        // A .hex is 5x7 only while all its ink lies where the export puts it.
        PlacementCase{"HexInkOneRowBelowTheBox",
                      0,
                      0,
                      0,
                      {"........", "........", "........", "........", "........", "........",
                       "........", "........", ".#......", "........", "........", "........",
                       "........", "........", "........", ".#......"},
                      "..#..\n.....\n.....\n.....\n.....\n.....\n.....\n",
                      0,
                      {},
                      true,
                      Source::Hex},
        PlacementCase{"HexInkInASixthColumn",
                      0,
                      0,
                      0,
                      {"........", "........", "........", "........", "........", "........",
                       "........", "........", ".#....#.", "........", "........", "........",
                       "........", "........", "........", "........"},
                      "#....\n.....\n.....\n.....\n.....\n.....\n.....\n",
                      0,
                      {},
                      true,
                      Source::Hex}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(RealFonts, MiscFixed5x7IsCopiedPixelForPixel) {
    if (!std::filesystem::exists(MISC_5X7)) {
        GTEST_SKIP() << MISC_5X7 << " is missing; install the package that carries it";
    }
    const ImportResult result = ImportFont(MISC_5X7, paperSet());
    // The misc-fixed glyphs as the X11 font draws them, the descender of g in the last row.
    EXPECT_EQ(artOf(result.table, 'A'), ".##..\n#..#.\n#..#.\n####.\n#..#.\n#..#.\n.....\n");
    EXPECT_EQ(artOf(result.table, 'g'), ".....\n.....\n.###.\n#..#.\n.##..\n#....\n.###.\n");
    EXPECT_GT(result.fromSource.size(), 190u);
}

// A real console font: its Unicode table finds the glyphs, whose rows read in the right
// order; 8 rows tall, it is placed on the baseline that keeps its capitals whole.
TEST(RealFonts, ConsoleFontIsReadWithItsUnicodeTable) {
    if (!std::filesystem::exists(CONSOLE_FONT)) {
        GTEST_SKIP() << CONSOLE_FONT << " is missing; install the package that carries it";
    }
    const std::string bytes = Gunzip(test::readFile(CONSOLE_FONT), kMaxFontFileSize, CONSOLE_FONT);
    const PsfFont font =
        ReadPsf({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}, CONSOLE_FONT);
    ASSERT_TRUE(font.glyphOf.contains(U'T'));
    ASSERT_TRUE(font.glyphOf.contains(U'\u00E9'));
    const int t = font.glyphOf.at(U'T');
    // The bar of a T is the widest row, and it is above the stem.
    int barRow = -1;
    int widest = 0;
    for (int y = 0; y < font.height; ++y) {
        int inked = 0;
        for (int x = 0; x < font.width; ++x)
            inked += font.ink(t, x, y) ? 1 : 0;
        if (inked > widest) {
            widest = inked;
            barRow = y;
        }
    }
    EXPECT_GE(widest, 4);
    EXPECT_LT(barRow, font.height / 2);
    const ImportResult result = ImportFont(CONSOLE_FONT, paperSet());
    EXPECT_NE(result.placement.find("size 8 px"), std::string::npos) << result.placement;
    EXPECT_NE(result.placement.find("baseline row 6"), std::string::npos) << result.placement;
    const std::string art = artOf(result.table, 'T');
    EXPECT_NE(art.substr(0, 6), ".....\n") << art << "T starts on row 0";
    EXPECT_NE(art.substr(36), ".....\n") << art << "T ends on row 6";
}

// PSF1 keeps its sequences in 16-bit units after 0xFFFE: glyph 1 stands for B, x with a
// bar and p with a hat.
TEST(ConsoleFont, Psf1TableMapsSinglesAndSequences) {
    std::vector<std::uint8_t> bytes = {0x36, 0x04, 0x02, 0x01};
    for (int glyph = 0; glyph < 256; ++glyph)
        bytes.push_back(static_cast<std::uint8_t>(glyph));
    for (const unsigned unit :
         {0x41u, 0xFFFFu, 0x42u, 0xFFFEu, 0x78u, 0x304u, 0xFFFEu, 0x70u, 0x302u, 0xFFFFu}) {
        bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    const PsfFont font = ReadPsf(bytes, "table.psf");
    EXPECT_EQ(font.glyphOf, (std::map<char32_t, int>{{U'A', 0}, {U'B', 1}}));
    EXPECT_EQ(font.glyphOfSequence,
              (std::map<std::u32string, int>{{U"x\u0304", 1}, {U"p\u0302", 1}}));
}

enum class Format { Bdf, Psf, Png, Hex };

// A set in which each glyph spells its own code in binary, so that no two are alike.
FontSet codeSet() {
    FontSet table = paperSet();
    for (int code = 0; code < FontSet::kCharacters; ++code) {
        for (int bit = 0; bit < 8; ++bit) {
            if ((code >> bit & 1) != 0)
                table.setCell(code, bit, FontSet::kSet);
        }
        table.setCell(code, 34 - code % 5, FontSet::kSet);
    }
    return table;
}

class RoundTrip : public testing::TestWithParam<Format> {};

// Export then import over a different base gives every one of the 256 glyphs back: codes
// that share a symbol, have none or one beyond U+FFFF included.
TEST_P(RoundTrip, GivesEveryCodeBack) {
    const char* const extension[] = {"font.bdf", "font.psf", "font.png", "font.hex"};
    TempDir dir;
    const std::filesystem::path font = dir / extension[static_cast<int>(GetParam())];
    WriteFontSetFile(dir / "edited.8xfont", codeSet());
    const test::ToolRun exported =
        test::runTool({"export", test::q(dir / "edited.8xfont"), "-o", test::q(font)});
    ASSERT_EQ(exported.status, 0) << exported.err;
    const FontSet original = codeSet();
    const ImportResult back = ImportFont(font, defaultSet());
    for (int code = 0; code < FontSet::kCharacters; ++code)
        EXPECT_EQ(artOf(back.table, code), artOf(original, code)) << "code " << code;
    EXPECT_TRUE(back.kept.empty());
}

INSTANTIATE_TEST_SUITE_P(Formats, RoundTrip,
                         testing::Values(Format::Bdf, Format::Psf, Format::Png, Format::Hex));

} // namespace
} // namespace korvalin
