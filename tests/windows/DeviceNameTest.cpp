// Devices and pipes named as files: refused at once by every reader and writer, never
// opened, never replaced.
#include "DeviceName.h"

#include "AtomicFile.h"
#include "FileError.h"
#include "FontSetFile.h"
#include "InputFile.h"
#include "Probe.h"

#include <functional>
#include <gtest/gtest.h>
#include <string>

namespace korvalin {
namespace {

namespace fs = std::filesystem;

std::string causeOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const FileError& error) {
        return error.cause();
    }
    return "(no failure)";
}

std::size_t entriesIn(const fs::path& folder) {
    return static_cast<std::size_t>(
        std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

struct NameCase {
    const char* label;
    const wchar_t* name; // beside the test's folder, or whole when it starts with a backslash
    bool device;
};

class DeviceNames : public testing::TestWithParam<NameCase> {
protected:
    [[nodiscard]] fs::path path() const {
        const std::wstring name = GetParam().name;
        return name.starts_with(L"\\") ? fs::path(name) : dir.path() / name;
    }
    test::TempDir dir;
};

TEST_P(DeviceNames, AreRefusedByEveryReaderAndWriter) {
    const fs::path target = path();
    if (!GetParam().device) {
        // Names close to a device's are plain files and work as such.
        WriteFileAtomically(target, "text", Durability::Transient);
        EXPECT_EQ(ReadWholeFile(target, 100), "text");
        return;
    }
    FontSet table;
    for (const auto& call : std::initializer_list<std::function<void()>>{
             [&] { (void)ReadWholeFile(target, 100); },
             [&] { ReadFontSetFile(target, table); },
             [&] { WriteFileAtomically(target, "x", Durability::Transient); },
             [&] { WriteFontSetFile(target, table); },
         })
        EXPECT_EQ(causeOf(call), "is not a regular file");
    EXPECT_EQ(entriesIn(dir.path()), 0u) << "a file was made in the device's place";
}

// The name alone decides, before anything is opened: the open handle's own check, which
// comes later, would hide a device name this one misses.
TEST_P(DeviceNames, AreKnownByTheirNameAlone) {
    EXPECT_EQ(windows_files::namesADevice(path()), GetParam().device);
}

INSTANTIATE_TEST_SUITE_P(
    Names, DeviceNames,
    testing::Values(NameCase{"Nul", L"NUL", true}, NameCase{"LowerCon", L"con", true},
                    NameCase{"NulWithExtension", L"nul.8xfont", true},
                    NameCase{"Com1", L"COM1", true}, NameCase{"Lpt9Bin", L"LPT9.bin", true},
                    NameCase{"ConsoleOut", L"CONOUT$", true},
                    NameCase{"DeviceNamespace", L"\\\\.\\NUL", true},
                    NameCase{"PipeWithoutServer", L"\\\\.\\pipe\\korvalin-none", true},
                    NameCase{"Console", L"CONSOLE.txt", false}, NameCase{"Nul1", L"nul1", false},
                    NameCase{"Com0", L"COM0.bin", false}, NameCase{"AuxInside", L"my aux", false}),
    [](const auto& param) { return std::string(param.param.label); });

// A pipe with a server waiting: opening it would take the server's only instance.
TEST(DevicePipe, IsNeverOpenedByAReaderOrWriter) {
    const std::wstring name = L"\\\\.\\pipe\\korvalin-" + std::to_wstring(GetCurrentProcessId());
    const HANDLE server =
        CreateNamedPipeW(name.c_str(), PIPE_ACCESS_DUPLEX, PIPE_NOWAIT, 1, 512, 512, 0, nullptr);
    ASSERT_NE(server, INVALID_HANDLE_VALUE) << GetLastError();
    FontSet table;
    EXPECT_EQ(causeOf([&] { (void)ReadWholeFile(name, 100); }), "is not a regular file");
    EXPECT_EQ(causeOf([&] { ReadFontSetFile(name, table); }), "is not a regular file");
    EXPECT_EQ(causeOf([&] { WriteFileAtomically(name, "x", Durability::Transient); }),
              "is not a regular file");
    // No client ever came.
    EXPECT_FALSE(ConnectNamedPipe(server, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PIPE_LISTENING));
    CloseHandle(server);
}

} // namespace
} // namespace korvalin
