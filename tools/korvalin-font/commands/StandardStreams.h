#pragma once

#include "Commands.h"
#include "FontSet.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace korvalin {

// `-` for a file read is standard input, for a file written standard output.
[[nodiscard]] inline bool IsStandardStream(std::string_view argument) {
    return argument == "-";
}

// How messages name a file argument.
[[nodiscard]] std::filesystem::path ArgumentName(const std::string& argument);

// What a file argument is on disk, for telling whether two name the same file: for `-`
// the file behind the stream (none where the system cannot tell).
[[nodiscard]] std::filesystem::path ArgumentFile(const std::string& argument, bool written);

// All of standard input, at most `limit` bytes. Throws FileError naming `name`.
[[nodiscard]] std::string ReadStandardInput(const std::filesystem::path& name, std::size_t limit);

// The set of a set file or font program, or of standard input for `-`.
[[nodiscard]] FontSet ReadSetArgument(const std::string& argument);

// The whole file `argument`, or standard output for `-`, from `bytes`.
void WriteOutput(Invocation& call, const std::string& argument, std::string_view bytes);

} // namespace korvalin
