#include "AtomicFile.h"
#include "FileError.h"
#include "Probe.h"
#include "SaveTemporaries.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <string>
#include <system_error>
#include <vector>

namespace korvalin {
namespace {

using test::readFile;
using test::writeFile;

std::size_t entriesIn(const std::filesystem::path& folder) {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder),
                                                  std::filesystem::directory_iterator()));
}

TEST(AtomicSave, ReplacesAFileBeyondAsciiAndKeepsItHidden) {
    const test::TempDir dir;
    const std::filesystem::path folder = dir.path() / test::kUnusualName;
    std::filesystem::create_directories(folder);
    const std::filesystem::path target = folder / L"Schrift \u00E4\u00F6\u00FC.8xfont";
    writeFile(target, "old");
    ASSERT_TRUE(SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_HIDDEN));

    WriteFileAtomically(target, "new", Durability::Flushed);
    EXPECT_EQ(readFile(target), "new");
    EXPECT_NE(GetFileAttributesW(target.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
    WriteFileAtomically(folder / L"\u65E5\u672C.bin", "image", Durability::Transient);
    EXPECT_EQ(readFile(folder / L"\u65E5\u672C.bin"), "image");
    EXPECT_EQ(entriesIn(folder), 2u) << "a temporary file was left behind";
}

TEST(AtomicSave, RefusesAFolderInThePlaceOfTheFile) {
    const test::TempDir dir;
    std::filesystem::create_directories(dir.path() / "set.8xfont");
    try {
        WriteFileAtomically(dir.path() / "set.8xfont", "new");
        FAIL() << "a folder was replaced";
    } catch (const FileError& error) {
        EXPECT_EQ(error.cause(), "is a folder");
    }
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "set.8xfont"));
    EXPECT_EQ(entriesIn(dir.path()), 1u);
}

// A process id that no process holds now: a program that has ended, its handle closed.
long endedProcess(const std::filesystem::path& folder) {
    auto process = Launch({test::copyProbe(folder), {}, folder, WindowStyle::Hidden});
    EXPECT_TRUE(test::waitFor(*process));
    const auto pid = static_cast<long>(GetProcessId(reinterpret_cast<HANDLE>(process->notifier())));
    process.reset();
    return pid;
}

TEST(AtomicSave, RemovesOnlyLeftoversOfEndedSavesOnThisHost) {
    const test::TempDir dir;
    const long ended = endedProcess(dir / "probe");
    const long running = static_cast<long>(GetCurrentProcessId());
    const std::string host = atomic_file::hostName();
    const std::vector<std::string> kept = {
        atomic_file::temporaryName("set.8xfont", host, running, 0),              // a save running
        atomic_file::temporaryName("set.8xfont", "elsewhere.example", ended, 0), // another host's
        atomic_file::temporaryName("other.8xfont", host, ended, 0),              // another file's
    };
    const std::string removed = atomic_file::temporaryName("set.8xfont", host, ended, 3);
    for (const std::string& name : kept)
        writeFile(dir / name, "partial");
    writeFile(dir / removed, "partial");

    WriteFileAtomically(dir / "set.8xfont", "new", Durability::Transient);
    EXPECT_FALSE(std::filesystem::exists(dir / removed));
    for (const std::string& name : kept)
        EXPECT_TRUE(std::filesystem::exists(dir / name)) << name;
}

// The folder is made by the test's setup, outside Wine, so that it takes no new entries.
TEST(AtomicSave, AWritableFileInAFolderThatTakesNoNewFilesNamesTheFolder) {
    const std::filesystem::path folder = SEALED_FOLDER;
    const std::filesystem::path target = folder / "set.8xfont";
    if (readFile(target) != "old" || CreateDirectoryW((folder / "new").c_str(), nullptr) ||
        GetLastError() == ERROR_ALREADY_EXISTS)
        GTEST_SKIP() << "this system lets the setup make no sealed folder";
    try {
        WriteFileAtomically(target, "new", Durability::Transient);
        FAIL() << "saved into a sealed folder";
    } catch (const FileError& error) {
        EXPECT_EQ(error.cause(), "cannot be saved: the folder \"" + folder.string() +
                                     "\" does not allow new files (" +
                                     std::generic_category().message(EACCES) + ")");
    }
    EXPECT_EQ(readFile(target), "old");
}

TEST(AtomicSave, ALookUpThatFailsSaysTheFileCannotBeWritten) {
    const test::TempDir dir;
    try {
        WriteFileAtomically(dir / "a<b.8xfont", "new", Durability::Transient);
        FAIL() << "saved under a name Windows does not take";
    } catch (const FileError& error) {
        EXPECT_EQ(error.cause().rfind("cannot be written: ", 0), 0u) << error.cause();
    }
    EXPECT_EQ(entriesIn(dir.path()), 0u);
}

} // namespace
} // namespace korvalin
