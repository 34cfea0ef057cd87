#include "ProgramFolder.h"

#include "Probe.h"

#include <gtest/gtest.h>
#include <ostream>
#include <string>

namespace korvalin {
namespace {

struct FolderCase {
    const wchar_t* folder;
    const wchar_t* appDir;
    friend std::ostream& operator<<(std::ostream& out, const FolderCase& c) {
        return out << std::filesystem::path(c.folder).string();
    }
};

class AppDir : public testing::TestWithParam<FolderCase> {};

TEST_P(AppDir, EndsInExactlyOneBackslash) {
    EXPECT_EQ(AppDirOf(GetParam().folder), std::wstring(GetParam().appDir));
}

INSTANTIATE_TEST_SUITE_P(
    Windows, AppDir,
    testing::Values(FolderCase{L"C:\\", L"C:\\"}, FolderCase{L"D:/", L"D:\\"},
                    FolderCase{L"C:\\Program Files\\Korvalin", L"C:\\Program Files\\Korvalin\\"},
                    FolderCase{L"C:\\Korvalin\\", L"C:\\Korvalin\\"},
                    FolderCase{L"C:/Users/ann/fonts", L"C:\\Users\\ann\\fonts\\"},
                    FolderCase{L"\\\\server\\share", L"\\\\server\\share\\"},
                    FolderCase{L"E:\\Gr\u00FC\u00DFe \u65E5\u672C",
                               L"E:\\Gr\u00FC\u00DFe \u65E5\u672C\\"}));

TEST(ExecutableFolder, IsFoundFromAFolderBeyondAscii) {
    const test::TempDir dir;
    const std::filesystem::path folder = dir.path() / "start" / test::kUnusualName;
    const auto process = Launch({test::copyProbe(folder), {}, dir.path()});
    const auto outcome = test::waitFor(*process);
    ASSERT_TRUE(outcome);
    EXPECT_EQ(outcome->exitStatus, 0);
    const auto report = test::probeReport(folder);
    ASSERT_FALSE(report.empty()) << "the probe wrote nothing into its own folder";
    EXPECT_EQ(report[0], folder.string() + "\\");
}

} // namespace
} // namespace korvalin
