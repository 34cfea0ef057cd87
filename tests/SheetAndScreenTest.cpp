// The sheet's own labels, its partly painted cells, and the screen's escapes, aliases and
// text files, through the tool as a user runs it.
#include "FileError.h"
#include "FontSetFile.h"
#include "FontToolSupport.h"
#include "PngCodec.h"
#include "Screen.h"
#include "Sheet.h"
#include "TempDir.h"

#include <iostream>

namespace korvalin {
namespace {

using test::paperSet;
using test::q;
using test::runTool;
using test::TempDir;

FontSet defaultSet() {
    FontSet table;
    ReadFontSetFile(DEFAULT_SET, table);
    return table;
}

// The label strip of a cell at scale 1: the rows between the grid line and the glyph's frame.
struct Strip {
    std::vector<std::string> rows;
    bool operator==(const Strip&) const = default;
};

// The non-white pixels of a part of a cell's label strip, cropped to their bounding box.
Strip labelInk(const Pixels& sheet, int code, int fromX, int toX) {
    const int x0 = (code % 16) * kSheetCellWidth;
    const int y0 = (code / 16) * kSheetCellHeight;
    std::vector<std::string> rows;
    for (int y = y0 + 1; y < y0 + 9; ++y) {
        std::string row;
        for (int x = x0 + fromX; x < x0 + toX; ++x)
            row += sheet.at(x, y) == 0xFFFFFF ? '.' : '#';
        rows.push_back(row);
    }
    // Crop to the ink.
    while (!rows.empty() && rows.front().find('#') == std::string::npos)
        rows.erase(rows.begin());
    while (!rows.empty() && rows.back().find('#') == std::string::npos)
        rows.pop_back();
    std::size_t first = std::string::npos;
    std::size_t last = 0;
    for (const std::string& row : rows) {
        if (const std::size_t at = row.find('#'); at != std::string::npos) {
            first = std::min(first, at);
            last = std::max(last, row.rfind('#'));
        }
    }
    for (std::string& row : rows)
        row = row.substr(first, last - first + 1);
    return {rows};
}

Strip decimalLabel(const Pixels& sheet, int code) {
    return labelInk(sheet, code, 1, kSheetCellWidth / 2 + 1);
}
Strip hexLabel(const Pixels& sheet, int code) {
    return labelInk(sheet, code, kSheetCellWidth / 2 + 1, kSheetCellWidth);
}

// The labels of a set whose glyphs are all blank are those of the default set.
TEST(SheetLabels, DoNotDependOnTheSet) {
    const Pixels blank = RenderSheet(paperSet(), 1);
    const Pixels full = RenderSheet(defaultSet(), 1);
    for (const int code : {0, 48, 75, 255}) {
        EXPECT_FALSE(decimalLabel(blank, code).rows.empty()) << "code " << code;
        EXPECT_EQ(decimalLabel(blank, code), decimalLabel(full, code)) << "code " << code;
        EXPECT_EQ(hexLabel(blank, code), hexLabel(full, code)) << "code " << code;
    }
}

struct LabelCase {
    int hexCode;     // whose hex label reads as...
    int decimalCode; // ...this code's decimal label
};

class SheetHexLabels : public testing::TestWithParam<LabelCase> {};

// 0x10 reads "10", as the decimal label of ten does: the same digits in the same font.
TEST_P(SheetHexLabels, ReadAsTheDecimalLabelWithTheSameDigits) {
    const Pixels sheet = RenderSheet(defaultSet(), 1);
    EXPECT_EQ(hexLabel(sheet, GetParam().hexCode), decimalLabel(sheet, GetParam().decimalCode));
    EXPECT_NE(hexLabel(sheet, GetParam().hexCode), decimalLabel(sheet, GetParam().hexCode));
}

INSTANTIATE_TEST_SUITE_P(Sheet, SheetHexLabels,
                         testing::Values(LabelCase{0x10, 10}, LabelCase{0x25, 25},
                                         LabelCase{0x99, 99}, LabelCase{0x48, 48}));

struct PartialCase {
    const char* name;
    int scale;
    int code;
    int cell;
    bool inked;      // the block is ink but for its corner pixel, or paper but for it
    bool lastCorner; // the bottom right corner rather than the top left
    const char* message;
};

class PartlyPaintedCell : public testing::TestWithParam<PartialCase> {};

// The block of a glyph cell is found as the pixels that inking the cell changes; one of its
// corner pixels painted the other way makes the sheet refused, naming the cell.
TEST_P(PartlyPaintedCell, IsReportedNamingTheCell) {
    const PartialCase& c = GetParam();
    FontSet inked = paperSet();
    inked.setCell(c.code, c.cell, FontSet::kSet);
    const Pixels paper = RenderSheet(paperSet(), c.scale);
    const Pixels ink = RenderSheet(inked, c.scale);
    std::vector<std::size_t> block;
    for (std::size_t i = 0; i < paper.rgb.size(); ++i)
        if (paper.rgb[i] != ink.rgb[i])
            block.push_back(i);
    ASSERT_EQ(block.size(), static_cast<std::size_t>(9 * c.scale * c.scale));
    Pixels sheet = c.inked ? ink : paper;
    sheet.rgb[c.lastCorner ? block.back() : block.front()] = c.inked ? 0xFFFFFF : 0x000000;
    try {
        (void)ReadSheet(sheet, "sheet.png");
        ADD_FAILURE() << "the partly painted cell was read silently";
    } catch (const FileError& error) {
        EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos) << error.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sheet, PartlyPaintedCell,
    testing::Values(PartialCase{"OnePixelOnPaper", 1, 65, 0, false, false,
                                "sheet.png: 1 glyph cell is partly inked: code 65 A row 0 "
                                "column 0 (1 of 9 pixels dark)"},
                    PartialCase{"OnePixelMissingFromInk", 2, 255, 34, true, true,
                                "code 255 row 6 column 4 (35 of 36 pixels dark)"},
                    PartialCase{"BottomRightOfTheBlock", 3, 48, 17, false, true,
                                "code 48 0 row 3 column 2 (1 of 81 pixels dark)"}),
    [](const auto& row) { return std::string(row.param.name); });

// A set whose glyph for code n shows n's eight bits in its first cells and ink in cell 8,
// so that a screen can be read back code by code.
FontSet codeBitsSet() {
    FontSet table = paperSet();
    for (int code = 0; code < FontSet::kCharacters; ++code) {
        for (int bit = 0; bit < 8; ++bit)
            if ((code >> bit) & 1)
                table.setCell(code, bit, FontSet::kSet);
        table.setCell(code, 8, FontSet::kSet);
    }
    return table;
}

// The codes a scale-1 screen shows, row by row, up to the last character of each row.
std::vector<std::vector<int>> readScreen(const Pixels& screen) {
    std::vector<std::vector<int>> rows;
    for (int row = 0; row < kScreenRows; ++row) {
        std::vector<int> codes;
        for (int column = 0; column < kScreenColumns; ++column) {
            const auto ink = [&](int cell) {
                return screen.at(column * 6 + cell % 5, row * 8 + cell / 5) == kLcdInk;
            };
            if (!ink(8))
                break;
            int code = 0;
            for (int bit = 0; bit < 8; ++bit)
                code |= ink(bit) ? 1 << bit : 0;
            codes.push_back(code);
        }
        rows.push_back(codes);
    }
    while (!rows.empty() && rows.back().empty())
        rows.pop_back();
    return rows;
}

enum class Given { Argument, File, StandardInput };

struct TextCase {
    const char* name;
    Given given;
    std::string text;
    std::vector<std::vector<int>> rows;
};

class ScreenText : public testing::TestWithParam<TextCase> {};

TEST_P(ScreenText, ReachesTheCodes) {
    const TextCase& c = GetParam();
    TempDir dir;
    WriteFontSetFile(dir / "bits.8xfont", codeBitsSet());
    std::vector<std::string> arguments = {
        "screen", q(dir / "bits.8xfont"), "-o", q(dir / "s.png"), "-s", "1"};
    std::istringstream input(c.text);
    std::streambuf* const standardInput = std::cin.rdbuf();
    if (c.given == Given::Argument) {
        arguments.insert(arguments.end(), {"--text", c.text});
    } else if (c.given == Given::File) {
        test::writeFile(dir / "text file.txt", c.text);
        arguments.insert(arguments.end(), {"--text-file", q(dir / "text file.txt")});
    } else {
        std::cin.rdbuf(input.rdbuf());
        arguments.insert(arguments.end(), {"--text-file", "-"});
    }
    const test::ToolRun run = runTool(arguments);
    std::cin.rdbuf(standardInput);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readScreen(DecodePng(test::readFile(dir / "s.png"), "s.png")), c.rows);
}

INSTANTIATE_TEST_SUITE_P(
    Screen, ScreenText,
    testing::Values(
        TextCase{"HexEscapesReachCodesWithoutASymbol",
                 Given::Argument,
                 "\\x00\\xF8\\xff",
                 {{0, 248, 255}}},
        TextCase{"HexEscapeOfASharedSymbol", Given::Argument, "m\\xD3", {{109, 211}}},
        TextCase{
            "BackslashAndNewRow", Given::Argument, "a\\\\b\\nc\\q", {{97, 92, 98}, {99, 92, 113}}},
        TextCase{
            "ConvertArrowAsListingsWriteIt", Given::Argument, "\u25BAFrac", {{5, 70, 114, 97, 99}}},
        TextCase{"SuperscriptMinusBesideTheInverse",
                 Given::Argument,
                 "\u207B\u00B9\u207B2",
                 {{17, 26, 50}}},
        TextCase{"ItalicE", Given::Argument, "\U0001D452^(", {{219, 94, 40}}},
        TextCase{"ListL", Given::Argument, "\u221FL1", {{220, 76, 49}}},
        TextCase{"FileRowsAndEscapes", Given::File, "AB\r\n\\x01C\n", {{65, 66}, {1, 67}}},
        TextCase{"FileAfterAByteOrderMark",
                 Given::File,
                 "\xEF\xBB\xBF"
                 "AB",
                 {{65, 66}}},
        TextCase{"StandardInput", Given::StandardInput, "\u2192X\n\n\\xE0", {{28, 88}, {}, {224}}}),
    [](const auto& row) { return std::string(row.param.name); });

struct TextErrorCase {
    const char* name;
    std::vector<std::string> arguments; // "@" stands for a scratch folder
    int status;
    std::string message;
};

class ScreenTextErrors : public testing::TestWithParam<TextErrorCase> {};

TEST_P(ScreenTextErrors, NameTheCause) {
    TempDir dir;
    // Latin-1, an overlong slash, a surrogate and a lead byte that UTF-8 never uses.
    for (const auto& [file, bytes] : {std::pair<const char*, const char*>{"latin1.txt", "caf\xE9"},
                                      {"overlong.txt", "\xC0\xAF"},
                                      {"surrogate.txt", "\xED\xA0\x80"},
                                      {"f5.txt", "\xF5\x80\x80\x80"}})
        test::writeFile(dir / file, bytes);
    std::vector<std::string> arguments = {"screen", DEFAULT_SET, "-o", q(dir / "s.png")};
    for (const std::string& argument : GetParam().arguments)
        arguments.push_back(test::replaced(argument, '@', q(dir.path())));
    const test::ToolRun run = runTool(arguments);
    EXPECT_EQ(run.status, GetParam().status) << run.err;
    std::string message = GetParam().message;
    if (const std::size_t at = message.find('@'); at != std::string::npos)
        message.replace(at, 1, dir.path().string());
    EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(dir / "s.png"));
}

