#pragma once

#include <filesystem>

namespace korvalin::windows_files {

#ifdef _WIN32
// Whether `path` names a device or a pipe by its name alone (NUL, CON, COM1, "nul.txt",
// \\.\pipe\x): such a name never reaches a file, and opening it may wait or have effects.
[[nodiscard]] bool namesADevice(const std::filesystem::path& path);
#endif

} // namespace korvalin::windows_files
