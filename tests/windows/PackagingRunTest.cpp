#include "FontSetFile.h"
#include "PackagingScript.h"
#include "Probe.h"
#include "ProgramImage.h"

#include <gtest/gtest.h>

namespace korvalin {
namespace {

using test::readFile;
using test::writeFile;

// The editor's Compile as far as the system goes: the image and temp.bat in the program
// folder, the script started through cmd.exe, the real packer doing its work.
TEST(PackagingRun, TempBatPacksTheImageInItsFolderAndRemovesIt) {
    const test::TempDir dir;
    const std::filesystem::path folder = dir.path() / test::kUnusualName;
    const std::filesystem::path elsewhere = dir / "elsewhere";
    std::filesystem::create_directories(folder);
    std::filesystem::create_directories(elsewhere);
    std::filesystem::copy_file(PRGFORGE_PATH, folder / "prgforge.exe");
    FontSet table;
    ReadFontSetFile(std::filesystem::path(TEST_DATA_DIR) / "default.8xfont", table);
    WriteProgramImage(folder / "FONT1.bin", table);
    writeFile(folder / "temp.bat", PackagingScript("FONT1", ScriptKind::Batch));
    writeFile(elsewhere / "FONT1.bin", "a file of the user's");

    const auto process = Launch({folder / "temp.bat", {}, folder, WindowStyle::ShowNoActivate});
    const auto outcome = test::waitFor(*process);
    ASSERT_TRUE(outcome);
    EXPECT_TRUE(outcome->succeeded()) << outcome->exitStatus;

    const std::string golden = readFile(std::filesystem::path(GOLDEN_DIR) / "FONT1.8xp");
    ASSERT_FALSE(golden.empty()) << "the kept file is missing";
    EXPECT_EQ(readFile(folder / "FONT1.8xp"), golden);
    EXPECT_FALSE(std::filesystem::exists(folder / "FONT1.bin"));
    EXPECT_EQ(readFile(elsewhere / "FONT1.bin"), "a file of the user's");
    EXPECT_FALSE(std::filesystem::exists(elsewhere / "FONT1.8xp"));
}

} // namespace
} // namespace korvalin
