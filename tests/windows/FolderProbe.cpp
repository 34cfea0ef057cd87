// Writes probe.txt into the folder it finds for itself: that folder as the editor keeps it,
// the window style it was started with, then each argument, one a line, in UTF-8. Given a
// file as its standard input, it adds that file's text and what its output goes to.
#include "ProgramFolder.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
    namespace fs = std::filesystem;
    const fs::path dir = korvalin::AppDirOf(korvalin::ExecutableFolder());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    GetStartupInfoW(&startup);

    std::ofstream out(fs::path(dir.native() + L"probe.txt"), std::ios::binary);
    out << dir.string() << '\n';
    if ((startup.dwFlags & STARTF_USESHOWWINDOW) != 0)
        out << "show " << startup.wShowWindow << '\n';
    else
        out << "show default\n";
    for (int i = 1; i < argc; ++i)
        out << fs::path(argv[i]).string() << '\n';
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    if (input != nullptr && input != INVALID_HANDLE_VALUE && GetFileType(input) == FILE_TYPE_DISK) {
        char text[256] = {};
        DWORD got = 0;
        ReadFile(input, text, sizeof text - 1, &got, nullptr);
        const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
        const bool console = output != nullptr && output != INVALID_HANDLE_VALUE &&
                             GetFileType(output) == FILE_TYPE_CHAR;
        out << "input " << std::string(text, got) << '\n'
            << "output " << (console ? "console" : "none") << '\n';
    }
    return out ? argc - 1 : 100;
}
