#include "Charmap.h"
#include "Utf8.h"

#include <cstdio>
#include <stdexcept>

namespace korvalin {
namespace {

std::string describeCodePoint(char32_t c) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "U+%04X", static_cast<unsigned>(c));
    return "\"" + EncodeUtf8(c) + "\" (" + hex + ")";
}

// Symbols of two or more code points that stand for one code only together.
bool isJoinedSymbol(std::u32string_view points) {
    if (points.size() < 2)
        return false;
    for (const char32_t c : points) {
        if (!CodeForSymbol(EncodeUtf8(c)))
            return true;
    }
    return false;
}

} // namespace

std::u32string DecodeUtf8(std::string_view text) {
    std::u32string points;
    while (!text.empty()) {
        const std::optional<Utf8Character> character = DecodeUtf8Character(text);
        if (!character)
            throw std::invalid_argument("the text is not valid UTF-8");
        points += character->point;
        text.remove_prefix(character->length);
    }
    return points;
}

std::string EncodeUtf8(char32_t c) {
    std::string out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

std::optional<int> CodeForSymbol(std::string_view symbol) {
    if (symbol.empty())
        return std::nullopt;
    std::optional<int> found;
    for (int code = 0; code < static_cast<int>(kCharmapSymbols.size()); ++code) {
        if (kCharmapSymbols[static_cast<std::size_t>(code)] != symbol)
            continue;
        if (symbol.size() == 1 && static_cast<unsigned char>(symbol[0]) == code)
            return code;
        if (!found)
            found = code;
    }
    return found;
}

bool OwnsSymbol(int code) {
    const std::string_view symbol = kCharmapSymbols.at(static_cast<std::size_t>(code));
    return CodeForSymbol(symbol) == code;
}

std::optional<char32_t> CodePointOf(int code) {
    if (!OwnsSymbol(code))
        return std::nullopt;
    const std::u32string points = DecodeUtf8(kCharmapSymbols[static_cast<std::size_t>(code)]);
    if (points.size() != 1)
        return std::nullopt;
    return points.front();
}

char32_t ExportCodePoint(int code, char32_t highest) {
    const std::optional<char32_t> point = CodePointOf(code);
    return point && *point <= highest ? *point : PrivateUseCodePoint(code);
}

std::vector<int> CodesForText(std::string_view text) {
    const std::u32string points = DecodeUtf8(text);
    std::vector<int> codes;
    for (std::size_t i = 0; i < points.size();) {
        std::size_t taken = 0;
        std::optional<int> code;
        // A joined symbol first, the longest that starts here.
        for (const std::string_view symbol : kCharmapSymbols) {
            const std::u32string joined = DecodeUtf8(symbol);
            if (joined.size() > taken && isJoinedSymbol(joined) &&
                std::u32string_view(points).substr(i, joined.size()) == joined) {
                taken = joined.size();
                code = CodeForSymbol(symbol);
            }
        }
        if (!code) {
            code = CodeForSymbol(EncodeUtf8(points[i]));
            if (!code)
                throw std::invalid_argument("the charmap has no code for " +
                                            describeCodePoint(points[i]));
            taken = 1;
        }
        codes.push_back(*code);
        i += taken;
    }
    return codes;
}

} // namespace korvalin
