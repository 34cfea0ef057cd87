// The conventions of the command line: `-` for standard input and output, -V, and every
// message led by the program's name.
#include "FontSetFile.h"
#include "FontToolSupport.h"
#include "TempDir.h"

#include <cerrno>
#include <iostream>
#include <sstream>
#include <system_error>

namespace korvalin {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

enum class Input { None, Set, Font };

struct StreamCase {
    const char* name;
    Input input;
    std::vector<std::string> arguments; // "@" is the scratch folder, "%" the set
    std::vector<std::string> reference; // the same written to @/reference.*, or none
    std::string file;                   // what the reference writes
    int status;
    std::string shown; // what standard output holds, if no reference
};

std::vector<std::string> expanded(const std::vector<std::string>& words, const TempDir& dir) {
    std::vector<std::string> out;
    for (const std::string& word : words)
        out.push_back(test::replaced(test::replaced(word, '%', test::q(dir / "set.8xfont")), '@',
                                     test::q(dir.path())));
    return out;
}

class StandardStreams : public testing::TestWithParam<StreamCase> {};

TEST_P(StandardStreams, StandForTheFiles) {
    const StreamCase& c = GetParam();
    if (c.input == Input::Font && !fs::exists(MISC_5X7))
        GTEST_SKIP() << MISC_5X7 << " is missing (Debian's xfonts-base)";
    TempDir dir;
    fs::copy_file(DEFAULT_SET, dir / "set.8xfont");
    WriteFontSetFile(dir / "paper.8xfont", test::paperSet());
    std::istringstream input(c.input == Input::Set    ? test::readFile(DEFAULT_SET)
                             : c.input == Input::Font ? test::readFile(MISC_5X7)
                                                      : std::string());
    std::streambuf* const standardInput = std::cin.rdbuf(input.rdbuf());
    const test::ToolRun run = test::runTool(expanded(c.arguments, dir));
    std::cin.rdbuf(standardInput);
    ASSERT_EQ(run.status, c.status) << run.err;
    if (c.reference.empty()) {
        EXPECT_NE(run.out.find(c.shown), std::string::npos) << run.out;
        return;
    }
    const test::ToolRun reference = test::runTool(expanded(c.reference, dir));
    ASSERT_EQ(reference.status, 0) << reference.err;
    EXPECT_EQ(run.out, test::readFile(dir / c.file));
}

INSTANTIATE_TEST_SUITE_P(
    Tool, StandardStreams,
    testing::Values(StreamCase{"CheckReadsStandardInput",
                               Input::Set,
                               {"check", "-"},
                               {},
                               "",
                               0,
                               "standard input: ok\n"},
                    StreamCase{"ShowReadsStandardInput",
                               Input::Set,
                               {"show", "-", "A"},
                               {},
                               "",
                               0,
                               "65 A\n.###.  0E\n"},
                    StreamCase{"DiffReadsStandardInput",
                               Input::Set,
                               {"diff", "-", "@/paper.8xfont"},
                               {},
                               "",
                               1,
                               "65 A\n.###.  .....\n"},
                    StreamCase{"ImportFromStandardInputToStandardOutput",
                               Input::Font,
                               {"import", "-", "-o", "-", "-b", "%"},
                               {"import", MISC_5X7, "-o", "@/reference.8xfont", "-b", "%"},
                               "reference.8xfont",
                               0,
                               ""},
                    StreamCase{"RenderToStandardOutput",
                               Input::None,
                               {"render", "%", "-o", "-"},
                               {"render", "%", "-o", "@/reference.png"},
                               "reference.png",
                               0,
                               ""},
                    StreamCase{"ScreenToStandardOutput",
                               Input::None,
                               {"screen", "%", "-t", "A1", "-o", "-"},
                               {"screen", "%", "-t", "A1", "-o", "@/reference.png"},
                               "reference.png",
                               0,
                               ""},
                    StreamCase{"ExportToStandardOutputByItsFormat",
                               Input::None,
                               {"export", "%", "-o", "-", "--format", "psf"},
                               {"export", "%", "-o", "@/reference.psf"},
                               "reference.psf",
                               0,
                               ""},
                    StreamCase{"CompileFromStandardInputToStandardOutput",
                               Input::Set,
                               {"compile", "-", "FONT1", "-o", "-"},
                               {"compile", "%", "FONT1", "-o", "@"},
                               "FONT1.8xp",
                               0,
                               ""}),
    [](const auto& row) { return std::string(row.param.name); });

struct MessageCase {
    const char* name;
    std::vector<std::string> arguments; // "@" is the scratch folder, "%" the set
    int status;
    std::string out; // what standard output starts with
    std::string err; // all of standard error, "~" for the missing file's name
};

class Messages : public testing::TestWithParam<MessageCase> {};

TEST_P(Messages, FollowTheConventions) {
    TempDir dir;
    fs::copy_file(DEFAULT_SET, dir / "set.8xfont");
    const test::ToolRun run = test::runTool(expanded(GetParam().arguments, dir));
    EXPECT_EQ(run.status, GetParam().status) << run.err;
    EXPECT_TRUE(run.out.starts_with(GetParam().out)) << run.out;
    const std::string missing = test::q(dir.path()) + "/missing.8xfont" +
                                ": cannot be opened: " + std::generic_category().message(ENOENT);
    EXPECT_EQ(run.err, test::replaced(GetParam().err, '~', missing)) << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    Tool, Messages,
    testing::Values(
        MessageCase{"ShortVersionIsCapitalV", {"-V"}, 0, "korvalin-font ", ""},
        MessageCase{"LowerCaseVIsNoOption",
                    {"-v"},
                    2,
                    "",
                    "korvalin-font: \"-v\" is not a command\n"
                    "Run \"korvalin-font --help\" for the usage.\n"},
        MessageCase{
            "CheckNamesTheProgram", {"check", "@/missing.8xfont"}, 1, "", "korvalin-font: ~\n"},
        MessageCase{
            "ShowNamesTheProgram", {"show", "@/missing.8xfont", "A"}, 1, "", "korvalin-font: ~\n"},
        MessageCase{
            "DiffNamesTheProgram", {"diff", "%", "@/missing.8xfont"}, 2, "", "korvalin-font: ~\n"},
        MessageCase{"DiffReadsStandardInputOnce",
                    {"diff", "-", "-"},
                    2,
                    "",
                    "korvalin-font: \"-\" and \"-\" both read standard input, which gives its "
                    "bytes once; give a file for one of them\n"
                    "Run \"korvalin-font diff --help\" for the usage.\n"},
        MessageCase{"ImportReadsStandardInputOnce",
                    {"import", "-", "--base", "/dev/stdin", "-o", "@/x.8xfont"},
                    2,
                    "",
                    "korvalin-font: \"-\" and \"/dev/stdin\" both read standard input, which "
                    "gives its bytes once; give a file for one of them\n"
                    "Run \"korvalin-font import --help\" for the usage.\n"},
        MessageCase{"ParserMessagesInLowerCase",
                    {"check", "--loud", "%"},
                    2,
                    "",
                    "korvalin-font: the following argument was not expected: --loud\n"
                    "Run \"korvalin-font check --help\" for the usage.\n"}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace
} // namespace korvalin

#ifndef _WIN32
#include "ToolProcess.h"

namespace korvalin {
namespace {

namespace fs = std::filesystem;

// Standard input that is the very file to write: refused, the file as it was.
struct GuardCase {
    const char* name;
    std::vector<std::string> arguments;
    const char* input; // in the scratch folder
};

class StandardInputOntoOutput : public testing::TestWithParam<GuardCase> {};

TEST_P(StandardInputOntoOutput, IsRefused) {
    TempDir dir;
    fs::copy_file(DEFAULT_SET, dir / GetParam().input);
    const std::string before = test::readFile(dir / GetParam().input);
    const test::ProcessRun run =
        test::runProcess(KORVALIN_FONT_PATH, expanded(GetParam().arguments, dir),
                         test::Stdout::Null, dir / "err.txt", dir / GetParam().input);
    EXPECT_EQ(run.status, 2) << run.err;
    EXPECT_NE(run.err.find(": is the file "), std::string::npos) << run.err;
    EXPECT_EQ(test::readFile(dir / GetParam().input), before);
}

// Standard input that cannot be read (a folder) is a read error, not an empty file.
class UnreadableStandardInput : public testing::TestWithParam<GuardCase> {};

TEST_P(UnreadableStandardInput, IsAReadError) {
    TempDir dir;
    fs::copy_file(DEFAULT_SET, dir / "set.8xfont");
    const test::ProcessRun run =
        test::runProcess(KORVALIN_FONT_PATH, expanded(GetParam().arguments, dir),
                         test::Stdout::Null, dir / "err.txt", dir.path());
    EXPECT_EQ(run.status, GetParam().arguments.front() == "diff" ? 2 : 1) << run.err;
    EXPECT_EQ(run.err, "korvalin-font: standard input: could not be read: " +
                           std::generic_category().message(EISDIR) + "\n");
    EXPECT_FALSE(fs::exists(dir / GetParam().input));
}

INSTANTIATE_TEST_SUITE_P(
    Tool, UnreadableStandardInput,
    testing::Values(
        GuardCase{"Check", {"check", "-"}, "none"}, GuardCase{"Diff", {"diff", "-", "%"}, "none"},
        GuardCase{"ImportSource", {"import", "-", "-b", "%", "-o", "@/x"}, "x"},
        GuardCase{"ImportBase", {"import", "%", "-b", "-", "-o", "@/x"}, "x"},
        GuardCase{"ScreenText", {"screen", "%", "--text-file", "-", "-o", "@/s.png"}, "s.png"}),
    [](const auto& row) { return std::string(row.param.name); });

// An output named by its descriptor is written there as `-o -` writes standard output:
// after `>>` the earlier lines stay.
struct DescriptorCase {
    const char* name;
    std::vector<std::string> arguments; // "OUT" is the output's name
    std::string output;
    bool toStandardError;
};

class OutputToADescriptor : public testing::TestWithParam<DescriptorCase> {};

TEST_P(OutputToADescriptor, WritesThroughIt) {
    const DescriptorCase& c = GetParam();
    TempDir dir;
    fs::copy_file(DEFAULT_SET, dir / "set.8xfont");
    test::writeFile(dir / "log", "an earlier line\n");
    std::vector<std::string> arguments = expanded(c.arguments, dir);
    std::vector<std::string> reference = arguments;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == "OUT") {
            arguments[i] = c.output;
            reference[i] = "-";
        }
    }
    const test::ProcessRun run = test::run({.program = KORVALIN_FONT_PATH,
                                            .arguments = arguments,
                                            .out = {test::Stdout::Appended, dir / "log"},
                                            .err = {test::Stdout::File, dir / "err.txt"}});
    ASSERT_EQ(run.status, 0) << run.err;
    const test::ToolRun expected = test::runTool(reference);
    ASSERT_EQ(expected.status, 0) << expected.err;
    ASSERT_FALSE(expected.out.empty());
    EXPECT_EQ(c.toStandardError ? run.err : test::readFile(dir / "log"),
              c.toStandardError ? expected.out : "an earlier line\n" + expected.out);
    EXPECT_EQ(c.toStandardError ? test::readFile(dir / "log") : run.err,
              c.toStandardError ? "an earlier line\n" : expected.err);
}

INSTANTIATE_TEST_SUITE_P(
    Tool, OutputToADescriptor,
    testing::Values(
        DescriptorCase{"RenderToDevStdout", {"render", "%", "-o", "OUT"}, "/dev/stdout", false},
        DescriptorCase{"RenderToDevFd1", {"render", "%", "-o", "OUT"}, "/dev/fd/1", false},
        DescriptorCase{
            "RenderToProcSelfFd1", {"render", "%", "-o", "OUT"}, "/proc/self/fd/1", false},
        DescriptorCase{"RenderToDevStderr", {"render", "%", "-o", "OUT"}, "/dev/stderr", true},
        DescriptorCase{"ExportToDevStdout",
                       {"export", "%", "-o", "OUT", "--format", "bdf"},
                       "/dev/stdout",
                       false},
        DescriptorCase{
            "CompileToDevStdout", {"compile", "%", "FONT1", "-o", "OUT"}, "/dev/stdout", false},
        DescriptorCase{"ImportToDevStdout",
                       {"import", TEST_DATA_DIR "/default-font.txt", "-b", "%", "-o", "OUT"},
                       "/dev/stdout",
                       false}),
    [](const auto& row) { return std::string(row.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Tool, StandardInputOntoOutput,
    testing::Values(GuardCase{"Render", {"render", "-", "-o", "@/set.png"}, "set.png"},
                    GuardCase{"Compile", {"compile", "-", "Same", "-o", "@"}, "Same.8xp"}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace
} // namespace korvalin
#endif
