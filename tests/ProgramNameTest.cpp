#include "ProgramName.h"

#include "PackagingScript.h"

#include <gtest/gtest.h>

namespace korvalin {
namespace {

TEST(ProgramName, CutsTheReplyToEightCharacters) {
    EXPECT_EQ(CutProgramName("ABCDEFGHIJ"), "ABCDEFGH");
    EXPECT_EQ(CutProgramName("ABCDEFGH"), "ABCDEFGH");
    EXPECT_EQ(CutProgramName("F"), "F");
    EXPECT_EQ(CutProgramName(""), "");
    // Characters, not bytes: "θ" is two bytes in UTF-8.
    EXPECT_EQ(CutProgramName("θθθθθθθθθ"), "θθθθθθθθ");
    EXPECT_EQ(CutProgramName("Font1 and more"), "Font1 an");
}

TEST(ProgramName, AcceptsLettersAndDigitsStartingWithALetter) {
    for (const char* name : {"Font1", "A", "ABCDEFGH", "z9", "korvalin"})
        EXPECT_EQ(ProgramNameProblem(name), "") << name;
}

struct RefusedName {
    const char* name;
    const char* why;
};

class ProgramNameRefusals : public testing::TestWithParam<RefusedName> {};

TEST_P(ProgramNameRefusals, ExplainTheRule) {
    const std::string problem = ProgramNameProblem(GetParam().name);
    EXPECT_NE(problem.find(GetParam().why), std::string::npos) << problem;
    EXPECT_NE(problem.find("1 to 8 letters (A-Z, a-z) and digits, starting with a letter"),
              std::string::npos);
    EXPECT_THROW((void)PackagingScript(GetParam().name, ScriptKind::Batch), std::invalid_argument);
    EXPECT_THROW((void)PackagingScript(GetParam().name, ScriptKind::Posix), std::invalid_argument);
}

INSTANTIATE_TEST_SUITE_P(
    Injections, ProgramNameRefusals,
    testing::Values(RefusedName{"", "is empty"}, RefusedName{"a&b", "cannot contain \"&\""},
                    RefusedName{"a|del", "\"|\""}, RefusedName{"%PATH%", "\"%\""},
                    RefusedName{"my font", "a blank"}, RefusedName{"../x", "\".\""},
                    RefusedName{"a\\b", "\"\\\""}, RefusedName{"x;rm", "\";\""},
                    RefusedName{"a$(id)", "\"$\""}, RefusedName{"a\nb", "a control character"},
                    RefusedName{"a\x7F", "\"\\x7F\""},
                    RefusedName{"a\xFF"
                                "b",
                                "\"\\xFF\""},
                    RefusedName{"1abc", "starts with a digit"},
                    RefusedName{"\xCE\xB8"
                                "eta",
                                "\"\xCE\xB8\""},
                    RefusedName{"ABCDEFGHI", "longer than 8 characters"}),
    [](const auto& test) { return "name" + std::to_string(test.index); });

// A file named after a device is that device on Windows, in every folder.
struct DeviceNameCase {
    const char* name;
    bool reserved;
};

class WindowsDeviceNames : public testing::TestWithParam<DeviceNameCase> {};

TEST_P(WindowsDeviceNames, AreRefusedWhereProgramFilesAreWindowsFiles) {
    const std::string problem = ProgramNameProblem(GetParam().name, FileNames::Windows);
    EXPECT_EQ(problem.find("is reserved") != std::string::npos, GetParam().reserved) << problem;
    EXPECT_EQ(ProgramNameProblem(GetParam().name, FileNames::Posix), "");
}

INSTANTIATE_TEST_SUITE_P(Names, WindowsDeviceNames,
                         testing::Values(DeviceNameCase{"CON", true}, DeviceNameCase{"nul", true},
                                         DeviceNameCase{"Com1", true}, DeviceNameCase{"lpT9", true},
                                         DeviceNameCase{"AUX", true}, DeviceNameCase{"Prn", true},
                                         DeviceNameCase{"COM0", false},
                                         DeviceNameCase{"LPT", false},
                                         DeviceNameCase{"NUL1", false},
                                         DeviceNameCase{"CONSOLE", false},
                                         DeviceNameCase{"COMA", false}),
                         [](const auto& test) { return std::string(test.param.name); });

} // namespace
} // namespace korvalin
