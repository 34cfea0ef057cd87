#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace korvalin {

// Text crosses the program as UTF-8, paths in the system's own form; these two convert.
// On POSIX a path's bytes are kept as they are, whatever they hold; on Windows its UTF-16
// name goes to and from UTF-8, never through the ANSI code page.

// A path as text, for messages and for the user to read.
[[nodiscard]] std::string PathText(const std::filesystem::path& path);

// The path that UTF-8 text names, as the user or a dialog gives it.
[[nodiscard]] std::filesystem::path PathFromUtf8(std::string_view text);

} // namespace korvalin