INSTANTIATE_TEST_SUITE_P(
    Screen, ScreenTextErrors,
    testing::Values(TextErrorCase{"OneHexDigit", {"-t", "\\x4"}, 1, "\"\\x\" takes two hex digits"},
                    TextErrorCase{"NotHex", {"-t", "\\xG1"}, 1, "\"\\x\" takes two hex digits"},
                    TextErrorCase{"TextAndFile",
                                  {"-t", "A", "--text-file", "-"},
                                  2,
                                  "screen needs --text TEXT or --text-file FILE"},
                    TextErrorCase{"MissingFile",
                                  {"--text-file", "@/none.txt"},
                                  1,
                                  "@/none.txt: cannot be opened: " +
                                      std::generic_category().message(ENOENT)},
                    TextErrorCase{"FileNotUtf8",
                                  {"--text-file", "@/latin1.txt"},
                                  1,
                                  "@/latin1.txt: the text is not valid UTF-8"},
                    TextErrorCase{"FileWithAnOverlongForm",
                                  {"--text-file", "@/overlong.txt"},
                                  1,
                                  "@/overlong.txt: the text is not valid UTF-8"},
                    TextErrorCase{"FileWithASurrogate",
                                  {"--text-file", "@/surrogate.txt"},
                                  1,
                                  "@/surrogate.txt: the text is not valid UTF-8"},
                    TextErrorCase{"FileWithLeadByteF5",
                                  {"--text-file", "@/f5.txt"},
                                  1,
                                  "@/f5.txt: the text is not valid UTF-8"}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace
} // namespace korvalin
