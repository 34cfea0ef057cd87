// The import's own choices over real fonts from Debian's packages: the most legible set by
// default, warnings that name the damaged glyphs, the preview, glyphs that keep the font's
// place, and sets taken in part.
#include "Charmap.h"
#include "FontImport.h"
#include "FontSetFile.h"
#include "FontToolSupport.h"
#include "Gzip.h"
#include "PcfFont.h"
#include "PngCodec.h"
#include "TempDir.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace korvalin {
namespace {

using test::q;
using test::TempDir;

constexpr std::string_view kLettersAndDigitsHere =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

// The letters and digits of `table` that read as nothing, judged here on their own: under
// 3 ink cells, or the cells of another letter or digit beyond 0 O, 1 l I, g q and v y.
std::set<int> unreadable(const FontSet& table) {
    const std::string_view pairs[] = {"0O", "1lI", "gq", "vy"};
    const auto alike = [&](char a, char b) {
        return std::ranges::any_of(pairs, [&](std::string_view group) {
            return group.find(a) != group.npos && group.find(b) != group.npos;
        });
    };
    std::set<int> codes;
    for (const char a : kLettersAndDigitsHere) {
        const auto glyph = table.glyph(static_cast<unsigned char>(a));
        if (std::ranges::count(glyph, FontSet::kSet) < 3)
            codes.insert(a);
        for (const char b : kLettersAndDigitsHere)
            if (a != b && !alike(a, b) && std::ranges::equal(glyph, table.glyph(b)))
                codes.insert(a);
    }
    return codes;
}

// Letters and digits that came whole from the font and read as themselves.
int legible(const ImportResult& result) {
    const std::set<int> damaged = unreadable(result.table);
    return static_cast<int>(std::ranges::count_if(kLettersAndDigitsHere, [&](char c) {
        return std::ranges::binary_search(result.fromSource, static_cast<int>(c)) &&
               !std::ranges::binary_search(result.lostInk, static_cast<int>(c)) &&
               !damaged.contains(c);
    }));
}

struct RealFont {
    const char* name;
    const char* file;
};

const RealFont kJudged[] = {
    {"DejaVuSans", "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"},
    {"TerminusTtf", "/usr/share/fonts/truetype/terminus/TerminusTTF-4.46.0.ttf"},
    {"NotoMono", "/usr/share/fonts/truetype/noto/NotoMono-Regular.ttf"},
    {"LiberationMono", "/usr/share/fonts/truetype/liberation2/LiberationMono-Regular.ttf"},
    {"MiscFixed6x10", "/usr/share/fonts/X11/misc/6x10.pcf.gz"},
    {"MiscFixed6x12", "/usr/share/fonts/X11/misc/6x12.pcf.gz"},
    {"DejaVuSansMono", DEJAVU_MONO},
    {"FreeMono", "/usr/share/fonts/truetype/freefont/FreeMono.ttf"},
};

class Judged : public testing::TestWithParam<RealFont> {};

// The default import of a renamed copy is at least as legible as any size from 5 to 9 px
// in any hinting on rows 4 to 6, or any baseline of a bitmap font.
TEST_P(Judged, DefaultIsTheMostLegible) {
    const RealFont& font = GetParam();
    if (!std::filesystem::exists(font.file))
        GTEST_SKIP() << font.file << " is missing; run scripts/install-deps.sh";
    TempDir dir;
    std::filesystem::copy_file(font.file, dir / "copy");
    const FontSet base = test::paperSet();
    const int chosen = legible(ImportFont(dir / "copy", base));
    const bool outline = !std::string_view(font.file).ends_with(".pcf.gz");
    for (int size = outline ? 5 : 0; size <= (outline ? 9 : 0); ++size) {
        for (const Hinting hinting : {Hinting::Font, Hinting::Auto, Hinting::None}) {
            for (int baseline = outline ? 4 : 0; baseline <= 6; ++baseline) {
                ImportOptions options;
                options.baseline = baseline;
                options.hinting = hinting;
                if (outline)
                    options.size = size;
                EXPECT_GE(chosen, legible(ImportFont(font.file, base, options)))
                    << "size " << size << " hinting " << HintingName(hinting) << " baseline "
                    << baseline;
            }
            if (!outline)
                break;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(RealFonts, Judged, testing::ValuesIn(kJudged),
                         [](const auto& row) { return std::string(row.param.name); });

// Each import from a real font among the manual page's examples gives a good set: at
// least 50 of the 62 letters and digits whole and readable.
TEST(ManualPage, ImportExamplesGiveLegibleSets) {
    std::ifstream page(MANUAL_PAGE);
    const std::string lead = ".B korvalin\\-font import /usr/share/";
    int examples = 0;
    for (std::string line; std::getline(page, line);) {
        if (!line.starts_with(lead))
            continue;
        std::vector<std::string> words;
        std::istringstream split(test::replaced(line.substr(3), '\\', ""));
        for (std::string word; split >> word;)
            words.push_back(word);
        const std::string file = words[2];
        if (!std::filesystem::exists(file))
            continue;
        TempDir dir;
        words[4] = q(dir / "set.8xfont");
        words.erase(words.begin());
        words.insert(words.end(), {"-b", DEFAULT_SET});
        const test::ToolRun run = test::runTool(words);
        ASSERT_EQ(run.status, 0) << line << "\n" << run.err;
        // The set as written, and the codes the summary says lost ink.
        ImportResult result;
        ReadFontSetFile(dir / "set.8xfont", result.table);
        for (int code = 0; code < FontSet::kCharacters; ++code)
            result.fromSource.push_back(code);
        const std::size_t lost = std::min(run.out.find("codes lost ink:"), run.out.size());
        std::istringstream codes(run.out.substr(lost, run.out.find('\n', lost) - lost));
        codes.ignore(15);
        for (int code = 0; codes >> code;)
            result.lostInk.push_back(code);
        EXPECT_GE(legible(result), 50) << line << "\n" << run.out;
        ++examples;
    }
    EXPECT_GE(examples, 3);
}

struct WarningCase {
    const char* name;
    const char* file;
    std::vector<std::string> options;
    bool warns;
    int status = 0;
};

class Warnings : public testing::TestWithParam<WarningCase> {};

// The warning names each letter and digit that reads as nothing, and only those; ink lost in
// rendering is no "no code lost ink"; --strict fails on a warning and writes nothing.
TEST_P(Warnings, NameTheDamagedGlyphs) {
    const WarningCase& c = GetParam();
    if (!std::filesystem::exists(c.file))
        GTEST_SKIP() << c.file << " is missing; run scripts/install-deps.sh";
    TempDir dir;
    std::vector<std::string> arguments{"import", c.file,     "-o", q(dir / "set.8xfont"),
                                       "-b",     DEFAULT_SET};
    arguments.insert(arguments.end(), c.options.begin(), c.options.end());
    const test::ToolRun run = test::runTool(arguments);
    EXPECT_EQ(run.status, c.status) << run.err;
    EXPECT_EQ(std::filesystem::exists(dir / "set.8xfont"), c.status == 0);
    EXPECT_EQ(run.out.find(": warning: ") != std::string::npos, c.warns) << run.out;
    if (c.status != 0)
        return;
    FontSet table;
    ReadFontSetFile(dir / "set.8xfont", table);
    const std::string lead = std::string(c.file) + ": warning: ";
    const std::size_t line = run.out.find(lead + std::to_string(unreadable(table).size()) +
                                          " letters and digits are blank or unreadable: ");
    EXPECT_EQ(line != std::string::npos, !unreadable(table).empty()) << run.out;
    const std::string named = run.out.substr(line == std::string::npos ? 0 : line);
    for (const int code : unreadable(table))
        EXPECT_NE(named.find(std::to_string(code) + " " + static_cast<char>(code)),
                  std::string::npos)
            << code << "\n"
            << run.out;
    EXPECT_EQ(run.out.find("no code lost ink") == std::string::npos, c.warns) << run.out;
}

const char* const kDejaVuSans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

INSTANTIATE_TEST_SUITE_P(
    Import, Warnings,
    testing::Values(WarningCase{"DejaVuSansAt5", kDejaVuSans, {"--size", "5"}, true},
                    WarningCase{"TrueTypeAt3", kDejaVuSans, {"--size", "3"}, true},
                    WarningCase{"MiscFixed5x7", MISC_5X7, {}, false},
                    WarningCase{"StrictFails", kDejaVuSans, {"--size", "5", "--strict"}, true, 1},
                    WarningCase{"StrictPasses", MISC_5X7, {"--strict"}, false}),
    [](const auto& row) { return std::string(row.param.name); });

// Whether `part` lies in `whole` with its top left at (x, y).
bool containsAt(const Pixels& whole, const Pixels& part, int x, int y) {
    for (int row = 0; row < part.height; ++row)
        for (int column = 0; column < part.width; ++column)
            if (whole.at(x + column, y + row) != part.at(column, row))
                return false;
    return true;
}

// The preview's first screen is the set that import makes, framed; screen and render take
// the font itself as import would.
TEST(Preview, ShowsTheImportsChoiceFirstAndFramed) {
    if (!std::filesystem::exists(kDejaVuSans))
        GTEST_SKIP() << kDejaVuSans << " is missing; install fonts-dejavu-core";
    TempDir dir;
    const auto tool = [&](const std::vector<std::string>& arguments) {
        const test::ToolRun run = test::runTool(arguments);
        EXPECT_EQ(run.status, 0) << run.err;
        return arguments[0] == "import" ? Pixels()
                                        : DecodePng(test::readFile(arguments[3]), arguments[3]);
    };
    (void)tool({"import", kDejaVuSans, "-o", q(dir / "set.8xfont"), "-b", DEFAULT_SET});
    (void)tool(
        {"import", kDejaVuSans, "-o", q(dir / "set8.8xfont"), "-b", DEFAULT_SET, "--size", "8"});
    const std::string text = "Hello, World!";
    const Pixels preview = tool({"preview", kDejaVuSans, "-o", q(dir / "preview.png"), "--text",
                                 text, "-s", "1", "-b", DEFAULT_SET});
    const Pixels screen = tool(
        {"screen", q(dir / "set.8xfont"), "-o", q(dir / "set.png"), "--text", text, "-s", "1"});
    EXPECT_EQ(tool({"screen", kDejaVuSans, "-o", q(dir / "font.png"), "--text", text, "-s", "1",
                    "-b", DEFAULT_SET})
                  .rgb,
              screen.rgb);
    EXPECT_EQ(
        tool({"render", kDejaVuSans, "-o", q(dir / "a.png"), "--size", "8", "-b", DEFAULT_SET}).rgb,
        tool({"render", q(dir / "set8.8xfont"), "-o", q(dir / "b.png")}).rgb);
    std::optional<std::pair<int, int>> found;
    for (int y = 0; y + screen.height <= preview.height && !found; ++y)
        for (int x = 0; x + screen.width <= preview.width && !found; ++x)
            if (containsAt(preview, screen, x, y))
                found = std::pair{x, y};
    ASSERT_TRUE(found) << "the chosen set's screen is not in the preview";
    const auto [x, y] = *found;
    EXPECT_NE(preview.at(x - 2, y - 2), preview.at(0, 0)) << "the chosen screen is framed";
    EXPECT_LT(y, screen.height) << "it comes first";
}

struct PlacedFont {
    const char* name;
    const char* file;
};

class FontsPlace : public testing::TestWithParam<PlacedFont> {};

// Every glyph that the cell holds whole sits where the font puts it against the others:
// one column offset for them all.
TEST_P(FontsPlace, IsKeptByGlyphsThatFit) {
    const PlacedFont& font = GetParam();
    if (!std::filesystem::exists(font.file))
        GTEST_SKIP() << font.file << " is missing; run scripts/install-deps.sh";
    const ImportResult result = ImportFont(font.file, test::paperSet());
    PcfFont source(UnpackFontBytes(test::readFile(font.file), kMaxFontFileSize, font.file),
                   font.file);
    std::map<int, std::string> offsets; // column offset -> the codes placed with it
    for (const int code : result.fromSource) {
        const std::optional<char32_t> point = CodePointOf(code);
        const auto glyph = point ? source.glyph(*point) : std::nullopt;
        if (!glyph || std::ranges::binary_search(result.lostInk, code))
            continue;
        int drawn = glyph->width;
        for (int y = 0; y < glyph->height; ++y)
            for (int x = 0; x < glyph->width; ++x)
                drawn = glyph->at(x, y) ? std::min(drawn, x) : drawn;
        int placed = FontSet::kColumns;
        for (int cell = 0; cell < FontSet::kCellsPerGlyph; ++cell)
            if (result.table.cell(code, cell) == FontSet::kSet)
                placed = std::min(placed, cell % FontSet::kColumns);
        if (drawn < glyph->width)
            offsets[placed - glyph->left - drawn] += " " + std::to_string(code);
    }
    EXPECT_EQ(offsets.size(), 1u) << [&] {
        std::string list;
        for (const auto& [offset, glyphs] : offsets)
            list += std::to_string(offset) + ": " + glyphs + "\n";
        return list;
    }();
}

INSTANTIATE_TEST_SUITE_P(
    RealFonts, FontsPlace,
    testing::Values(PlacedFont{"MiscFixed5x8", "/usr/share/fonts/X11/misc/5x8.pcf.gz"},
                    PlacedFont{"MiscFixed6x10", "/usr/share/fonts/X11/misc/6x10.pcf.gz"},
                    PlacedFont{"Terminus12", TERMINUS_12}),
    [](const auto& row) { return std::string(row.param.name); });

// A 96 x 128 grid of 6 x 8 tiles, `code`'s glyph drawn by `ink` (5 x 7 at the tile's top
// left, or with `stray` the tile's blank corner inked too).
std::string gridPng(int code, const Glyph& ink, bool stray) {
    Pixels grid(96, 128, 0xF0F0F0);
    for (int cell = 0; cell < FontSet::kCellsPerGlyph; ++cell)
        if (ink[static_cast<std::size_t>(cell)] == FontSet::kSet)
            grid.fill(code % 16 * 6 + cell % 5, code / 16 * 8 + cell / 5, 1, 1, 0x101010);
    if (stray)
        grid.fill(code % 16 * 6 + 5, code / 16 * 8 + 7, 1, 1, 0);
    return EncodePng(grid);
}

const Glyph kArrow = GlyphFromArt({"..#..", ".###.", "#.#.#", "..#..", "..#..", "..#..", "....."});

struct PartCase {
    const char* name;
    std::string source; // the file's bytes
    std::vector<std::string> options;
    std::vector<int> taken; // the codes that must come from the source, the others the base
    const char* refusal = nullptr;
};

class Parts : public testing::TestWithParam<PartCase> {};

// Art of a few glyphs, another set's codes and a bare glyph grid fill only what they hold;
// the other codes keep the base.
TEST_P(Parts, FillOnlyTheirCodes) {
    const PartCase& c = GetParam();
    TempDir dir;
    test::writeFile(dir / "source", c.source);
    std::vector<std::string> arguments{"import", q(dir / "source"), "-o", q(dir / "set.8xfont"),
                                       "-b",     DEFAULT_SET};
    arguments.insert(arguments.end(), c.options.begin(), c.options.end());
    const test::ToolRun run = test::runTool(arguments);
    if (c.refusal) {
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find(c.refusal), std::string::npos) << run.err;
        return;
    }
    ASSERT_EQ(run.status, 0) << run.err;
    FontSet base;
    FontSet table;
    ReadFontSetFile(DEFAULT_SET, base);
    ReadFontSetFile(dir / "set.8xfont", table);
    for (int code = 0; code < FontSet::kCharacters; ++code) {
        const bool taken = std::ranges::find(c.taken, code) != c.taken.end();
        const auto expected = taken ? kArrow : base.glyph(code);
        EXPECT_TRUE(std::ranges::equal(table.glyph(code), expected)) << "code " << code;
    }
    EXPECT_NE(run.out.find(std::to_string(c.taken.size()) + " codes from the font"),
              std::string::npos)
        << run.out;
}

std::string arrowArt(std::initializer_list<int> codes) {
    std::string art = "; a few glyphs\n";
    for (const int code : codes)
        art += "== " + std::to_string(code) + "\n" + GlyphArt(kArrow) + "\n";
    return art;
}

std::string arrowSet() {
    FontSet set = test::paperSet();
    for (int code = 0; code < FontSet::kCharacters; ++code)
        test::setGlyph(set, code, kArrow);
    return FontSetText(set);
}

INSTANTIATE_TEST_SUITE_P(
    Import, Parts,
    testing::Values(PartCase{"ArtOfSomeGlyphs", arrowArt({200, 65}), {}, {65, 200}},
                    PartCase{"ArtTakesCodes", arrowArt({65, 66}), {"--codes", "66"}, {66}},
                    PartCase{
                        "ArtDrawingACodeTwice", arrowArt({65, 65}), {}, {}, "drawn a second time"},
                    PartCase{"AnotherSetsCodes", arrowSet(), {"--codes", "65-67"}, {65, 66, 67}},
                    PartCase{"BareGlyphGrid", gridPng(97, kArrow, false), {"--codes", "97"}, {97}},
                    PartCase{"GridWithInkBetweenTiles", gridPng(97, kArrow, true), {}, {}, "97 a"}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace
} // namespace korvalin