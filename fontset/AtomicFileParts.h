#pragma once

// The parts of the crash-safe replacement that every platform's version shares.

#include <filesystem>

namespace korvalin::atomic_file {

// How many temporary names a save tries before it gives up.
constexpr int kNameAttempts = 1000;

// Write to the file a symbolic link names, not over the link itself.
[[nodiscard]] std::filesystem::path resolveLink(const std::filesystem::path& requested);

// A fresh hidden name beside `target` for this process's next temporary file.
[[nodiscard]] std::filesystem::path temporaryPathFor(const std::filesystem::path& target);

// Throws FileError naming `target` when its folder is missing or is not a folder.
void checkFolder(const std::filesystem::path& target);

} // namespace korvalin::atomic_file
