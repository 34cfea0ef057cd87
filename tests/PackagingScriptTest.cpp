#include "PackagingScript.h"

#include "TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>

#ifndef _WIN32
#include "ToolProcess.h"

#include <csignal>
#include <string>
#include <vector>
#endif

namespace korvalin {
namespace {

using test::readFile;
using test::TempDir;
using test::writeFile;

TEST(PackagingScript, BatchRunsThePackerRemovesTheImageAndEndsWithThePackersStatus) {
    EXPECT_EQ(PackagingScriptFileName(ScriptKind::Batch), "temp.bat");
    EXPECT_EQ(PackagingScript("Font1", ScriptKind::Batch),
              "@echo off\r\nprgforge Font1\r\nset status=%errorlevel%\r\ndel Font1.bin\r\n"
              "exit /b %status%\r\n");
}

struct ScriptEnd {
    const char* name;
    ScriptKind kind;
    int status;
    const char* lastLine;
    const char* said;
};

class PackagingFailures : public testing::TestWithParam<ScriptEnd> {};

TEST_P(PackagingFailures, SayWhatThePackerDid) {
    const ScriptEnd& end = GetParam();
    EXPECT_EQ(PackagingFailure({end.status, end.lastLine}, end.kind), end.said);
}

INSTANTIATE_TEST_SUITE_P(
    Ends, PackagingFailures,
    testing::Values(ScriptEnd{"Made", ScriptKind::Batch, 0, "a word", ""},
                    ScriptEnd{"CmdFoundNoPacker", ScriptKind::Batch, 9009,
                              "operable program or batch file.",
                              "The packer prgforge could not be started: it is neither in the "
                              "program folder nor on the PATH."},
                    ScriptEnd{"ShellFoundNoPacker", ScriptKind::Posix, 127,
                              "sh: 4: ./prgforge: not found",
                              "The packer prgforge could not be started: sh: 4: ./prgforge: "
                              "not found"},
                    ScriptEnd{"ShellCannotRunIt", ScriptKind::Posix, 126, "",
                              "The packer prgforge could not be started."},
                    ScriptEnd{"StatusAlone", ScriptKind::Posix, 9009, "",
                              "The packaging script ended with status 9009."}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(PackagingScript, PosixRunsThePackerBesideTheScript) {
    EXPECT_EQ(PackagingScriptFileName(ScriptKind::Posix), "temp.sh");
    EXPECT_EQ(PackagingScript("ABCDEFGH", ScriptKind::Posix),
              "#!/bin/sh\n"
              "trap '' PIPE\n"
              "case $0 in */temp.sh) cd \"${0%/*}\" || exit 1 ;; esac\n"
              "./prgforge ABCDEFGH\n"
              "status=$?\n"
              "rm -f ABCDEFGH.bin\n"
              "exit $status\n");
}

#ifndef _WIN32
// A stand-in packer that leaves a mark of the folder it ran in.
void writeFakePacker(const std::filesystem::path& folder) {
    writeFile(folder / "prgforge", "#!/bin/sh\ncp \"$1.bin\" \"$1.8xp\"\n");
    std::filesystem::permissions(folder / "prgforge", std::filesystem::perms::owner_all);
}

// The shell's exit status, started in `folder` with `arguments`.
int runShell(const std::filesystem::path& folder, std::vector<std::string> arguments,
             const std::filesystem::path& input = "/dev/null") {
    return test::run({.program = "/bin/sh",
                      .arguments = std::move(arguments),
                      .input = input,
                      .out = {test::Stdout::Inherit},
                      .folder = folder})
        .status;
}

TEST(PackagingScript, PosixScriptActsInItsOwnFolderWhereverItIsStarted) {
    const TempDir program;
    const TempDir elsewhere;
    writeFakePacker(program.path());
    writeFile(program / "temp.sh", PackagingScript("FONT1", ScriptKind::Posix));
    writeFile(program / "FONT1.bin", "image");
    writeFile(elsewhere / "FONT1.bin", "a file of the user's");

    ASSERT_EQ(runShell(elsewhere.path(), {(program / "temp.sh").string()}), 0);
    EXPECT_EQ(readFile(program / "FONT1.8xp"), "image");
    EXPECT_FALSE(std::filesystem::exists(program / "FONT1.bin"));
    EXPECT_EQ(readFile(elsewhere / "FONT1.bin"), "a file of the user's");
    EXPECT_FALSE(std::filesystem::exists(elsewhere / "FONT1.8xp"));

    writeFile(program / "FONT1.bin", "again");
    ASSERT_EQ(runShell(program.path(), {"temp.sh"}), 0);
    EXPECT_EQ(readFile(program / "FONT1.8xp"), "again");
    EXPECT_FALSE(std::filesystem::exists(program / "FONT1.bin"));

    // As the editor runs it: read from standard input, where $0 names the shell.
    writeFile(program / "FONT1.bin", "fed");
    ASSERT_EQ(runShell(program.path(), {"-s"}, program / "temp.sh"), 0);
    EXPECT_EQ(readFile(program / "FONT1.8xp"), "fed");
    EXPECT_FALSE(std::filesystem::exists(program / "FONT1.bin"));
}

// The shell's exit status is a POSIX wait status.
TEST(PackagingScript, PosixScriptEndsWithThePackersStatusAfterRemovingTheImage) {
    const TempDir program;
    writeFile(program / "prgforge", "#!/bin/sh\nexit 3\n");
    std::filesystem::permissions(program / "prgforge", std::filesystem::perms::owner_all);
    writeFile(program / "temp.sh", PackagingScript("FONT1", ScriptKind::Posix));
    writeFile(program / "FONT1.bin", "image");

    EXPECT_EQ(runShell({}, {(program / "temp.sh").string()}), 3);
    EXPECT_FALSE(std::filesystem::exists(program / "FONT1.bin"));
}

// How the packer ends while nobody reads the script's errors any more: the editor that
// started it was closed or killed.
struct OrphanedRun {
    const char* name;
    const char* packer;
    int status; // of the shell
};

class PosixScriptWithoutAReader : public testing::TestWithParam<OrphanedRun> {};

TEST_P(PosixScriptWithoutAReader, StillRemovesTheImageAndEndsWithThePackersStatus) {
    const TempDir program;
    writeFile(program / "prgforge", std::string("#!/bin/sh\n") + GetParam().packer + "\n");
    std::filesystem::permissions(program / "prgforge", std::filesystem::perms::owner_all);
    writeFile(program / "temp.sh", PackagingScript("FONT1", ScriptKind::Posix));
    writeFile(program / "FONT1.bin", "image");

    // As the editor starts it, fed on standard input, its errors into a pipe whose reader
    // is already gone.
    const test::ProcessRun run = test::run({.program = "/bin/sh",
                                            .arguments = {"-s"},
                                            .input = program / "temp.sh",
                                            .out = {test::Stdout::Inherit},
                                            .err = {test::Stdout::BrokenPipe},
                                            .folder = program.path()});

    EXPECT_FALSE(std::filesystem::exists(program / "FONT1.bin"));
    ASSERT_EQ(run.signal, 0) << "the shell was killed by signal " << run.signal;
    EXPECT_EQ(run.status, GetParam().status);
}

INSTANTIATE_TEST_SUITE_P(
    Packer, PosixScriptWithoutAReader,
    testing::Values(OrphanedRun{"Killed", "kill -KILL $$", 128 + SIGKILL},
                    OrphanedRun{"Terminated", "kill -TERM $$", 128 + SIGTERM},
                    OrphanedRun{"FailingAloud", "echo 'prgforge: no' >&2; exit 3", 3}),
    [](const testing::TestParamInfo<OrphanedRun>& param) { return std::string(param.param.name); });
#endif

} // namespace
} // namespace korvalin
