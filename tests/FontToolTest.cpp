#include "Charmap.h"
#include "FontSetFile.h"
#include "FontToolSupport.h"
#include "Packer.h"
#include "PngCodec.h"
#include "ProgramImage.h"
#include "Screen.h"
#include "Sheet.h"
#include "TempDir.h"

#include <set>
#include <utility>

namespace korvalin {
namespace {

using test::paperSet;
using test::q;
using test::runTool;
using test::TempDir;

// A set that is blank but for A (its top left cell) and B (its bottom right cell).
FontSet markerSet() {
    FontSet table = paperSet();
    table.setCell('A', 0, FontSet::kSet);
    table.setCell('B', 34, FontSet::kSet);
    return table;
}

std::set<std::pair<int, int>> inkPixels(const Pixels& screen) {
    std::set<std::pair<int, int>> ink;
    for (int y = 0; y < screen.height; ++y)
        for (int x = 0; x < screen.width; ++x)
            if (screen.at(x, y) == kLcdInk)
                ink.emplace(x, y);
    return ink;
}

struct ScreenCase {
    const char* name;
    const char* text;
    std::set<std::pair<int, int>> ink;
};

class ScreenLayoutTest : public testing::TestWithParam<ScreenCase> {};

TEST_P(ScreenLayoutTest, PutsEachGlyphAtItsCellsTopLeft) {
    EXPECT_EQ(inkPixels(RenderScreen(markerSet(), GetParam().text, 1)), GetParam().ink);
}

INSTANTIATE_TEST_SUITE_P(
    Screen, ScreenLayoutTest,
    testing::Values(ScreenCase{"FirstCell", "A", {{0, 0}}},
                    ScreenCase{"SixPixelsApart", "AAB", {{0, 0}, {6, 0}, {16, 6}}},
                    ScreenCase{"WrapsAfterSixteen", "                AB", {{0, 8}, {10, 14}}},
                    ScreenCase{"LineFeedStartsARow", "B\nA", {{4, 6}, {0, 8}}},
                    ScreenCase{
                        "FullLineAndLineFeedTakeOneRow", "               B\nA", {{94, 6}, {0, 8}}},
                    ScreenCase{"LastCell", "\n\n\n\n\n\n\n               B", {{94, 62}}}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(Screen, ScaleOneIsTheCalculatorsSize) {
    const Pixels screen = RenderScreen(markerSet(), "", 1);
    EXPECT_EQ(std::pair(screen.width, screen.height), std::pair(96, 64));
    const Pixels big = RenderScreen(markerSet(), "A", 4);
    EXPECT_EQ(inkPixels(big).size(), 16u);
}

struct TextCase {
    const char* text;
    std::vector<int> codes;
};

class CharmapText : public testing::TestWithParam<TextCase> {};

// Shared symbols go to the plain code; joined symbols count only where their parts have no
// code of their own.
TEST_P(CharmapText, MapsTextToCodes) {
    EXPECT_EQ(CodesForText(GetParam().text), GetParam().codes);
}

INSTANTIATE_TEST_SUITE_P(Charmap, CharmapText,
                         testing::Values(TextCase{"A b", {65, 32, 98}}, TextCase{"u=", {117, 61}},
                                         TextCase{"\u00B0\u00B2", {20, 18}},
                                         TextCase{"x\u0304x", {203, 120}},
                                         TextCase{"\u207B\u00B9", {17}}, TextCase{"))", {41, 41}},
                                         TextCase{"\\*_", {92, 42, 95}}));

class SheetRoundTrip : public testing::TestWithParam<int> {};

TEST_P(SheetRoundTrip, ReadsBackEveryGlyph) {
    FontSet table;
    ReadFontSetFile(DEFAULT_SET, table);
    EXPECT_EQ(ReadSheet(RenderSheet(table, GetParam()), "sheet.png"), table);
}

INSTANTIATE_TEST_SUITE_P(Scales, SheetRoundTrip, testing::Values(1, 2, 5));

// render and screen enlarge as they pack the PNG; the file holds what drawing at that scale
// would draw, pixel for pixel.
struct Enlarged {
    const char* name;
    Pixels (*draw)(const FontSet& table, int scale);
    int scale;
};

class EnlargedPng : public testing::TestWithParam<Enlarged> {};

TEST_P(EnlargedPng, HoldsThePictureDrawnAtThatScale) {
    FontSet table;
    ReadFontSetFile(DEFAULT_SET, table);
    const Enlarged& c = GetParam();
    const Pixels decoded = DecodePng(EncodePng(c.draw(table, 1), c.scale), "enlarged.png");
    const Pixels drawn = c.draw(table, c.scale);
    ASSERT_EQ(decoded.width, drawn.width);
    ASSERT_EQ(decoded.height, drawn.height);
    EXPECT_TRUE(decoded.rgb == drawn.rgb);
}

Pixels screenOf(const FontSet& table, int scale) {
    return RenderScreen(table, "HELLO\nx\u00B2+y\u00B2", scale);
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, EnlargedPng,
    testing::Values(Enlarged{"Sheet1", &RenderSheet, 1}, Enlarged{"Sheet3", &RenderSheet, 3},
                    Enlarged{"Screen4", &screenOf, 4}, Enlarged{"Screen32", &screenOf, 32}),
    [](const testing::TestParamInfo<Enlarged>& param) { return std::string(param.param.name); });

// The tool's compile against the editor's image and the packer, byte for byte.
TEST(Compile, EqualsTheEditorsImageAndThePacker) {
    TempDir tool;
    TempDir editor;
    FontSet table;
    ReadFontSetFile(DEFAULT_SET, table);
    WriteProgramImage(editor / "Font1.bin", table);
    const std::string_view packer[] = {"prgforge", "Font1"};
    std::ostringstream packerOutput;
    std::ostringstream packerErrors;
    ASSERT_EQ(RunPacker(packer, editor.path(), packerOutput, packerErrors), 0)
        << packerErrors.str();
    const test::ToolRun run = runTool({"compile", DEFAULT_SET, "Font1", "-o", q(tool.path())});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(test::readFile(tool / "Font1.8xp"), test::readFile(editor / "Font1.8xp"));
}

TEST(Check, StrictReportsOddCellsAndFails) {
    TempDir dir;
    FontSet table = paperSet();
    table.setCell(65, 7, 128);
    table.setCell(66, 0, -3);
    WriteFontSetFile(dir / "odd.8xfont", table);
    EXPECT_EQ(runTool({"check", q(dir / "odd.8xfont")}).status, 0);
    const test::ToolRun strict = runTool({"check", "--strict", q(dir / "odd.8xfont")});
    EXPECT_EQ(strict.status, 1);
    EXPECT_NE(strict.out.find("character 65 A, cell 7 (row 1, column 2): value 128 shows as grey "
                              "128 and packs as ink"),
              std::string::npos)
        << strict.out;
    EXPECT_NE(strict.out.find("character 66 B, cell 0 (row 0, column 0): value -3 shows black and "
                              "packs as paper"),
              std::string::npos)
        << strict.out;
}

// The default set's text with line `number` (from 1) made `line`.
std::string withLine(std::string text, int number, const std::string& line) {
    std::size_t at = 0;
    for (int i = 1; i < number; ++i)
        at = text.find('\n', at) + 1;
    return text.replace(at, text.find('\r', at) - at, line);
}

// Line ends made `separator`, but every `keep`th.
std::string joined(std::string text, int keep, const std::string& separator) {
    int line = 0;
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at))
        if (++line % keep == 0)
            at += 2;
        else
            text.replace(at, 2, separator);
    return text;
}

struct LayoutCase {
    const char* name;
    std::string (*edit)(std::string text); // of the default set's
    int status;
    std::string message; // in standard error, or on standard output for success
};

class CheckLayout : public testing::TestWithParam<LayoutCase> {};

// What the editor would read, but not as the set's writer meant it, is named by its line.
TEST_P(CheckLayout, NamesWhatTheEditorWouldMisread) {
    TempDir dir;
    test::writeFile(dir / "set.8xfont", GetParam().edit(test::readFile(DEFAULT_SET)));
    const test::ToolRun run = runTool({"check", q(dir / "set.8xfont")});
    EXPECT_EQ(run.status, GetParam().status) << run.err;
    EXPECT_NE((run.status == 0 ? run.out : run.err).find(GetParam().message), std::string::npos)
        << run.out << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    Check, CheckLayout,
    testing::Values(
        LayoutCase{"AsTheEditorWritesIt", [](std::string text) { return text; }, 0, ": ok\n"},
        LayoutCase{"CommasOnOneLine", [](std::string text) { return joined(text, 8960, ","); }, 0,
                   ": ok\n"},
        LayoutCase{"FiveValuesALine", [](std::string text) { return joined(text, 5, " "); }, 0,
                   ": ok\n"},
        LayoutCase{"ValueSplitByABlank",
                   [](std::string text) { return withLine(text, 1234, " 2 55 "); }, 1,
                   "set.8xfont: line 1234: \" 2 55 \" holds 2 values, which the editor reads as "
                   "2 cells; it writes one a line\n"},
        LayoutCase{"AValueTooMany", [](std::string text) { return text + " 0 \r\n"; }, 1,
                   "set.8xfont: line 8961: more follows the 8960th value, which the editor never "
                   "reads\n"},
        LayoutCase{"AfterAByteOrderMark", [](std::string text) { return "\xEF\xBB\xBF" + text; }, 1,
                   "set.8xfont: starts with a byte order mark, which the editor does not read"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(ShowAndDiff, PrintArtBesideRowBytesAndSideBySide) {
    TempDir dir;
    FontSet a = paperSet();
    test::setGlyph(a, 'A',
                   GlyphFromArt({".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}));
    FontSet b = a;
    b.setCell('!', 2, FontSet::kSet);
    WriteFontSetFile(dir / "a.8xfont", a);
    WriteFontSetFile(dir / "b.8xfont", b);
    const test::ToolRun show = runTool({"show", q(dir / "a.8xfont"), "A"});
    EXPECT_EQ(show.out, "65 A\n.###.  0E\n#...#  11\n#...#  11\n#####  1F\n#...#  11\n"
                        "#...#  11\n#...#  11\n");
    EXPECT_EQ(runTool({"show", q(dir / "a.8xfont"), "65"}).out, show.out);
    const test::ToolRun diff = runTool({"diff", q(dir / "a.8xfont"), q(dir / "b.8xfont")});
    EXPECT_EQ(diff.status, 1);
    EXPECT_EQ(diff.out, "33 !\n.....  ..#..\n.....  .....\n.....  .....\n.....  .....\n"
                        ".....  .....\n.....  .....\n.....  .....\n");
    EXPECT_EQ(runTool({"diff", q(dir / "a.8xfont"), q(dir / "a.8xfont")}).status, 0);
}

struct ErrorCase {
    const char* name;
    std::vector<std::string> arguments; // "@" stands for a scratch folder
    int status;
    const char* message;
};

class Errors : public testing::TestWithParam<ErrorCase> {};

TEST_P(Errors, ExitWithTheStatusAndNameTheCause) {
    TempDir dir;
    test::writeFile(dir / "junk.psf", "\x72\xB5\x4A\x86" + std::string(40, 'j'));
    test::writeFile(dir / "small.png", "");
    test::writeFile(dir / "s.png", EncodePng(Pixels(10, 10, 0)));
    std::filesystem::copy_file(DEFAULT_SET, dir / "set.8xfont");
    ASSERT_EQ(runTool({"compile", DEFAULT_SET, "FONT1", "-o", q(dir.path())}).status, 0);
    ASSERT_EQ(runTool({"render", DEFAULT_SET, "-o", q(dir / "sheet.png")}).status, 0);
    std::vector<std::string> arguments;
    for (const std::string& argument : GetParam().arguments)
        arguments.push_back(test::replaced(argument, '@', q(dir.path())));
    const test::ToolRun run = runTool(arguments);
    EXPECT_EQ(run.status, GetParam().status) << run.err;
    EXPECT_NE(run.err.find(GetParam().message), std::string::npos) << run.err;
}

const std::string kSet = "@/set.8xfont";

INSTANTIATE_TEST_SUITE_P(
    Tool, Errors,
    testing::Values(
        ErrorCase{"NoCommand", {}, 2, "no command given"},
        ErrorCase{"UnknownCommand", {"paint"}, 2, "\"paint\" is not a command"},
        ErrorCase{"UnknownOption", {"check", "--loud", kSet}, 2, "loud"},
        ErrorCase{"TooFewArguments", {"diff", kSet}, 2, "too few arguments"},
        ErrorCase{"NoOutput", {"render", kSet}, 2, "render needs -o FILE"},
        ErrorCase{"BadScale", {"render", kSet, "-o", "@/s.png", "--scale", "0"}, 2, "--scale"},
        ErrorCase{"SheetTooLargeToImport",
                  {"render", kSet, "-o", "@/s.png", "--scale", "17"},
                  2,
                  "from 1 to 16"},
        ErrorCase{"NoText", {"screen", kSet, "-o", "@/s.png"}, 2, "screen needs --text"},
        ErrorCase{"BadExtension",
                  {"export", kSet, "-o", "@/f.ttf"},
                  2,
                  "FONT.bdf, FONT.psf, FONT.png, FONT.hex"},
        ErrorCase{"NameThatIsAKeyword",
                  {"export", kSet, "-o", "@/f.h", "--name", "int"},
                  2,
                  "--name \"int\" is a C or C++ keyword"},
        ErrorCase{"LabelThatIsARegister",
                  {"export", kSet, "-o", "@/f.inc", "--name", "HL"},
                  2,
                  "--name \"HL\" is a Z80 register"},
        ErrorCase{"NameOfAFormatWithoutOne",
                  {"export", kSet, "-o", "@/f.bdf", "--name", "f"},
                  2,
                  "--name names the table of .h, .inc and .z80 only"},
        ErrorCase{"BadCode", {"show", kSet, "256"}, 2, "\"256\" is neither a code"},
        ErrorCase{"MissingSet", {"check", "@/none.8xfont"}, 1, "none.8xfont: cannot be opened"},
        ErrorCase{"UnmappedCharacter",
                  {"screen", kSet, "-t", "a€", "-o", "@/s.png"},
                  1,
                  "no code for \"€\" (U+20AC)"},
        ErrorCase{"TooManyRows",
                  {"screen", kSet, "-t", "1\\n2\\n3\\n4\\n5\\n6\\n7\\n8\\n9", "-o", "@/s.png"},
                  1,
                  "needs 9 rows"},
        ErrorCase{"DamagedPsf",
                  {"import", "@/junk.psf", "-o", "@/x.8xfont", "-b", kSet},
                  1,
                  "junk.psf: has a PSF2 header"},
        ErrorCase{"NotAFont",
                  {"import", "@/small.png", "-o", "@/x.8xfont", "-b", kSet},
                  1,
                  "small.png: is not a font this program reads: import takes BDF, PCF, PSF, "
                  "TrueType and OpenType fonts, Unifont .hex, text art, a font set, a glyph sheet "
                  "or grid PNG and the font program of an .8xp or .8xg"},
        ErrorCase{"FontWhereASetBelongs",
                  {"check", DEJAVU_MONO},
                  1,
                  "DejaVuSansMono.ttf: is a TrueType font, not a font set; korvalin-font import "
                  "makes a set of it"},
        ErrorCase{"SheetWhereASetBelongs",
                  {"show", "@/sheet.png", "A"},
                  1,
                  "sheet.png: is a PNG picture, not a font set"},
        ErrorCase{"ShiftForAProgram",
                  {"import", "@/FONT1.8xp", "-o", "@/x.8xfont", "-b", kSet, "--shift", "1,0"},
                  2,
                  "FONT1.8xp: is a font program, copied as drawn; --shift does not apply to it"},
        ErrorCase{"BaselineForASheet",
                  {"import", "@/sheet.png", "-o", "@/x.8xfont", "-b", kSet, "--baseline", "4"},
                  2,
                  "sheet.png: is a glyph sheet, copied as drawn; --baseline does not apply to it"},
        ErrorCase{"SizeForArt",
                  {"import", TEST_DATA_DIR "/default-font.txt", "-o", "@/x.8xfont", "-b", kSet,
                   "--size", "7"},
                  2,
                  "default-font.txt: is text art, copied as drawn; --size does not apply to it"},
        ErrorCase{"ShiftForASetToRender",
                  {"render", kSet, "-o", "@/r.png", "-b", kSet, "--shift", "1,0"},
                  2,
                  "set.8xfont: is a font set, copied as drawn; --shift does not apply to it"},
        ErrorCase{"SizeForAProgramOnScreen",
                  {"screen", "@/FONT1.8xp", "-t", "A", "-o", "@/s.png", "-b", kSet, "--size", "7"},
                  2,
                  "FONT1.8xp: is a font program, copied as drawn; --size does not apply to it"},
        ErrorCase{"HintingForABitmapFont",
                  {"import", MISC_5X7, "-o", "@/x.8xfont", "-b", kSet, "--hinting", "none"},
                  2,
                  "5x7.pcf.gz: is a bitmap font, drawn as it is; --hinting does not apply to it"},
        ErrorCase{
            "ImportFromAFolder", {"import", "@", "-o", "@/x.8xfont", "-b", kSet}, 1, "is a folder"},
        ErrorCase{"SheetOfTheWrongSize",
                  {"import", "@/s.png", "-o", "@/x.8xfont", "-b", kSet},
                  1,
                  "not a glyph sheet"},
        ErrorCase{"DiffTrouble", {"diff", kSet, "@/none.8xfont"}, 2, "cannot be opened"},
        ErrorCase{"BaselineBelowTheCell",
                  {"import", kSet, "-o", "@/x.8xfont", "--baseline", "7"},
                  2,
                  "--baseline takes a whole number from 0 to 6"},
        ErrorCase{"ShiftOfOneNumber",
                  {"import", kSet, "-o", "@/x.8xfont", "--shift", "2"},
                  2,
                  "--shift takes DX,DY"},
        ErrorCase{"CodesBeyond255",
                  {"import", kSet, "-o", "@/x.8xfont", "--codes", "65-300"},
                  2,
                  "--codes takes codes 0 to 255"},
        ErrorCase{"UnknownHinting",
                  {"import", kSet, "-o", "@/x.8xfont", "--hinting", "light"},
                  2,
                  "--hinting takes font, auto or none"},
        ErrorCase{"NoSuchStrike",
                  {"import", MISC_5X7, "-o", "@/x.8xfont", "-b", kSet, "--size", "9"},
                  1,
                  "has no strike of 9 pixels"},
        ErrorCase{"OutputIsTheInput",
                  {"render", kSet, "-o", "@/./set.8xfont"},
                  2,
                  "is the file render reads"},
        ErrorCase{"ControlCharacterInAName",
                  {"check", "@/a\nb.8xfont"},
                  1,
                  "a\\x0Ab.8xfont: cannot be opened"},
        ErrorCase{"ControlCharacterInTheText",
                  {"screen", kSet, "-t", "a\x1B[2J", "-o", "@/s.png"},
                  1,
                  "no code for \"\\x1B\" (U+001B)"}),
    [](const auto& row) { return std::string(row.param.name); });

// Every help fits an 80-column terminal, and the overview names all nine commands.
TEST(Tool, HelpFitsEightyColumns) {
    std::vector<test::ToolRun> helps = {runTool({"--help"})};
    for (const Command& command : Commands())
        helps.push_back(runTool({command.name, "--help"}));
    EXPECT_EQ(Commands().size(), 9u);
    for (const test::ToolRun& help : helps) {
        EXPECT_EQ(help.status, 0);
        std::istringstream lines(help.out);
        for (std::string line; std::getline(lines, line);)
            EXPECT_LT(line.size(), 80u) << line;
    }
    // Each command's help and the Windows README give an example of it.
    const std::string readme = test::readFile(WINDOWS_README);
    for (std::size_t i = 0; i < Commands().size(); ++i) {
        const std::string name = Commands()[i].name;
        EXPECT_NE(helps.front().out.find("  " + name + " "), std::string::npos);
        EXPECT_NE(helps[i + 1].out.find("Example: korvalin-font " + name + " "), std::string::npos);
        EXPECT_NE(readme.find("  korvalin-font " + name + " "), std::string::npos) << name;
    }
}

// A stray byte must not become U+FFFD and stand for another character or file.
TEST(Tool, RefusesAnArgumentThatIsNotUtf8) {
    TempDir dir;
    const std::vector<std::string> argv = {"screen", DEFAULT_SET, "-t",
                                           "ab\xFF", "-o",        (dir / "s.png").string()};
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(RunFontTool(argv, out, err), 2);
    EXPECT_NE(err.str().find("\"ab\\xFF\" is not valid UTF-8"), std::string::npos) << err.str();
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

} // namespace
} // namespace korvalin
