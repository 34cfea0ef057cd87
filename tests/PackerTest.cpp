#include "Packer.h"

#include "KorvalinVersion.h"
#include "ProgramVariable.h"
#include "TempDir.h"
#include "TiFile.h"
#include "ToolProcess.h"

#include <gtest/gtest.h>
#include <numeric>
#include <sstream>
#include <system_error>
#include <vector>

namespace korvalin {
namespace {

using test::readFile;
using test::readWithTiFiles;
using test::TempDir;
using test::TiFile;
using test::writeFile;

std::vector<std::uint8_t> bytesOf(std::string_view text) {
    return {text.begin(), text.end()};
}

TEST(ProgramVariable, SmallestProgramMatchesItsPinnedBytes) {
    const std::vector<std::uint8_t> file = PackProgramVariable("A", bytesOf("\xBB\x6D\xC9"));
    std::string expected = "**TI83F*\x1A\x0A";
    expected += '\0';
    expected += std::string(42, '\0');
    expected += std::string("\x16\x00"
                            "\x0D\x00"
                            "\x05\x00"
                            "\x06"
                            "A\0\0\0\0\0\0\0"
                            "\x00\x00"
                            "\x05\x00"
                            "\x03\x00"
                            "\xBB\x6D\xC9"
                            "\x52\x02",
                            26);
    EXPECT_EQ(file.size(), 79u);
    EXPECT_EQ(std::string(file.begin(), file.end()), expected);
}

TEST(ProgramVariable, RefusesWhatNoProgramCanBe) {
    const std::vector<std::uint8_t> one(1, 0xC9);
    EXPECT_THROW((void)PackProgramVariable("a&b", one), std::invalid_argument);
    EXPECT_THROW((void)PackProgramVariable("FONT1", {}), std::invalid_argument);
    EXPECT_THROW((void)PackProgramVariable("FONT1", std::vector<std::uint8_t>(kMaxProgramSize + 1)),
                 std::invalid_argument);
    EXPECT_THROW((void)PackProgramVariable("FONT1", one, std::string(43, 'c')),
                 std::invalid_argument);
    EXPECT_EQ(PackProgramVariable("FONT1", std::vector<std::uint8_t>(kMaxProgramSize)).size(),
              55u + 0xFFFF + 2);
}

class PackerRun : public testing::Test {
protected:
    int run(std::vector<std::string_view> arguments) {
        output.str("");
        errors.str("");
        return RunPacker(arguments, dir.path(), output, errors);
    }
    [[nodiscard]] std::size_t filesInDir() const {
        return static_cast<std::size_t>(
            std::distance(std::filesystem::directory_iterator(dir.path()),
                          std::filesystem::directory_iterator()));
    }

