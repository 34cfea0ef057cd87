#pragma once

#include <filesystem>

namespace korvalin {

// The folder that holds the running program's executable, found from the executable's
// real path in the file system's own encoding (symbolic links to it resolved). Throws
// std::runtime_error when the system cannot tell; callers never guess a folder instead.
[[nodiscard]] std::filesystem::path ExecutableFolder();

// `folder` as the editor keeps it: the native path followed by exactly one separator
// ("C:\" stays "C:\", "/opt/k" becomes "/opt/k/"), so a file name appended gives a path.
[[nodiscard]] std::filesystem::path::string_type AppDirOf(const std::filesystem::path& folder);

} // namespace korvalin
