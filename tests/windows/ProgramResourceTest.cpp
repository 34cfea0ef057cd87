// What Windows reads from the files of our programs without running them: the version
// resource that Properties > Details shows, the editor's icon at every size, and the
// versions of Windows its manifest names.
#include <algorithm>
#include <cstring>
#include <cwchar>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>
#include <windows.h>

namespace korvalin::test {
namespace {

struct Program {
    const char* name;
    const char* path;
    const wchar_t* file;
};

class ProgramVersion : public ::testing::TestWithParam<Program> {};

std::wstring queried(std::vector<BYTE>& block, const std::wstring& query) {
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), query.c_str(), &value, &length) || length == 0)
        return {};
    return static_cast<const wchar_t*>(value);
}

// Each field as Explorer finds it: in the string table of the file's first translation.
TEST_P(ProgramVersion, ShowsItsDetails) {
    const std::wstring path = std::filesystem::path(GetParam().path).wstring();
    DWORD unused = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &unused);
    ASSERT_GT(size, 0u) << "no version resource";
    std::vector<BYTE> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, block.data()));

    const WORD* translation = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(const_cast<WORD**>(&translation)),
                               &length) &&
                length >= 2 * sizeof(WORD));
    wchar_t table[9] = {};
    swprintf(table, 9, L"%04x%04x", translation[0], translation[1]);
    const auto field = [&](const wchar_t* name) {
        return queried(block, std::wstring(L"\\StringFileInfo\\") + table + L"\\" + name);
    };
    EXPECT_NE(field(L"ProductName").find(L"Korvalin"), std::wstring::npos);
    EXPECT_EQ(field(L"FileVersion"), L"1.0");
    EXPECT_EQ(field(L"ProductVersion"), L"1.0");
    EXPECT_FALSE(field(L"FileDescription").empty());
    EXPECT_EQ(field(L"LegalCopyright").rfind(L"Copyright (c) ", 0), 0u) << field(L"LegalCopyright");
    EXPECT_EQ(field(L"OriginalFilename"), GetParam().file);

    VS_FIXEDFILEINFO* fixed = nullptr;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(0, 1)) << "1.0";
}

const Program kPrograms[] = {
    {"Editor", FONTSET_CREATOR_PATH, L"fontset-creator.exe"},
    {"Packer", PRGFORGE_PATH, L"prgforge.exe"},
#ifdef KORVALIN_FONT_PATH
    {"FontTool", KORVALIN_FONT_PATH, L"korvalin-font.exe"},
#endif
};

INSTANTIATE_TEST_SUITE_P(InTheZip, ProgramVersion, ::testing::ValuesIn(kPrograms),
                         [](const auto& test) { return std::string(test.param.name); });

struct ModuleRelease {
    void operator()(HMODULE module) const { FreeLibrary(module); }
};
using ResourceFile = std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleRelease>;

ResourceFile editorResources() {
    const std::wstring path = std::filesystem::path(FONTSET_CREATOR_PATH).wstring();
    return ResourceFile(LoadLibraryExW(path.c_str(), nullptr,
                                       LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
}

std::string_view resource(HMODULE module, const wchar_t* type) {
    const HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), type);
    if (found == nullptr)
        return {};
    return {static_cast<const char*>(LockResource(LoadResource(module, found))),
            SizeofResource(module, found)};
}

#pragma pack(push, 2)
struct IconGroupEntry {
    BYTE width; // 0 for 256
    BYTE height;
    BYTE colours;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

// Explorer, the title bar and the task bar each take their size at 100 to 200 percent, and
// the largest views 256 pixels; every one in 32-bit colour, and Windows reads each.
TEST(EditorIcon, HasEverySizeWindowsAsksForInTrueColour) {
    const ResourceFile module = editorResources();
    ASSERT_NE(module, nullptr);
    const std::string_view group = resource(module.get(), RT_GROUP_ICON);
    ASSERT_GE(group.size(), 6u);
    WORD count = 0;
    std::memcpy(&count, group.data() + 4, sizeof count);
    ASSERT_EQ(group.size(), 6 + count * sizeof(IconGroupEntry));
    std::vector<int> trueColour;
    for (WORD i = 0; i < count; ++i) {
        IconGroupEntry entry{};
        std::memcpy(&entry, group.data() + 6 + i * sizeof entry, sizeof entry);
        if (entry.bitCount == 32)
            trueColour.push_back(entry.width == 0 ? 256 : entry.width);
    }
    for (const int size : {16, 20, 24, 32, 40, 48, 64, 256}) {
        EXPECT_NE(std::ranges::count(trueColour, size), 0) << size << " pixels";
        const HANDLE icon =
            LoadImageW(module.get(), MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, LR_DEFAULTCOLOR);
        ASSERT_NE(icon, nullptr) << size;
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(static_cast<HICON>(icon), &info));
        BITMAP colour{};
        GetObjectW(info.hbmColor, sizeof colour, &colour);
        EXPECT_EQ(colour.bmWidth, size);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(static_cast<HICON>(icon));
    }
}

// Without its own entry Windows 8 and later would treat the editor as a program for an
// older Windows.
TEST(EditorManifest, NamesEveryWindowsItRunsOn) {
    const ResourceFile module = editorResources();
    ASSERT_NE(module, nullptr);
    const std::string_view manifest = resource(module.get(), RT_MANIFEST);
    for (const char* windows : {
             "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", // 7
             "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", // 8
             "{1f676c76-80e1-4239-95bb-83d0f6d0da78}", // 8.1
             "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}", // 10 and 11
         })
        EXPECT_NE(manifest.find(windows), std::string_view::npos) << windows;
}

} // namespace
} // namespace korvalin::test
