#include "GlyphText.h"

#include "Charmap.h"
#include "CharmapAliases.h"

#include <charconv>
#include <stdexcept>
#include <vector>

namespace korvalin {

std::string CodeTitle(int code) {
    const std::string_view symbol = kCharmapSymbols.at(static_cast<std::size_t>(code));
    std::string title = std::to_string(code);
    if (symbol == " ")
        return title + " (space)";
    if (symbol == "\n")
        return title + " (line feed)";
    return symbol.empty() ? title : title + " " + std::string(symbol);
}

std::optional<int> ParseCode(std::string_view text) {
    if (!text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos) {
        int code = -1;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), code);
        if (error != std::errc() || end != text.data() + text.size() || code > 255)
            return std::nullopt;
        return code;
    }
    try {
        const std::vector<int> codes = CodesForTypedText(text);
        if (codes.size() == 1)
            return codes.front();
    } catch (const std::invalid_argument&) {
    }
    return std::nullopt;
}

} // namespace korvalin
