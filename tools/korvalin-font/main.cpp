// korvalin-font: the editor's companion on the command line.
#include "StandardOutput.h"

#include <algorithm>
#include <span>

#ifdef _WIN32
#include "WindowsText.h"

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#endif

int main([[maybe_unused]] int argc, [[maybe_unused]] char** argv) {
#ifdef _WIN32
    // Sets, sheets and programs go through `-` byte for byte, without CR LF for LF.
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    return korvalin::RunFontToolProcess(korvalin::Utf8Arguments());
#else
    return korvalin::RunFontToolProcess(
        std::span<char* const>(argv + 1, static_cast<std::size_t>(std::max(argc - 1, 0))));
#endif
}
