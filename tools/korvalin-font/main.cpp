// korvalin-font: the editor's companion on the command line.
#include "StandardOutput.h"

#include <algorithm>
#include <span>
#include <string>
#include <vector>

#ifdef _WIN32
#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <memory>
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

namespace {

// The wide command line as UTF-8, converted once: argv holds it in the ANSI code page,
// which has no room for most of the names a user can give.
std::vector<std::string> utf8Arguments() {
    int count = 0;
    const std::unique_ptr<LPWSTR, decltype(&LocalFree)> words(
        CommandLineToArgvW(GetCommandLineW(), &count), &LocalFree);
    std::vector<std::string> arguments;
    for (int i = 1; words && i < count; ++i) {
        const LPWSTR word = words.get()[i];
        const int size = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, word, -1, nullptr, 0,
                                             nullptr, nullptr);
        // A lone surrogate has no UTF-8: a byte that is none either, for the tool to refuse.
        std::string text = size > 0 ? std::string(static_cast<std::size_t>(size), '\0') : "\xFF";
        if (size > 0) {
            WideCharToMultiByte(CP_UTF8, 0, word, -1, text.data(), size, nullptr, nullptr);
            text.pop_back();
        }
        arguments.push_back(std::move(text));
    }
    return arguments;
}

} // namespace
#endif

int main([[maybe_unused]] int argc, [[maybe_unused]] char** argv) {
#ifdef _WIN32
    // Sets, sheets and programs go through `-` byte for byte, without CR LF for LF.
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    return korvalin::RunFontToolProcess(utf8Arguments());
#else
    return korvalin::RunFontToolProcess(
        std::span<char* const>(argv + 1, static_cast<std::size_t>(std::max(argc - 1, 0))));
#endif
}
