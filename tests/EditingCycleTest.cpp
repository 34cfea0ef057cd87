// The whole cycle through the real window: draw, save, start anew, load, compile, and the
// packer's program file read back by the TI file library.
#include "EditorFixture.h"
#include "ProgramImage.h"
#include "ScriptWatcher.h"
#include "TiFile.h"

#include <QSignalSpy>
#include <QTest>

namespace korvalin {
namespace {

using test::qpath;
using test::readFile;

std::filesystem::file_time_type modified(const std::filesystem::path& path) {
    return std::filesystem::last_write_time(path);
}

using EditingCycle = test::EditorTest;

TEST_F(EditingCycle, DrawSaveLoadAndCompileIntoAProgramFile) {
    std::filesystem::copy_file(PRGFORGE_PATH, dir / "prgforge");
    const test::TempDir fonts;
    platform.runLaunches = true;

    // Draw on two glyphs.
    action("mnuSwitchUppercaseLetters(65)")->trigger();
    for (const int cell : {0, 6, 12, 18, 24})
        click(view().pixel(cell));
    QTest::mouseClick(cmdNextChar(), Qt::LeftButton);
    click(view().pixel(34));
    const FontSet drawn = view().fontSet();
    ASSERT_NE(drawn, test::testDefaultSet());

    // Save it, start a new set, and load it back.
    platform.fileChoices = {qpath(fonts / "Mine.8xfont")};
    action("mnuFileSave")->trigger();
    platform.messageAnswers = {MsgBoxAnswer::No};
    action("mnuNew")->trigger();
    ASSERT_EQ(view().fontSet(), test::testDefaultSet());
    platform.messageAnswers = {MsgBoxAnswer::No};
    platform.fileChoices = {qpath(fonts / "Mine.8xfont")};
    action("mnuFileLoad")->trigger();
    EXPECT_EQ(view().fontSet(), drawn);
    action("mnuSwitchUppercaseLetters(66)")->trigger();
    EXPECT_EQ(view().pixel(34).BackColor(), drawn.cell(66, 34) == 0 ? kBlack : kWhite);

    const auto defaultWritten = modified(dir / "default.8xfont");
    const auto savedWritten = modified(fonts / "Mine.8xfont");

    platform.inputReplies = {"Font1"};
    action("mnuCompile")->trigger();
    auto* const watcher = form->findChild<ScriptWatcher*>();
    ASSERT_NE(watcher, nullptr);
    QSignalSpy ended(watcher, &ScriptWatcher::finished);
    ASSERT_TRUE(ended.wait(10'000));
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
