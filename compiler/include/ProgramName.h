#pragma once

#include <string>
#include <string_view>

namespace korvalin {

constexpr std::size_t kMaxProgramNameLength = 8;

// The reply to the name prompt cut to its first 8 characters (UTF-8 code points).
[[nodiscard]] std::string CutProgramName(std::string_view reply);

// The file names of the system that NAME.bin and NAME.8xp are written on.
enum class FileNames { Posix, Windows };
#ifdef _WIN32
constexpr FileNames kNativeFileNames = FileNames::Windows;
#else
constexpr FileNames kNativeFileNames = FileNames::Posix;
#endif

// Why `name` cannot name a calculator program, as a sentence to show the user, or an
// empty string when it can: 1 to 8 ASCII letters and digits, starting with a letter.
// The name goes unquoted into a command script, so nothing else may pass; on Windows a
// device's name (CON, NUL, COM1) would make its files that device, so it does not pass either.
[[nodiscard]] std::string ProgramNameProblem(std::string_view name,
                                             FileNames files = kNativeFileNames);

} // namespace korvalin
