#include "ProgramFolder.h"

#include "PathText.h"

#include <cerrno>
#include <stdexcept>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

namespace korvalin {
namespace fs = std::filesystem;

fs::path ExecutableFolder() {
#ifdef _WIN32
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            throw std::runtime_error(
                "the program's own folder cannot be determined: " +
                std::system_category().message(static_cast<int>(GetLastError())));
        if (length < buffer.size()) {
            buffer.resize(length);
            break;
        }
        buffer.resize(buffer.size() * 2);
    }
    const fs::path executable(buffer);
#else
    std::error_code error;
    // The kernel's own link names the file that runs, whatever bytes its path holds.
    const fs::path executable = fs::read_symlink("/proc/self/exe", error);
    if (error)
        throw std::runtime_error("the program's own folder cannot be determined: " +
                                 error.message());
#endif
    if (!executable.is_absolute() || !executable.has_parent_path())
        throw std::runtime_error("the program's own folder cannot be determined from \"" +
                                 PathText(executable) + "\"");
    return executable.parent_path();
}

fs::path::string_type AppDirOf(const fs::path& folder) {
    // "C:/" and "C:\" are the same folder on Windows; only the native separator counts.
    fs::path::string_type dir = fs::path(folder).make_preferred().native();
    if (dir.empty() || dir.back() != fs::path::preferred_separator)
        dir += fs::path::preferred_separator;
    return dir;
}

} // namespace korvalin
