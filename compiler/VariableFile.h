#pragma once

// The layout of a TI-83 Plus variable file (.8xp, .8xg), as the packer writes it and the
// tools read it back: one set of numbers for both.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace korvalin::variable_file {

// "**TI83F*", then 1A 0A 00.
constexpr std::string_view kSignature{"**TI83F*\x1A\x0A\x00", 11};
// The signature, the comment and the length of the data that follows.
constexpr std::size_t kHeaderSize = 55;
constexpr std::size_t kChecksumSize = 2;
// An entry's header: the length of the variable, its type, its 8-byte name, then on newer
// calculators its version and flag bytes. Its own length comes before it.
constexpr std::uint16_t kEntryHeaderLength = 13;
constexpr std::uint16_t kShortEntryHeaderLength = 11;
constexpr std::size_t kNameSize = 8;
constexpr std::uint8_t kProgram = 0x05;
constexpr std::uint8_t kProtectedProgram = 0x06;

} // namespace korvalin::variable_file
