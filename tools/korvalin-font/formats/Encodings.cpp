#include "Encodings.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

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

std::string RegistryNames() {
    // The part of an ISO 8859 table, or 0 for another.
    const auto part = [](std::size_t at) {
        constexpr std::string_view kIso = "ISO8859-";
        const std::string_view name = kEncodingTables[at].name;
        return name.starts_with(kIso) ? std::stoi(std::string(name.substr(kIso.size()))) : 0;
    };
    // Unicode and ASCII need no table; a run of ISO 8859 parts reads as one range.
    std::vector<std::string> names = {"ISO10646-1", "ISO646.1991-IRV"};
    for (std::size_t i = 0; i < kEncodingTables.size(); ++i) {
        std::size_t last = i;
        while (part(last) > 0 && last + 1 < kEncodingTables.size() &&
               part(last + 1) == part(last) + 1)
            ++last;
        names.emplace_back(kEncodingTables[i].name);
        if (last > i + 1) {
            names.back() += " to " + std::string(kEncodingTables[last].name);
            i = last;
        }
    }
    std::string joined;
    for (std::size_t i = 0; i < names.size(); ++i)
        joined += (i == 0 ? "" : i + 1 == names.size() ? " or " : ", ") + names[i];
    return joined;
}

std::optional<char32_t> DecodeByte(const EncodingTable& table, unsigned code) {
    if (code < 0x80)
        return code;
    if (code > 0xFF || table.upper[code - 0x80] == 0)
        return std::nullopt;
    return table.upper[code - 0x80];
}

} // namespace korvalin
