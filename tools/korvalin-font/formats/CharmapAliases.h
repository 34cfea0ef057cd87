#pragma once

#include <string_view>
#include <vector>

namespace korvalin {

// Another spelling of a charmap symbol: what TI-Basic listings, libticonv and other tables
// write where the charmap chose a different character for the same code.
struct CharmapAlias {
    std::string_view spelling;
    std::string_view symbol; // as the charmap has it
};

extern const std::vector<CharmapAlias> kCharmapAliases;

// The codes of a UTF-8 text as CodesForText reads it, with every alias read as its symbol.
// A symbol of several code points wins over an alias of one of its parts ("⁻¹" stays the
// inverse). Throws std::invalid_argument as CodesForText does.
[[nodiscard]] std::vector<int> CodesForTypedText(std::string_view text);

} // namespace korvalin
