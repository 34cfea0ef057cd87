// Writes probe.txt into the folder it finds for itself: that folder as the editor keeps it,
// the window style it was started with, then each argument, one a line, in UTF-8.
#include "ProgramFolder.h"

#include <filesystem>
#include <fstream>
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
    return out ? argc - 1 : 100;
}
