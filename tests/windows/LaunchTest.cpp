#include "Launch.h"

#include "Probe.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <string>
#include <system_error>
#include <vector>

namespace korvalin {
namespace {

std::string utf8(const std::wstring& text) {
    return std::filesystem::path(text).string();
}

TEST(Launch, PassesEveryArgumentTheStyleAndTheFolder) {
    const test::TempDir dir;
    const std::filesystem::path folder = dir.path() / test::kUnusualName;
    // Each needs its own care when a command line is quoted for CommandLineToArgvW.
    const std::vector<std::wstring> arguments{
        L"plain",       L"two words", L"say \"hi\"", L"ends\\",         L"C:\\a b\\",
        L"back\\\\\"q", L"",          L"tab\there",  L"\u65E5\u672C x", L"50%&^|<>"};
    const auto process =
        Launch({test::copyProbe(folder), arguments, dir.path(), WindowStyle::ShowNoActivate});
    const auto outcome = test::waitFor(*process);
    ASSERT_TRUE(outcome);
    EXPECT_EQ(outcome->exitStatus, static_cast<int>(arguments.size()));
    EXPECT_FALSE(outcome->succeeded());
    EXPECT_EQ(outcome->lastErrorLine, "");

    std::vector<std::string> expected{folder.string() + "\\", "show 4"};
    for (const std::wstring& argument : arguments)
        expected.push_back(utf8(argument));
    EXPECT_EQ(test::probeReport(folder), expected);
    // The outcome stays once known.
    EXPECT_EQ(process->poll()->exitStatus, outcome->exitStatus);
}

TEST(Launch, GivesAHandleAsStandardInputAndKeepsTheConsoleForOutput) {
    const test::TempDir dir;
    test::writeFile(dir / "input.txt", "from the editor");
    // Not inheritable: the launch hands on a copy of its own.
    const HANDLE input = CreateFileW((dir / "input.txt").c_str(), GENERIC_READ, FILE_SHARE_READ,
                                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(input, INVALID_HANDLE_VALUE);
    LaunchRequest request{test::copyProbe(dir / "probe"), {}, dir.path(), WindowStyle::Hidden};
    request.standardInput = reinterpret_cast<std::intptr_t>(input);
    const auto process = Launch(request);
    CloseHandle(input);
    ASSERT_TRUE(test::waitFor(*process));
    const auto report = test::probeReport(dir / "probe");
    ASSERT_EQ(report.size(), 4u);
    EXPECT_EQ(report[2], "input from the editor");
    EXPECT_EQ(report[3], "output console");
}

TEST(Launch, HidesTheWindowWhenAskedTo) {
    const test::TempDir dir;
    const auto process = Launch({test::copyProbe(dir.path()), {}, dir.path(), WindowStyle::Hidden});
    ASSERT_TRUE(test::waitFor(*process));
    const auto report = test::probeReport(dir.path());
    ASSERT_EQ(report.size(), 2u);
    EXPECT_EQ(report[1], "show 0");
}

// The causes read as on POSIX: the program and the folder named, the system's reason.
TEST(Launch, RefusesWhatCannotStart) {
    const test::TempDir dir;
    const std::filesystem::path folder = dir.path() / test::kUnusualName;
    const std::string missing = std::generic_category().message(ENOENT);
    for (const char* name : {"missing.exe", "temp.bat"}) {
        const std::filesystem::path program = folder / name;
        try {
            (void)Launch({program, {}, dir.path()});
            ADD_FAILURE() << name << " was started";
        } catch (const LaunchError& error) {
            EXPECT_EQ(error.what(), program.string() + ": " + missing);
        }
    }
    const std::filesystem::path probe = test::copyProbe(folder);
    try {
        (void)Launch({probe, {}, dir / "gone"});
        ADD_FAILURE() << "started in a missing folder";
    } catch (const LaunchError& error) {
        EXPECT_EQ(error.what(),
                  probe.string() + ": cannot enter " + (dir / "gone").string() + ": " + missing);
    }
    EXPECT_THROW((void)Launch({"relative.exe", {}, dir.path()}), LaunchError);
}

} // namespace
} // namespace korvalin
