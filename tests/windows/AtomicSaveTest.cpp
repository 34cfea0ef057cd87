#include "AtomicFile.h"
#include "FileError.h"
#include "Probe.h"

#include <gtest/gtest.h>

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

} // namespace
} // namespace korvalin
