// What the tool prints: every byte of it reaches standard output or the run fails, and no
// name in it can move the terminal's cursor or forge a line.
#include "Bdf.h"
#include "FontSetFile.h"
#include "FontToolSupport.h"
#include "TempDir.h"
#include "ToolProcess.h"

#include <system_error>

namespace korvalin {
namespace {

using test::q;
using test::Stdout;
using test::TempDir;

namespace fs = std::filesystem;

struct OutputCase {
    const char* name;
    std::vector<std::string> arguments; // "@" stands for the scratch folder
    Stdout out;
    int status; // -1: killed by SIGPIPE
    int cause;  // the errno the write error names, or 0 for no message
};

class StandardOutput : public testing::TestWithParam<OutputCase> {};

TEST_P(StandardOutput, ThatCannotBeWrittenIsAFailure) {
    TempDir dir;
    fs::copy_file(DEFAULT_SET, dir / "set.8xfont");
    // Every glyph differs from the default set's, so diff writes far beyond one buffer.
    WriteFontSetFile(dir / "paper.8xfont", test::paperSet());
    FontSet table;
    ReadFontSetFile(DEFAULT_SET, table);
    test::writeFile(dir / "font.bdf", WriteBdf(table));
    std::vector<std::string> arguments = GetParam().arguments;
    for (std::string& word : arguments)
        if (word.starts_with('@'))
            word = dir.path().string() + word.substr(1);
    const test::ProcessRun run =
        test::runProcess(KORVALIN_FONT_PATH, arguments, GetParam().out, dir / "err.txt");
    if (GetParam().status < 0) {
        EXPECT_EQ(run.signal, SIGPIPE) << run.status << " " << run.err;
        return;
    }
    EXPECT_EQ(run.signal, 0);
    EXPECT_EQ(run.status, GetParam().status) << run.err;
    EXPECT_EQ(run.err, GetParam().cause == 0
                           ? std::string()
                           : "korvalin-font: write error: " +
                                 std::generic_category().message(GetParam().cause) + "\n");
}

std::vector<OutputCase> outputCases() {
    const std::pair<const char*, std::vector<std::string>> writers[] = {
        {"Help", {"--help"}},
        {"CommandHelp", {"import", "--help"}},
        {"Show", {"show", "@/set.8xfont", "A", "65"}},
        {"Check", {"check", "@/set.8xfont"}},
        {"Diff", {"diff", "@/set.8xfont", "@/paper.8xfont"}},
        {"ImportSummary", {"import", "@/font.bdf", "-b", "@/set.8xfont", "-o", "@/new.8xfont"}},
    };
    std::vector<OutputCase> cases;
    for (const auto& [name, arguments] : writers) {
        // diff's 1 says the sets differ; trouble is 2.
        const int failure = arguments.front() == "diff" ? 2 : 1;
        cases.push_back({name, arguments, Stdout::Full, failure, ENOSPC});
        cases.push_back({name, arguments, Stdout::Closed, failure, EBADF});
    }
    cases.push_back({"Help", {"--help"}, Stdout::BrokenPipe, -1, 0});
    cases.push_back(
        {"Diff", {"diff", "@/set.8xfont", "@/paper.8xfont"}, Stdout::BrokenPipe, -1, 0});
    // Nothing was to be written, so nothing was lost.
    cases.push_back({"Render", {"render", "@/set.8xfont", "-o", "@/s.png"}, Stdout::Closed, 0, 0});
    return cases;
}

std::string outputCaseName(const testing::TestParamInfo<OutputCase>& row) {
    const char* const where[] = {"ToNull", "ToAFullDevice", "ToAClosedStdout", "IntoABrokenPipe"};
    return std::string(row.param.name) + where[static_cast<int>(row.param.out)];
}

INSTANTIATE_TEST_SUITE_P(Tool, StandardOutput, testing::ValuesIn(outputCases()), outputCaseName);

// Names that would colour the terminal red and start a line of their own, with C0
// controls and with their C1 twins (CSI and NEL), each beside what the tool prints.
const std::pair<std::string, std::string> kOddStems[] = {
    {"e\x1B[31m\nx", "e\\x1B[31m\\x0Ax"},
    {"e\xC2\x9B"
     "31m\xC2\x85x",
     "e\\xC2\\x9B31m\\xC2\\x85x"},
};

enum class Stream { Out, Err, Both };

struct NameCase {
    const char* name;
    std::vector<std::string> arguments; // "@" is the scratch folder, "~" the odd name's stem
    Stream where;
};

class NamesInOutput : public testing::TestWithParam<NameCase> {};

TEST_P(NamesInOutput, ShowTheirControlCharactersEscaped) {
    for (const auto& [stem, escaped] : kOddStems) {
        TempDir dir;
        FontSet odd = test::paperSet();
        odd.setCell('A', 3, 128);
        WriteFontSetFile(dir / (stem + ".8xfont"), odd);
        test::writeFile(dir / (stem + ".bdf"), WriteBdf(odd));
        std::vector<std::string> arguments;
        for (std::string word : GetParam().arguments) {
            for (std::size_t at = word.find('~'); at != std::string::npos; at = word.find('~', at))
                word.replace(at, 1, stem);
            if (word.starts_with('@'))
                word = dir.path().string() + word.substr(1);
            arguments.push_back(word);
        }
        const test::ToolRun run = test::runTool(arguments);
        for (const std::string& shown : {run.out, run.err}) {
            EXPECT_EQ(shown.find('\x1B'), std::string::npos) << shown;
            EXPECT_EQ(shown.find("\xC2\x9B"), std::string::npos) << shown;
        }
        if (GetParam().where != Stream::Err) {
            EXPECT_NE(run.out.find(escaped), std::string::npos) << run.out;
        }
        if (GetParam().where != Stream::Out) {
            EXPECT_NE(run.err.find(escaped), std::string::npos) << run.err;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Tool, NamesInOutput,
    testing::Values(
        NameCase{"Check", {"check", "@/~.8xfont"}, Stream::Out},
        NameCase{"CheckStrict", {"check", "--strict", "@/~.8xfont"}, Stream::Both},
        NameCase{"CheckMissing", {"check", "@/~missing.8xfont"}, Stream::Err},
        NameCase{"ImportSummary",
                 {"import", "@/~.bdf", "-b", "@/~.8xfont", "-o", "@/x.8xfont"},
                 Stream::Out},
        NameCase{"ImportIntoAMissingFolder",
                 {"import", "@/~.bdf", "-b", "@/~.8xfont", "-o", "@/~/x.8xfont"},
                 Stream::Err},
        NameCase{"Show", {"show", "@/~missing.8xfont", "A"}, Stream::Err},
        NameCase{"Diff", {"diff", "@/~.8xfont", "@/~missing.8xfont"}, Stream::Err},
        NameCase{"Compile", {"compile", "@/~missing.8xfont", "P", "-o", "@"}, Stream::Err},
        NameCase{
            "CompileIntoAMissingFolder", {"compile", "@/~.8xfont", "P", "-o", "@/~"}, Stream::Err},
        NameCase{"Render", {"render", "@/~missing.8xfont", "-o", "@/s.png"}, Stream::Err},
        NameCase{"RenderOntoItsInput", {"render", "@/~.8xfont", "-o", "@/~.8xfont"}, Stream::Err},
        NameCase{
            "Screen", {"screen", "@/~missing.8xfont", "-t", "A", "-o", "@/s.png"}, Stream::Err},
        NameCase{"ExportBadExtension", {"export", "@/~.8xfont", "-o", "@/~.ttf"}, Stream::Err},
        NameCase{"Export", {"export", "@/~missing.8xfont", "-o", "@/f.bdf"}, Stream::Err}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace
} // namespace korvalin
