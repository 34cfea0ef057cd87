// The designers' formats: Unifont .hex and the text art in and out, the C header and the
// Z80 include out, and the set back from its compiled program.
#include "BdfFont.h"
#include "Charmap.h"
#include "FontImport.h"
#include "FontSetFile.h"
#include "FontToolSupport.h"
#include "ProgramImage.h"
#include "TempDir.h"
#include "ToolProcess.h"

namespace korvalin {
namespace {

using test::paperSet;
using test::q;
using test::runTool;
using test::TempDir;

// An edited set: the default set with codes 2, 211, 240 and 255 redrawn.
FontSet editedSet() {
    FontSet table;
    ReadFontSetFile(DEFAULT_SET, table);
    for (const int code : {2, 65, 211, 240, 255})
        for (int cell = 0; cell < FontSet::kCellsPerGlyph; ++cell)
            table.setCell(code, cell, (cell * 7 + code) % 3 == 0 ? FontSet::kSet : FontSet::kClear);
    return table;
}

struct RoundTripCase {
    const char* name;
    std::vector<std::string> exportArguments; // "@" is the scratch folder, "%" the set
    const char* file;
    const char* converter; // a filter that makes "converted" of the file, or nullptr
};

class FormatRoundTrip : public testing::TestWithParam<RoundTripCase> {};

// Export, then import over a blank base: the edited set comes back.
TEST_P(FormatRoundTrip, GivesTheEditedSetBack) {
    const RoundTripCase& c = GetParam();
    TempDir dir;
    const FontSet edited = editedSet();
    WriteFontSetFile(dir / "edited.8xfont", edited);
    WriteFontSetFile(dir / "paper.8xfont", paperSet());
    std::vector<std::string> arguments;
    for (const std::string& argument : c.exportArguments)
        arguments.push_back(test::replaced(test::replaced(argument, '%', q(dir / "edited.8xfont")),
                                           '@', q(dir.path())));
    const test::ToolRun exported = runTool(arguments);
    ASSERT_EQ(exported.status, 0) << exported.err;
    std::filesystem::path source = dir / c.file;
    if (c.converter) {
        if (!std::filesystem::exists(c.converter))
            GTEST_SKIP() << c.converter << " is missing";
        const test::Child converter{.program = c.converter,
                                    .input = source,
                                    .out = {test::Stdout::File, dir / "converted"}};
        ASSERT_EQ(test::run(converter).status, 0);
        source = dir / "converted";
    }
    const test::ToolRun imported =
        runTool({"import", q(source), "-o", q(dir / "back.8xfont"), "-b", q(dir / "paper.8xfont")});
    ASSERT_EQ(imported.status, 0) << imported.err;
    FontSet back;
    ReadFontSetFile(dir / "back.8xfont", back);
    for (int code = 0; code < FontSet::kCharacters; ++code)
        EXPECT_EQ(GlyphArt(back.glyph(code)), GlyphArt(edited.glyph(code))) << "code " << code;
}

INSTANTIATE_TEST_SUITE_P(
    Formats, FormatRoundTrip,
    testing::Values(
        RoundTripCase{"UnifontHex", {"export", "%", "-o", "@/font.hex"}, "font.hex", nullptr},
        RoundTripCase{"TextArt", {"export", "%", "-o", "@/font.TXT"}, "font.TXT", nullptr},
        RoundTripCase{"Program", {"compile", "%", "FONT1", "-o", "@"}, "FONT1.8xp", nullptr},
        // xfonts-utils' converter keeps only the glyphs that have an encoding.
        RoundTripCase{
            "PcfByBdftopcf", {"export", "%", "-o", "@/font.bdf"}, "font.bdf", "/usr/bin/bdftopcf"}),
    [](const auto& row) { return std::string(row.param.name); });

// The repository's own art is the format that export writes and import reads.
// ... with or without the byte order mark that some editors put at its start.
TEST(TextArt, TheDefaultFontsArtImportsAsTheDefaultSet) {
    TempDir dir;
    WriteFontSetFile(dir / "paper.8xfont", paperSet());
    for (const std::string opening : {"", "\xEF\xBB\xBF"}) {
        test::writeFile(dir / "art.txt",
                        opening + test::readFile(TEST_DATA_DIR "/default-font.txt"));
        const test::ToolRun imported =
            runTool({"import", q(dir / "art.txt"), "-o", q(dir / "art.8xfont"), "-b",
                     q(dir / "paper.8xfont")});
        ASSERT_EQ(imported.status, 0) << imported.err;
        FontSet art;
        FontSet table;
        ReadFontSetFile(dir / "art.8xfont", art);
        ReadFontSetFile(DEFAULT_SET, table);
        EXPECT_EQ(art, table);
    }
}

// The row bytes and comments of a source export, one glyph a line.
struct SourceLine {
    std::vector<unsigned> rows;
    std::string comment;
};

// Lines that start with `opening`: the numbers after each `marker` up to `separator`, and
// the comment after it.
std::vector<SourceLine> parseSource(const std::string& text, const std::string& opening,
                                    const std::string& marker, const std::string& separator,
                                    int base) {
    std::vector<SourceLine> glyphs;
    std::istringstream lines(text);
    for (std::string row; std::getline(lines, row);) {
        const std::size_t end = row.find(separator);
        if (!row.starts_with(opening) || end == std::string::npos)
            continue;
        SourceLine glyph{{}, row.substr(end + separator.size())};
        const std::string bytes = row.substr(0, end);
        for (std::size_t at = bytes.find(marker); at != std::string::npos;
             at = bytes.find(marker, at + 1))
            glyph.rows.push_back(
                static_cast<unsigned>(std::stoul(bytes.substr(at + marker.size()), nullptr, base)));
        glyphs.push_back(glyph);
    }
    return glyphs;
}

struct SourceCase {
    const char* file;
    const char* declaration; // the line that names the table
    const char* opening;     // of a glyph's line
    const char* marker;      // before each row byte
    const char* separator;   // between the bytes and the comment
    int base;
};

class SourceExport : public testing::TestWithParam<SourceCase> {};

TEST_P(SourceExport, HoldsTheProgramImagesRowsOneGlyphALine) {
    TempDir dir;
    const FontSet edited = editedSet();
    WriteFontSetFile(dir / "edited.8xfont", edited);
    const test::ToolRun run =
        runTool({"export", q(dir / "edited.8xfont"), "-o", q(dir / GetParam().file)});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string text = test::readFile(dir / GetParam().file);
    EXPECT_NE(text.find(GetParam().declaration), std::string::npos) << text.substr(0, 300);
    const std::vector<SourceLine> glyphs = parseSource(text, GetParam().opening, GetParam().marker,
                                                       GetParam().separator, GetParam().base);
    ASSERT_EQ(glyphs.size(), 256u);
    const ProgramImage image = BuildProgramImage(edited);
    for (int code = 0; code < FontSet::kCharacters; ++code) {
        const SourceLine& glyph = glyphs[static_cast<std::size_t>(code)];
        ASSERT_EQ(glyph.rows.size(), 7u) << "code " << code;
        for (int row = 0; row < FontSet::kRows; ++row)
            EXPECT_EQ(glyph.rows[static_cast<std::size_t>(row)],
                      image[kProgramImageHeaderSize + static_cast<std::size_t>(code * 7 + row)])
                << "code " << code << " row " << row;
        EXPECT_TRUE(glyph.comment.starts_with(std::to_string(code))) << glyph.comment;
        // A backslash at a line's end would join the next line to a C comment.
        EXPECT_FALSE(glyph.comment.ends_with('\\')) << "code " << code;
    }
    EXPECT_EQ(glyphs[65].comment, "65 A");
}

INSTANTIATE_TEST_SUITE_P(
    Formats, SourceExport,
    testing::Values(SourceCase{"my font.h", "const unsigned char my_font[256][7] = {", "    {",
                               "0x", "}, // ", 16},
                    SourceCase{"1font.inc", "\nfont_1font:\n", "    .db ", "%", " ; ", 2},
                    SourceCase{"ti.z80", "\nti:\n", "    .db ", "%", " ; ", 2}));

struct HeaderCase {
    const char* name;
    const char* file;
    std::vector<std::string> options;
    std::string array;
    const char* compiler;
};

class CHeader : public testing::TestWithParam<HeaderCase> {};

// Two files of one program include the header beside the C library's; the one that asks
// for it holds the array, and the program returns a row byte read through the other.
TEST_P(CHeader, ServesAProgramOfSeveralFiles) {
    const HeaderCase& c = GetParam();
    TempDir dir;
    WriteFontSetFile(dir / "edited.8xfont", editedSet());
    std::vector<std::string> arguments = {"export", q(dir / "edited.8xfont"), "-o",
                                          q(dir / c.file)};
    arguments.insert(arguments.end(), c.options.begin(), c.options.end());
    const test::ToolRun exported = runTool(arguments);
    ASSERT_EQ(exported.status, 0) << exported.err;
    std::string macro = c.array;
    for (char& letter : macro)
        letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    const std::string include = "#include <math.h>\n#include <stdio.h>\n#include <stdlib.h>\n"
                                "#include <string.h>\n#include \"" +
                                std::string(c.file) + "\"\n";
    test::writeFile(dir / "main.c", "#define " + macro + "_DEFINE\n" + include + include +
                                        "int row(void);\nint main(void) { return row(); }\n");
    test::writeFile(dir / "row.c", include + "int row(void) { return " + c.array + "[65][1]; }\n");
    const test::ProcessRun built =
        test::runProcess(c.compiler,
                         {"-Wall", "-Wextra", "-pedantic", "-Werror", "-o", q(dir / "program"),
                          q(dir / "main.c"), q(dir / "row.c")},
                         test::Stdout::Null, dir / "compiler.txt");
    ASSERT_EQ(built.status, 0) << built.err;
    const test::ProcessRun run =
        test::runProcess(dir / "program", {}, test::Stdout::Null, dir / "run.txt");
    EXPECT_EQ(run.status, BuildProgramImage(editedSet())[kProgramImageHeaderSize + 65 * 7 + 1]);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, CHeader,
    testing::Values(HeaderCase{"NamedAfterTheFile", "glyphs.h", {}, "glyphs", "/usr/bin/cc"},
                    HeaderCase{"KeywordFileName", "int.h", {}, "int_font", "/usr/bin/cc"},
                    HeaderCase{"LibraryFileName", "index.h", {}, "index_font", "/usr/bin/cc"},
                    HeaderCase{"BlanksInTheFileName", "my font.h", {}, "my_font", "/usr/bin/cc"},
                    HeaderCase{"GivenName", "f.h", {"--name", "tiFont"}, "tiFont", "/usr/bin/cc"},
                    HeaderCase{"CPlusPlus", "font.h", {}, "font", "/usr/bin/c++"}),
    [](const auto& row) { return std::string(row.param.name); });

// Unifont's own converter reads the export: the BDF it writes holds each glyph in the rows
// and columns that the .hex put it, read back through the import's font reader.
TEST(UnifontHex, Hex2bdfReadsTheExport) {
    const char* const hex2bdf = "/usr/bin/hex2bdf";
    if (!std::filesystem::exists(hex2bdf)) {
        GTEST_SKIP() << hex2bdf << " is missing; install unifont-bin";
    }
    TempDir dir;
    const FontSet edited = editedSet();
    WriteFontSetFile(dir / "edited.8xfont", edited);
    ASSERT_EQ(runTool({"export", q(dir / "edited.8xfont"), "-o", q(dir / "font.hex")}).status, 0);
    const test::Child converter{.program = hex2bdf,
                                .input = dir / "font.hex",
                                .out = {test::Stdout::File, dir / "font.bdf"}};
    ASSERT_EQ(test::run(converter).status, 0);
    BdfFont font(test::readFile(dir / "font.bdf"), dir / "font.bdf");
    int compared = 0;
    for (int code = 0; code < FontSet::kCharacters; ++code) {
        const std::optional<char32_t> point = CodePointOf(code);
        if (!point)
            continue;
        const std::optional<SourceGlyph> glyph = font.glyph(*point);
        ASSERT_TRUE(glyph) << "code " << code;
        Glyph cells;
        cells.fill(FontSet::kClear);
        for (int y = 0; y < glyph->height; ++y)
            for (int x = 0; x < glyph->width; ++x) {
                // Row 5 of the set sits on the baseline; the export leaves column 0 blank.
                const int row = 6 - glyph->top + y;
                const int column = glyph->left + x - 1;
                if (!glyph->at(x, y))
                    continue;
                ASSERT_TRUE(row >= 0 && row < 7 && column >= 0 && column < 5)
                    << "code " << code << ": ink outside the glyph's cell";
                cells[static_cast<std::size_t>(row * 5 + column)] = FontSet::kSet;
            }
        EXPECT_EQ(GlyphArt(cells), GlyphArt(edited.glyph(code))) << "code " << code;
        ++compared;
    }
    EXPECT_GT(compared, 200);
    // Imported, each glyph keeps the place the set gave it.
    const ImportResult back = ImportFont(dir / "font.bdf", edited);
    for (const int code : back.fromSource) {
        if (OwnsSymbol(code)) {
            EXPECT_EQ(GlyphArt(back.table.glyph(code)), GlyphArt(edited.glyph(code))) << code;
        }
    }
}

} // namespace
} // namespace korvalin
