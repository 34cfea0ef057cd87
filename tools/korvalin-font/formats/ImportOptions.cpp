#include "ImportOptions.h"

#include <charconv>
#include <string_view>

namespace korvalin {
namespace {

std::optional<int> code(std::string_view text) {
    int base = 10;
    if (text.starts_with("0x") || text.starts_with("0X")) {
        text.remove_prefix(2);
        base = 16;
    }
    int value = -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < 0 ||
        value > 255)
        return std::nullopt;
    return value;
}

} // namespace

std::optional<Hinting> HintingNamed(const std::string& name) {
    for (const Hinting hinting : {Hinting::Font, Hinting::Auto, Hinting::None}) {
        if (name == HintingName(hinting))
            return hinting;
    }
    return std::nullopt;
}

const char* HintingName(Hinting hinting) {
    switch (hinting) {
    case Hinting::Auto:
        return "auto";
    case Hinting::None:
        return "none";
    case Hinting::Font:
        break;
    }
    return "font";
}

const char* PlacingOptionName(PlacingOption option) {
    switch (option) {
    case PlacingOption::Baseline:
        return "--baseline";
    case PlacingOption::Shift:
        return "--shift";
    case PlacingOption::Size:
        return "--size";
    case PlacingOption::Hinting:
        break;
    }
    return "--hinting";
}

std::optional<std::bitset<256>> CodeRanges(const std::string& text) {
    std::bitset<256> codes;
    std::string_view rest = text;
    while (true) {
        const std::size_t comma = std::min(rest.find(','), rest.size());
        const std::string_view range = rest.substr(0, comma);
        const std::size_t dash = range.find('-');
        const std::optional<int> first = code(range.substr(0, dash));
        const std::optional<int> last =
            dash == std::string_view::npos ? first : code(range.substr(dash + 1));
        if (!first || !last || *last < *first)
            return std::nullopt;
        for (int c = *first; c <= *last; ++c)
            codes.set(static_cast<std::size_t>(c));
        if (comma == rest.size())
            return codes;
        rest.remove_prefix(comma + 1);
    }
}

} // namespace korvalin