    TempDir dir;
    std::ostringstream output;
    std::ostringstream errors;
};

TEST_F(PackerRun, WritesAFileTheTiLibraryReads) {
    std::string image = "\xBB\x6D\xC9korvalin";
    for (int i = 0; i < 1792; ++i)
        image += static_cast<char>(i % 32);
    writeFile(dir / "Font1.bin", image);

    ASSERT_EQ(run({"prgforge", "Font1"}), 0) << errors.str();
    EXPECT_EQ(errors.str(), "");
    const TiFile file = readWithTiFiles(dir / "Font1.8xp");
    EXPECT_EQ(file.entries, 1u);
    EXPECT_EQ(file.name, "FONT1");
    EXPECT_EQ(file.type, 0x06);
    EXPECT_TRUE(file.checksumGood);
    EXPECT_EQ(file.data, std::string("\x0B\x07", 2) + image);
    EXPECT_EQ(readFile(dir / "Font1.bin"), image)
        << "the script, not the packer, removes the image";
}

struct PackerFault {
    const char* name;
    std::vector<std::string_view> arguments;
    std::string image; // written as FONT1.bin unless empty; "-" writes an empty file
    int status;
    std::string message;
};

class PackerFaults : public PackerRun, public testing::WithParamInterface<PackerFault> {};

TEST_P(PackerFaults, FailOnOneLineAndWriteNothing) {
    const PackerFault& fault = GetParam();
    if (fault.image == "-")
        writeFile(dir / "FONT1.bin", "");
    else if (!fault.image.empty())
        writeFile(dir / "FONT1.bin", fault.image);
    const std::size_t before = filesInDir();

    EXPECT_EQ(run(fault.arguments), fault.status);
    const std::string message = errors.str();
    EXPECT_NE(message.find(fault.message), std::string::npos) << message;
    EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
    EXPECT_EQ(filesInDir(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, PackerFaults,
    testing::Values(
        PackerFault{"no_name", {"prgforge"}, "", 2, "usage: prgforge NAME"},
        PackerFault{"two_names", {"prgforge", "A", "B"}, "", 2, "usage: prgforge NAME"},
        PackerFault{"no_file",
                    {"prgforge", "FONT1"},
                    "",
                    1,
                    "FONT1.bin: cannot be opened: " + std::generic_category().message(ENOENT)},
        PackerFault{"empty_file", {"prgforge", "FONT1"}, "-", 1, "FONT1.bin: is empty"},
        PackerFault{"oversized",
                    {"prgforge", "FONT1"},
                    std::string(kMaxProgramSize + 1, 'x'),
                    1,
                    "is larger than 65516 bytes"},
        PackerFault{"injection", {"prgforge", "x&del"}, "", 1, "cannot contain \"&\""},
        PackerFault{"path", {"prgforge", "../FONT1"}, "", 1, "cannot contain \".\""},
        PackerFault{"unknown_option", {"prgforge", "--frob"}, "", 2, "usage: prgforge NAME"}),
    [](const auto& test) { return std::string(test.param.name); });

struct PackerOption {
    const char* name;
    std::vector<std::string_view> arguments;
    std::string answer; // the start of what the packer writes on its output
};

class PackerOptions : public PackerRun, public testing::WithParamInterface<PackerOption> {};

// help2man makes the man page from these answers, so they go to the output, not the errors.
TEST_P(PackerOptions, AnswerOnTheOutputAndPackNothing) {
    writeFile(dir / "FONT1.bin", "\xC9");
    EXPECT_EQ(run(GetParam().arguments), 0) << errors.str();
    EXPECT_EQ(output.str().substr(0, GetParam().answer.size()), GetParam().answer);
    EXPECT_EQ(errors.str(), "");
    EXPECT_EQ(filesInDir(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Options, PackerOptions,
    testing::Values(PackerOption{"help", {"prgforge", "--help"}, "Usage: prgforge NAME\n"},
                    PackerOption{"help_after_a_name",
                                 {"prgforge", "FONT1", "--help"},
                                 "Usage: prgforge NAME\n"},
                    PackerOption{"version",
                                 {"prgforge", "--version"},
                                 "prgforge (Korvalin Font Set Creator) " + std::string(kVersion) +
                                     "\n" + std::string(kCopyright) + ".\n\nLicence: MIT"}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST_F(PackerRun, UnwritableTargetLeavesNothingHalfWritten) {
    writeFile(dir / "FONT1.bin", "\xC9");
    std::filesystem::create_directory(dir / "FONT1.8xp");
    EXPECT_EQ(run({"prgforge", "FONT1"}), 1);
    EXPECT_NE(errors.str().find("FONT1.8xp: is a folder"), std::string::npos) << errors.str();
    EXPECT_EQ(filesInDir(), 2u);
}

// A link in NAME.8xp's place, planted by someone else, pointing outside the folder.
class PlantedProgramLinks : public PackerRun, public testing::WithParamInterface<bool> {};

TEST_P(PlantedProgramLinks, AreReplacedAndWhatTheyNameStaysUntouched) {
    const bool dangling = GetParam();
    const TempDir outside;
    if (!dangling)
        writeFile(outside / "named", "the user's own file");
    std::filesystem::create_symlink(outside / "named", dir / "FONT1.8xp");
    writeFile(dir / "FONT1.bin", "\xBB\x6D\xC9");

    ASSERT_EQ(run({"prgforge", "FONT1"}), 0) << errors.str();
    EXPECT_TRUE(
        std::filesystem::is_regular_file(std::filesystem::symlink_status(dir / "FONT1.8xp")));
    EXPECT_EQ(readWithTiFiles(dir / "FONT1.8xp").name, "FONT1");
    if (dangling)
        EXPECT_FALSE(std::filesystem::exists(outside / "named"));
    else
        EXPECT_EQ(readFile(outside / "named"), "the user's own file");
}

INSTANTIATE_TEST_SUITE_P(Links, PlantedProgramLinks, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& param) {
                             return std::string(param.param ? "Dangling" : "ToAFile");
                         });

TEST(PackerCommand, RunsInItsWorkingDirectory) {
    const TempDir dir;
    writeFile(dir / "FONT1.bin", "\xBB\x6D\xC9");
    const auto packer = [&dir](const char* name) {
        return test::run({.program = PRGFORGE_PATH,
                          .arguments = {name},
                          .err = {test::Stdout::File, dir / "errors.txt"},
                          .folder = dir.path()});
    };
    EXPECT_EQ(packer("FONT1").status, 0) << readFile(dir / "errors.txt");
    EXPECT_EQ(readFile(dir / "FONT1.8xp").size(), 79u);

    EXPECT_NE(packer("MISSING").status, 0);
    EXPECT_EQ(readFile(dir / "errors.txt").substr(0, 10), "prgforge: ");
}

} // namespace
} // namespace korvalin
