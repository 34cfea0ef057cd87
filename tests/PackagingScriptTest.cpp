#include "PackagingScript.h"

#include "TempDir.h"

#include <filesystem>
#include <gtest/gtest.h>

#ifndef _WIN32
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;
#endif

namespace korvalin {
namespace {

using test::readFile;
using test::TempDir;
using test::writeFile;

TEST(PackagingScript, BatchIsThreeCrLfLines) {
    EXPECT_EQ(PackagingScriptFileName(ScriptKind::Batch), "temp.bat");
    EXPECT_EQ(PackagingScript("FONT1", ScriptKind::Batch),
              "@echo off\r\nprgforge FONT1\r\ndel FONT1.bin\r\n");
    EXPECT_EQ(PackagingScript("Font1", ScriptKind::Batch),
              "@echo off\r\nprgforge Font1\r\ndel Font1.bin\r\n");
}

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

// A stand-in packer that leaves a mark of the folder it ran in.
void writeFakePacker(const std::filesystem::path& folder) {
    writeFile(folder / "prgforge", "#!/bin/sh\ncp \"$1.bin\" \"$1.8xp\"\n");
    std::filesystem::permissions(folder / "prgforge", std::filesystem::perms::owner_all);
}

TEST(PackagingScript, PosixScriptActsInItsOwnFolderWhereverItIsStarted) {
    const TempDir program;
    const TempDir elsewhere;
    writeFakePacker(program.path());
    writeFile(program / "temp.sh", PackagingScript("FONT1", ScriptKind::Posix));
    writeFile(program / "FONT1.bin", "image");
    writeFile(elsewhere / "FONT1.bin", "a file of the user's");

    const std::string fromElsewhere = "cd '" + elsewhere.path().string() + "' && /bin/sh '" +
                                      (program / "temp.sh").string() + "'";
    ASSERT_EQ(std::system(fromElsewhere.c_str()), 0);
    EXPECT_EQ(readFile(program / "FONT1.8xp"), "image");
    EXPECT_FALSE(std::filesystem::exists(program / "FONT1.bin"));
    EXPECT_EQ(readFile(elsewhere / "FONT1.bin"), "a file of the user's");
    EXPECT_FALSE(std::filesystem::exists(elsewhere / "FONT1.8xp"));

    writeFile(program / "FONT1.bin", "again");
    const std::string fromItsFolder = "cd '" + program.path().string() + "' && /bin/sh temp.sh";
    ASSERT_EQ(std::system(fromItsFolder.c_str()), 0);
    EXPECT_EQ(readFile(program / "FONT1.8xp"), "again");
    EXPECT_FALSE(std::filesystem::exists(program / "FONT1.bin"));

    // As the editor runs it: read from standard input, where $0 names the shell.
    writeFile(program / "FONT1.bin", "fed");
    const std::string fedToTheShell =
        "cd '" + program.path().string() + "' && /bin/sh -s < temp.sh";
    ASSERT_EQ(std::system(fedToTheShell.c_str()), 0);
    EXPECT_EQ(readFile(program / "FONT1.8xp"), "fed");
    EXPECT_FALSE(std::filesystem::exists(program / "FONT1.bin"));
}

#ifndef _WIN32
// The shell's exit status is a POSIX wait status.
TEST(PackagingScript, PosixScriptEndsWithThePackersStatusAfterRemovingTheImage) {
    const TempDir program;
    writeFile(program / "prgforge", "#!/bin/sh\nexit 3\n");
    std::filesystem::permissions(program / "prgforge", std::filesystem::perms::owner_all);
    writeFile(program / "temp.sh", PackagingScript("FONT1", ScriptKind::Posix));
    writeFile(program / "FONT1.bin", "image");

    const std::string run = "/bin/sh '" + (program / "temp.sh").string() + "'";
    const int status = std::system(run.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 3);
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
    int errors[2];
    ASSERT_EQ(::pipe(errors), 0);
    ::close(errors[0]);
    const int script = ::open((program / "temp.sh").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(script, 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, script, STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, errors[1], STDERR_FILENO);
    posix_spawn_file_actions_addchdir_np(&actions, program.path().c_str());
    char shell[] = "/bin/sh";
    char fromInput[] = "-s";
    char* argv[] = {shell, fromInput, nullptr};
    pid_t pid = 0;
    const int spawned = ::posix_spawn(&pid, shell, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(script);
    ::close(errors[1]);
    ASSERT_EQ(spawned, 0);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);

    EXPECT_FALSE(std::filesystem::exists(program / "FONT1.bin"));
    ASSERT_TRUE(WIFEXITED(status)) << "the shell was killed by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), GetParam().status);
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
