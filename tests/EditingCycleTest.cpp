// The whole cycle through the editor's menu table: draw, save, start anew, load, compile,
// and the packer's program file read back by the TI file library.
#include "EditorFixture.h"
#include "ProgramImage.h"
#include "TiFile.h"

namespace korvalin {
namespace {

using test::readFile;

// The entry of the menu table that bears `name`.
const MenuEntry& item(std::string_view name) {
    for (const MenuEntry& entry : MenuTable())
        if (entry.objectName == name)
            return entry;
    throw std::logic_error("no menu entry " + std::string(name));
}

std::filesystem::file_time_type modified(const std::filesystem::path& path) {
    return std::filesystem::last_write_time(path);
}

using EditingCycle = test::EditorTest;

TEST_F(EditingCycle, DrawSaveLoadAndCompileIntoAProgramFile) {
    std::filesystem::copy_file(PRGFORGE_PATH, dir / "prgforge");
    const test::TempDir fonts;
    platform.runLaunches = true;

    // Draw on two glyphs.
    editor->Choose(item("mnuSwitchUppercaseLetters(65)"));
    for (const int cell : {0, 6, 12, 18, 24})
        editor->pixel_Click(cell);
    editor->cmdNextChar_Click();
    editor->pixel_Click(34);
    const FontSet drawn = state().fontSet();
    ASSERT_NE(drawn, test::testDefaultSet());

    // Save it, start a new set, and load it back.
    platform.fileChoices = {fonts / "Mine.8xfont"};
    editor->Choose(item("mnuFileSave"));
    platform.messageAnswers = {MsgBoxAnswer::No};
    editor->Choose(item("mnuNew"));
    ASSERT_EQ(state().fontSet(), test::testDefaultSet());
    platform.messageAnswers = {MsgBoxAnswer::No};
    platform.fileChoices = {fonts / "Mine.8xfont"};
    editor->Choose(item("mnuFileLoad"));
    EXPECT_EQ(state().fontSet(), drawn);
    editor->Choose(item("mnuSwitchUppercaseLetters(66)"));
    EXPECT_EQ(view.pixel[34], drawn.cell(66, 34) == 0 ? kBlack : kWhite);

    const auto defaultWritten = modified(dir / "default.8xfont");
    const auto savedWritten = modified(fonts / "Mine.8xfont");

    platform.inputReplies = {"Font1"};
    editor->Choose(item("mnuCompile"));
    platform.finishLaunches();
    EXPECT_TRUE(platform.notices.empty());

    const test::TiFile file = test::readWithTiFiles(dir / "Font1.8xp");
    ASSERT_TRUE(file.read);
    EXPECT_TRUE(file.checksumGood);
    EXPECT_EQ(file.entries, 1u);
    EXPECT_EQ(file.name, "FONT1");
    EXPECT_EQ(file.type, 0x06);
    const ProgramImage image = BuildProgramImage(drawn);
    EXPECT_EQ(file.data, std::string("\x0B\x07", 2) + std::string(image.begin(), image.end()));

    EXPECT_EQ(programFiles(),
              (std::vector<std::string>{"Font1.8xp", "default.8xfont", "prgforge", "temp.sh"}))
        << "Font1.bin is removed and nothing else is left";
    EXPECT_EQ(modified(dir / "default.8xfont"), defaultWritten);
    EXPECT_EQ(modified(fonts / "Mine.8xfont"), savedWritten);
    EXPECT_EQ(readFile(fonts / "Mine.8xfont"), FontSetText(drawn));
    EXPECT_TRUE(platform.allAnswersUsed());
}

} // namespace
} // namespace korvalin
