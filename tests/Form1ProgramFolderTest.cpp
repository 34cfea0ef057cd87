// The program folder and the user's files with names that are not plain ASCII: a Latin-1
// name that is no valid UTF-8, and UTF-8 with blanks.
#include "EditorFixture.h"

#include <array>
#include <cstdio>
#include <memory>

namespace korvalin {
namespace {

using test::EditorTest;
using test::qpath;
using test::readFile;

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
    EXPECT_EQ(view().appDir(), folder().native() + '/');
    EXPECT_EQ(view().fontSet(), test::testDefaultSet());

    platform.inputReplies = {"Font1"};
    form->mnuCompile_Click();
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

INSTANTIATE_TEST_SUITE_P(Names, ProgramFolders,
                         testing::Values(FolderName{"Latin1", "caf\xe9"},
                                         FolderName{"Utf8WithBlanks",
                                                    "Schrift f\xc3\xbcr K\xc3\xb6nig"}),
                         [](const auto& test) { return std::string(test.param.name); });

// The user's own file names: saved, loaded back and saved again in place.
TEST_F(EditorTest, SaveAndLoadFilesWithNonAsciiNames) {
    const test::TempDir fonts;
    const std::filesystem::path file = fonts / "\xc3\x9c"
                                               "ber \xe2\x82\xac 5.8xfont";
    form->pixel_Click(0);
    const FontSet drawn = view().fontSet();
    platform.fileChoices = {qpath(file)};
    form->mnuFileSave_Click();
    EXPECT_EQ(readFile(file), FontSetText(drawn));

    platform.messageAnswers = {MsgBoxAnswer::No, MsgBoxAnswer::No};
    form->mnuNew_Click();
    platform.fileChoices = {qpath(file)};
    form->mnuFileLoad_Click();
    EXPECT_EQ(view().fontSet(), drawn);
    EXPECT_TRUE(view().haveFileName());
    EXPECT_EQ(platform.messages.size(), 2u) << "two prompts, no failure";
}

} // namespace
} // namespace korvalin
