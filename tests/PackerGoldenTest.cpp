#include "FontSetFile.h"
#include "Packer.h"
#include "ProgramImage.h"
#include "TempDir.h"

#include <gtest/gtest.h>
#include <sstream>
#include <string_view>
#include <vector>

namespace korvalin {
namespace {

using test::readFile;
using test::TempDir;

// The packer's file for the default font is kept in the source tree; the Windows build's
// prgforge.exe is held to the very same bytes.
TEST(PackerGolden, DefaultFontPacksToTheKeptFile) {
    const TempDir dir;
    FontSet table;
    ReadFontSetFile(std::filesystem::path(TEST_DATA_DIR) / "default.8xfont", table);
    WriteProgramImage(dir / "FONT1.bin", table);

    std::ostringstream output;
    std::ostringstream errors;
    const std::vector<std::string_view> arguments{"prgforge", "FONT1"};
    ASSERT_EQ(RunPacker(arguments, dir.path(), output, errors), 0) << errors.str();
    const std::string golden = readFile(std::filesystem::path(GOLDEN_DIR) / "FONT1.8xp");
    ASSERT_FALSE(golden.empty()) << "the kept file is missing";
    EXPECT_EQ(readFile(dir / "FONT1.8xp"), golden);
}

} // namespace
} // namespace korvalin
