// The program folder, start-up and the user's files with names that are not plain ASCII:
// a Latin-1 name that is no valid UTF-8, and UTF-8 with blanks.
#include "EditorFixture.h"
#include "FileError.h"
#ifndef _WIN32
#include "ToolProcess.h"
#endif

#include <cerrno>
#include <stdexcept>
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

struct FailureCase {
    const char* name;
    void (*fail)();
    const char* said;
};

class UncaughtFailures : public test::EditorTest,
                         public testing::WithParamInterface<FailureCase> {};

// What a handler leaves uncaught is said in a box that names it, and the program ends; no
// handler runs after the end.
TEST_P(UncaughtFailures, AreSaidAndEndTheProgram) {
    platform.messageAnswers = {MsgBoxAnswer::Ok};
    editor->Run(GetParam().fail);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].prompt, GetParam().said);
    EXPECT_EQ(platform.messages[0].style, MsgBoxStyle::OkOnly | MsgBoxStyle::Critical);
    EXPECT_EQ(view.ends, std::vector<int>{1});
    bool ran = false;
    editor->Run([&ran] { ran = true; });
    EXPECT_FALSE(ran);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, UncaughtFailures,
    testing::Values(
        FailureCase{"Exception", [] { throw std::runtime_error("the disk is on fire"); },
                    "the disk is on fire"},
        FailureCase{"Other", [] { throw 42; }, "An unexpected failure ended the program."}),
    [](const auto& test) { return std::string(test.param.name); });

struct ArchiveCase {
    const char* name;
    const char* folder;
    bool advised;
};

class StartInArchive : public test::EditorTest, public testing::WithParamInterface<ArchiveCase> {};

// Opened from inside a ZIP file, the program runs alone in a folder the archive program
// made: its failed start says to extract the whole folder.
TEST_P(StartInArchive, SaysToExtractTheFolder) {
    const std::filesystem::path folder = dir / GetParam().folder;
    std::filesystem::create_directories(folder);
    platform.programDirectory = folder;
    platform.messageAnswers = {MsgBoxAnswer::Ok};
    EXPECT_FALSE(editor->Start());
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(test::contains(platform.messages[0].prompt, "Extract the whole folder first"),
              GetParam().advised)
        << platform.messages[0].prompt;
}

INSTANTIATE_TEST_SUITE_P(
    Folders, StartInArchive,
    testing::Values(ArchiveCase{"Explorer", "Temp1_korvalin-1.0-win64.ZIP/korvalin-1.0-win64",
                                true},
                    ArchiveCase{"SevenZip", "7zO4A3B2C1D", true},
                    ArchiveCase{"WinRar", "Rar$EXa1234.5678", true},
                    ArchiveCase{"Unpacked", "zip-files/korvalin-1.0-win64", false}),
    [](const auto& test) { return std::string(test.param.name); });

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
    ASSERT_EQ(test::run({.program = copy, .out = {test::Stdout::File, dir / "printed"}}).status, 0);
    const std::string printed = readFile(dir / "printed");
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
