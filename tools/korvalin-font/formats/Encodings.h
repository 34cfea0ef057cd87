#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace korvalin {

// An 8-bit X encoding: its name ("ISO8859-2") and the code points of bytes 0x80 to 0xFF,
// 0 where a byte stands for nothing; bytes below 0x80 are ASCII.
struct EncodingTable {
    std::string_view name;
    std::array<std::uint16_t, 128> upper;
};

extern const std::array<EncodingTable, 19> kEncodingTables;

// The table of an X registry and encoding ("iso8859", "2"), in any case; nothing for
// Unicode itself (ISO10646) and for registries this program has no table of.
[[nodiscard]] const EncodingTable* FindEncoding(std::string_view registry,
                                                std::string_view encoding);

// The registries a font may name, spelled as its CHARSET_REGISTRY and CHARSET_ENCODING
// join ("ISO10646-1, ISO646.1991-IRV, ISO8859-1 to ISO8859-11, ..."), for a message.
[[nodiscard]] std::string RegistryNames();

// The code point that `code` stands for in `table`.
[[nodiscard]] std::optional<char32_t> DecodeByte(const EncodingTable& table, unsigned code);

} // namespace korvalin
