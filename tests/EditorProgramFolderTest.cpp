// The program folder, start-up and the user's files with names that are not plain ASCII:
// a Latin-1 name that is no valid UTF-8, and UTF-8 with blanks.
#include "EditorFixture.h"
#include "FileError.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <system_error>

namespace korvalin {
namespace {

using test::EditorTest;
using test::readFile;

TEST_F(EditorTest, StartUpShowsCharacterZeroOfTheDefaultSet) {
    EXPECT_EQ(state().currentChar(), 0);
    EXPECT_FALSE(state().haveFileName());
    EXPECT_TRUE(state().currentFileName().empty());
    EXPECT_EQ(state().appDir(), test::appDirOf(dir.path()));
    EXPECT_EQ(view.status, "Currently editing character: 0");
    EXPECT_EQ(state().fontSet(), test::testDefaultSet());
    for (std::size_t i = 0; i < Editor::kCells; ++i) {
        const OleColor expected = i % 2 ? kBlack : kWhite;
        EXPECT_EQ(view.pixel[i], expected) << "pixel " << i;
        EXPECT_EQ(view.preview[i], expected) << "preview " << i;
    }
}

TEST_F(EditorTest, StartUpShowsTheBusyPointerWhileItReads) {
    platform.programDirectory /= ""; // a folder given with its separator keeps just one
    editor->Form_Load();
    EXPECT_EQ(view.busyChanges, (std::vector<bool>{true, false}));
    EXPECT_EQ(state().appDir(), test::appDirOf(dir.path()));
}

TEST_F(EditorTest, StartUpWithoutADefaultSetFailsAndChangesNothing) {
    editor->cmdNextChar_Click();
    std::filesystem::remove(dir / "default.8xfont");
    try {
        editor->Form_Load();
        FAIL() << "started without a default set";
    } catch (const FileError& error) {
        EXPECT_EQ(error.path(), dir / "default.8xfont");
    }
    EXPECT_EQ(view.busyChanges, (std::vector<bool>{true, false}));
    EXPECT_EQ(state().currentChar(), 1);
    EXPECT_EQ(state().fontSet(), test::testDefaultSet());
}

// The program's start says why it cannot start, and then the window is never shown.
TEST_F(EditorTest, AFailedStartIsReportedOnce) {
    EXPECT_TRUE(editor->Start());
    EXPECT_TRUE(platform.messages.empty());
    std::filesystem::remove(dir / "default.8xfont");
    platform.messageAnswers = {MsgBoxAnswer::Ok};
    EXPECT_FALSE(editor->Start());
    ASSERT_EQ(platform.messages.size(), 1u);
    const std::string& prompt = platform.messages[0].prompt;
    EXPECT_TRUE(prompt.starts_with("The Korvalin Font Set Creator cannot start.\n\n" +
                                   (dir / "default.8xfont").string() + ": "))
        << prompt;
    EXPECT_TRUE(test::contains(prompt, std::generic_category().message(ENOENT))) << prompt;
    EXPECT_EQ(platform.messages[0].style, MsgBoxStyle::OkOnly | MsgBoxStyle::Critical);
    EXPECT_EQ(platform.messages[0].title, "");
}

#ifndef _WIN32
struct FolderName {
    const char* name;
    const char* bytes;
};

class ProgramFolders : public test::EditorTest, public testing::WithParamInterface<FolderName> {
protected:
    [[nodiscard]] std::filesystem::path folder() const { return dir / GetParam().bytes; }
};

// Start-up reads the default set there, and Compile writes there, never into "/".
TEST_P(ProgramFolders, AreKeptByteForByte) {
    std::filesystem::create_directory(folder());
    start(folder());
    EXPECT_EQ(state().appDir(), folder().native() + '/');
    EXPECT_EQ(state().fontSet(), test::testDefaultSet());

    platform.inputReplies = {"Font1"};
    editor->mnuCompile_Click();
    EXPECT_EQ(programFiles(), (std::vector<std::string>{"Font1.bin", "default.8xfont", "temp.sh"}));
}

// The executable itself finds such a folder: a small program copied there says where it is.
TEST_P(ProgramFolders, AreFoundFromTheExecutable) {
    std::filesystem::create_directory(folder());
    const std::filesystem::path copy = folder() / "print-program-folder";
    std::filesystem::copy_file(PRINT_PROGRAM_FOLDER_PATH, copy);
    const std::unique_ptr<FILE, int (*)(FILE*)> output(
        popen(("'" + copy.native() + "'").c_str(), "r"), pclose);
    ASSERT_NE(output, nullptr);
    std::string printed;
    std::array<char, 256> buffer{};
    while (const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), output.get()))
        printed.append(buffer.data(), got);
    EXPECT_EQ(printed, folder().native() + '/');
}

INSTANTIATE_TEST_SUITE_P(PosixNames, ProgramFolders,
                         testing::Values(FolderName{"Latin1", "caf\xe9"},
                                         FolderName{"Utf8WithBlanks",
                                                    "Schrift f\xc3\xbcr K\xc3\xb6nig"}),
                         [](const auto& test) { return std::string(test.param.name); });
#endif

// The user's own file names: saved, loaded back and saved again in place.
TEST_F(EditorTest, SaveAndLoadFilesWithNonAsciiNames) {
    const test::TempDir fonts;
    const std::filesystem::path file =
        fonts.path() / std::filesystem::path(u8"\u00dcber \u20ac 5.8xfont");
    editor->pixel_Click(0);
    const FontSet drawn = state().fontSet();
    platform.fileChoices = {file};
    editor->mnuFileSave_Click();
    EXPECT_EQ(readFile(file), FontSetText(drawn));

    platform.messageAnswers = {MsgBoxAnswer::No, MsgBoxAnswer::No};
    editor->mnuNew_Click();
    platform.fileChoices = {file};
    editor->mnuFileLoad_Click();
    EXPECT_EQ(state().fontSet(), drawn);
    EXPECT_TRUE(state().haveFileName());
    EXPECT_EQ(state().currentFileName(), file);
    EXPECT_EQ(platform.messages.size(), 2u) << "two prompts, no failure";
}

} // namespace
} // namespace korvalin
