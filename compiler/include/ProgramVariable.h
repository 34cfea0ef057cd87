#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace korvalin {

// The comment that the packer writes into every program file it makes.
constexpr std::string_view kPackerComment = "Korvalin font set";

// The largest program whose lengths still fit the 16-bit fields of a variable file.
constexpr std::size_t kMaxProgramSize = 0xFFFF - 19;
// The bytes of the file's comment field, which a shorter comment fills with zeros.
constexpr std::size_t kCommentSize = 42;

// A TI-83 Plus variable file ("**TI83F*") holding `program` as one protected program
// named `name` in upper case. `comment` fills at most 42 bytes, padded with zeros.
// Throws std::invalid_argument for a name the program name rule refuses, an empty or
// oversized program, or a comment longer than 42 bytes.
[[nodiscard]] std::vector<std::uint8_t> PackProgramVariable(std::string_view name,
                                                            std::span<const std::uint8_t> program,
                                                            std::string_view comment = {});

} // namespace korvalin
