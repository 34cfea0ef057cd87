#pragma once

#include <iosfwd>
#include <optional>
#include <span>
#include <string_view>

namespace korvalin {

// The packer's one-line usage, written on the error output for a wrong call.
inline constexpr std::string_view kPackerUsage =
    "usage: prgforge NAME  (turns NAME.bin into NAME.8xp)\n";

// Answers --help and --version on `output` and returns the exit status 0; any other
// argument that starts with '-' is a wrong call: the usage on `errors`, status 2. Nothing
// when the arguments name no option, so the packer goes on with its work.
[[nodiscard]] std::optional<int> AnswerPackerOption(std::span<const std::string_view> arguments,
                                                    std::ostream& output, std::ostream& errors);

} // namespace korvalin
