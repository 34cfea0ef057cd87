#include "Encodings.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace korvalin {
namespace {

std::string upper(std::string_view text) {
    std::string out(text);
    std::ranges::transform(out, out.begin(),
                           [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return out;
}

} // namespace

const EncodingTable* FindEncoding(std::string_view registry, std::string_view encoding) {
    const std::string name = upper(registry) + "-" + upper(encoding);
    const auto found = std::ranges::find(kEncodingTables, name, &EncodingTable::name);
    return found == kEncodingTables.end() ? nullptr : &*found;
}

std::optional<char32_t> DecodeByte(const EncodingTable& table, unsigned code) {
    if (code < 0x80)
        return code;
    if (code > 0xFF || table.upper[code - 0x80] == 0)
        return std::nullopt;
    return table.upper[code - 0x80];
}

} // namespace korvalin
