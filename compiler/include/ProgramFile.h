#pragma once

#include "FontSet.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace korvalin {

// A calculator program or group file (.8xp, .8xg) holds at most this much: its 55-byte
// header, 0xFFFF bytes of data and the checksum.
constexpr std::size_t kMaxVariableFileSize = 55 + 0xFFFF + 2;

// One variable of a TI-83 Plus variable file.
struct TiVariable {
    std::string name;
    std::uint8_t type = 0;
    std::vector<std::uint8_t> data; // for a program, its 2-byte length and then its bytes
};

// Whether the bytes open as a TI variable file of any calculator does.
[[nodiscard]] bool IsTiVariableFile(std::string_view bytes);

// The variables of a TI-83 Plus file (one for .8xp, one or more for .8xg), after checking
// its signature, every length against the file and the checksum. Throws FileError naming
// `source`.
[[nodiscard]] std::vector<TiVariable> ReadTiVariables(std::string_view bytes,
                                                      const std::filesystem::path& source);

// The set inside the one font program of a program or group file: its image's prologue,
// signature and length checked, each cell ink (0) or paper (255). Throws FileError naming
// `source`.
[[nodiscard]] FontSet ReadFontProgram(std::string_view bytes, const std::filesystem::path& source);

} // namespace korvalin
