#include "EditorFixture.h"
#include "PackagingScript.h"
#include "ProgramImage.h"
#include "TiFile.h"

#include <QTest>

namespace korvalin {
namespace {

using test::qpath;
using test::readFile;

class Compile : public test::EditorTest {
protected:
    void compile(const QString& reply) {
        platform.inputReplies = {reply};
        form->mnuCompile_Click();
    }

    [[nodiscard]] std::string imageOfTheSet() const {
        const ProgramImage image = BuildProgramImage(view().fontSet());
        return {image.begin(), image.end()};
    }
};

TEST_F(Compile, WritesTheImageAndScriptAndStartsItInTheProgramFolder) {
    form->selectCharacter(65);
    form->pixel_Click(0); // an unsaved edit goes into the image
    const FontSet edited = view().fontSet();
    compile("Font1");

    ASSERT_EQ(platform.inputBoxes.size(), 1u);
    EXPECT_EQ(platform.inputBoxes[0].first, "Enter the name of the file (maximum 8 characters):");
    EXPECT_EQ(platform.inputBoxes[0].second, "") << "the box bears the application's title";
    EXPECT_EQ(programFiles(), (std::vector<std::string>{"Font1.bin", "default.8xfont", "temp.sh"}));
    EXPECT_EQ(readFile(dir / "Font1.bin"), imageOfTheSet());
    EXPECT_EQ(readFile(dir / "temp.sh"), PackagingScript("Font1", ScriptKind::Posix));

    ASSERT_EQ(platform.launches.size(), 1u);
    const auto& launch = platform.launches[0];
    EXPECT_EQ(launch.program, "/bin/sh");
    EXPECT_EQ(launch.arguments, QStringList{qpath(dir / "temp.sh")});
    EXPECT_EQ(launch.workingDirectory, qpath(dir.path()) + '/');
    EXPECT_EQ(launch.windowStyle, 4);
    EXPECT_TRUE(platform.messages.empty()) << "success is not reported";

    EXPECT_EQ(view().fontSet(), edited);
    EXPECT_EQ(view().currentChar(), 65);
    EXPECT_FALSE(view().haveFileName());
    EXPECT_TRUE(view().currentFileName().isEmpty());
}

TEST_F(Compile, CutsTheNameToEightCharactersAndReplacesAnEarlierScript) {
    compile("ABCDEFGHIJ");
    EXPECT_EQ(readFile(dir / "temp.sh"), PackagingScript("ABCDEFGH", ScriptKind::Posix));
    compile("AB");
    EXPECT_EQ(readFile(dir / "temp.sh"), PackagingScript("AB", ScriptKind::Posix));
    EXPECT_EQ(programFiles(),
              (std::vector<std::string>{"AB.bin", "ABCDEFGH.bin", "default.8xfont", "temp.sh"}));
    EXPECT_EQ(platform.launches.size(), 2u);
}

TEST_F(Compile, EmptyReplyOrCancelEndsQuietly) {
    compile("");
    EXPECT_EQ(programFiles(), std::vector<std::string>{"default.8xfont"});
    EXPECT_TRUE(platform.launches.empty());
    EXPECT_TRUE(platform.messages.empty());
}

class RefusedProgramNames : public Compile, public testing::WithParamInterface<const char*> {};

TEST_P(RefusedProgramNames, SayWhichNamesAreAllowedAndWriteNothing) {
    platform.messageAnswers = {MsgBoxAnswer::Ok};
    compile(QString::fromUtf8(GetParam()));
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(platform.messages[0].prompt.contains(
        "1 to 8 letters (A-Z, a-z) and digits, starting with a letter"));
    EXPECT_EQ(programFiles(), std::vector<std::string>{"default.8xfont"});
    EXPECT_TRUE(platform.launches.empty());
}

INSTANTIATE_TEST_SUITE_P(Names, RefusedProgramNames,
                         testing::Values("a&b", "../x", "my font", "1abc", "x|rm", "%TEMP%", "Fönt",
                                         "a;b"));

TEST_F(Compile, FailuresAreReportedAndChangeNothing) {
    // The image cannot be written: a folder stands in its place.
    std::filesystem::create_directory(dir / "FONT1.bin");
    platform.messageAnswers = {MsgBoxAnswer::Ok};
    compile("FONT1");
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(platform.messages[0].prompt.contains("FONT1.bin: is a folder"));
    EXPECT_TRUE(platform.launches.empty());
    EXPECT_FALSE(std::filesystem::exists(dir / "temp.sh"));

    // The script cannot be started.
    platform.launchSucceeds = false;
    platform.messageAnswers = {MsgBoxAnswer::Ok};
    compile("FONT2");
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_TRUE(platform.messages[1].prompt.contains("temp.sh"));
    EXPECT_TRUE(platform.messages[1].prompt.contains("could not be started"));
    EXPECT_EQ(view().fontSet(), test::testDefaultSet());
}

} // namespace
} // namespace korvalin
