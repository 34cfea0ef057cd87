#include "FontSetFile.h"
#include "PackagingLaunch.h"
#include "PackagingScript.h"
#include "Probe.h"
#include "ProgramFolder.h"
#include "ProgramImage.h"

#include <gtest/gtest.h>

namespace korvalin {
namespace {

using test::readFile;
using test::writeFile;

struct ProgramFolder {
    std::filesystem::path name;
    const char* refusal; // what the launch says instead of starting; nullptr: it starts
};

class PackagingRun : public testing::TestWithParam<ProgramFolder> {};

// The editor's Compile as far as the system goes: the image and temp.bat in the program
// folder, the script started the editor's way through cmd.exe, the real packer doing its
// work. cmd.exe takes & ^ ( ) in a path as its own unless the launch quotes them.
TEST_P(PackagingRun, TempBatPacksTheImageInItsFolderAndRemovesIt) {
    const test::TempDir dir;
    const std::filesystem::path folder = dir.path() / GetParam().name;
    const std::filesystem::path elsewhere = dir / "elsewhere";
    std::filesystem::create_directories(folder);
    std::filesystem::create_directories(elsewhere);
    std::filesystem::copy_file(PRGFORGE_PATH, folder / "prgforge.exe");
    FontSet table;
    ReadFontSetFile(std::filesystem::path(TEST_DATA_DIR) / "default.8xfont", table);
    WriteProgramImage(folder / "FONT1.bin", table);
    writeFile(elsewhere / "FONT1.bin", "a file of the user's");

    // As the editor passes it, with a separator at its end.
    const PackagingLaunch launch(folder / "temp.bat", PackagingScript("FONT1", ScriptKind::Batch),
                                 AppDirOf(folder));
    EXPECT_EQ(readFile(folder / "temp.bat"), PackagingScript("FONT1", ScriptKind::Batch));
    if (GetParam().refusal != nullptr) {
        try {
            (void)Launch(launch.request());
            ADD_FAILURE() << "started";
        } catch (const LaunchError& error) {
            EXPECT_NE(std::string(error.what()).find(GetParam().refusal), std::string::npos)
                << error.what();
        }
        return;
    }
    const auto process = Launch(launch.request());
    const auto outcome = test::waitFor(*process);
    ASSERT_TRUE(outcome);
    EXPECT_TRUE(outcome->succeeded()) << outcome->exitStatus << ": " << outcome->lastErrorLine;

    const std::string golden = readFile(std::filesystem::path(GOLDEN_DIR) / "FONT1.8xp");
    ASSERT_FALSE(golden.empty()) << "the kept file is missing";
    EXPECT_EQ(readFile(folder / "FONT1.8xp"), golden);
    EXPECT_FALSE(std::filesystem::exists(folder / "FONT1.bin"));
    EXPECT_EQ(readFile(elsewhere / "FONT1.bin"), "a file of the user's");
    EXPECT_FALSE(std::filesystem::exists(elsewhere / "FONT1.8xp"));
}

// cmd.exe would take %OS% in its command line for a variable; no program runs in a folder
// beyond MAX_PATH.
INSTANTIATE_TEST_SUITE_P(
    Folders, PackagingRun,
    testing::Values(ProgramFolder{test::kUnusualName, nullptr},
                    ProgramFolder{L"Fonts & Games ^ (1)", nullptr},
                    ProgramFolder{L"a%OS%b", nullptr}, ProgramFolder{L"%SystemRoot% !x!", nullptr},
                    ProgramFolder{std::filesystem::path(std::wstring(130, L'l')) /
                                      std::wstring(130, L'm'),
                                  "the path is too long for a program to run in"}));

} // namespace
} // namespace korvalin
