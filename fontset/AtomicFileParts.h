#pragma once

// The parts of the crash-safe replacement that every platform's version shares.

#include "SaveTemporaries.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace korvalin::atomic_file {

// How many temporary names a save tries before it gives up.
constexpr int kNameAttempts = 1000;
// The longest file name most file systems take, in bytes.
constexpr std::size_t kMaxNameBytes = 255;

// Write to the file a symbolic link names, not over the link itself, even when that file
// does not exist yet. Throws FileError naming `requested` for a loop of links.
[[nodiscard]] std::filesystem::path resolveLink(const std::filesystem::path& requested);

// A fresh hidden name beside `target` for this process's next temporary file.
[[nodiscard]] std::filesystem::path temporaryPathFor(const std::filesystem::path& target);

// The process that made `entryName` as a temporary of `targetName` on `host`, if it is one.
[[nodiscard]] std::optional<long>
leftoverProcess(std::string_view entryName, std::string_view targetName, std::string_view host);

// Throws FileError naming `target` when its folder is missing or is not a folder.
void checkFolder(const std::filesystem::path& target);

} // namespace korvalin::atomic_file
