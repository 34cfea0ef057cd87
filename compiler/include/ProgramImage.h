#pragma once

#include "FontSet.h"

#include <array>
#include <cstdint>
#include <filesystem>

namespace korvalin {

// The calculator program image: an assembled-program token and a return instruction
// (BB 6D C9), the signature "korvalin", then 7 row bytes for each of the 256 glyphs.
constexpr std::size_t kProgramPrologueSize = 3;
constexpr std::size_t kProgramSignatureSize = 8;
constexpr std::size_t kProgramImageHeaderSize = kProgramPrologueSize + kProgramSignatureSize;
constexpr std::size_t kProgramImageSize =
    kProgramImageHeaderSize + FontSet::kCharacters * FontSet::kRows;
using ProgramImage = std::array<std::uint8_t, kProgramImageSize>;
// The bytes before the rows, as the image is written and as it is checked when read back.
constexpr std::array<std::uint8_t, kProgramImageHeaderSize> kProgramImageHeader = {
    0xBB, 0x6D, 0xC9, 'k', 'o', 'r', 'v', 'a', 'l', 'i', 'n'};

// A cell counts as ink exactly when its value is even; bit 4 of a row byte is column 0.
[[nodiscard]] ProgramImage BuildProgramImage(const FontSet& table);

// Writes the image to `path`, whole or not at all. Throws FileError.
void WriteProgramImage(const std::filesystem::path& path, const FontSet& table);

} // namespace korvalin
