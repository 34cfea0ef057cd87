// The other spellings of charmap symbols, kept as data beside the generated charmap.
#include "CharmapAliases.h"

#include "Charmap.h"

#include <string>

namespace korvalin {

const std::vector<CharmapAlias> kCharmapAliases = {
    {"\u25BA", "\u25B6"},     // ► black right-pointing pointer, as TI-Basic listings write ▶
    {"\u25B8", "\u25B6"},     // ▸ small right-pointing triangle
    {"\u207B", "\u02D7"},     // ⁻ superscript minus, the listings' negation
    {"\u2212", "\u02D7"},     // − minus sign, libticonv's negation
    {"\U0001D452", "\u212F"}, // 𝑒 mathematical italic e, for ℯ
    {"\U0001D62F", "\U0001D45B"}, // 𝘯 sans-serif italic n, Wikipedia's recursive n
    {"\u209C", "\u1D1B"},         // ₜ subscript t, for the parametric ᴛ
    {"\u22BA", "\u1D1B"},         // ⊺ intercalate, libticonv's ᴛ
    {"\u02DF", "\u02E3"},         // ˟ modifier cross accent, Wikipedia's superscript x
    {"\u03D5", "\u03C6"},         // ϕ phi symbol, libticonv's φ
    {"\u03F5", "\u03B5"},         // ϵ lunate epsilon
    {"\u00B5", "\u03BC"},         // µ micro sign
    {"\u2126", "\u03A9"},         // Ω ohm sign
    {"\u2206", "\u0394"},         // ∆ increment
    {"\u2211", "\u03A3"},         // ∑ n-ary summation
    {"\u221F", "\u029F"},         // ∟ right angle, the listings' list L
    {"\u2148", "\U0001D456"},     // ⅈ double-struck italic i
    {"P\u0302", "p\u0302"},       // P̂, Wikipedia's p-hat
    {"x\u0305", "x\u0304"},       // x̅ with a combining overline
    {"y\u0305", "\u0233"},        // y̅ with a combining overline
    {"y\u0304", "\u0233"},        // ȳ decomposed
};

namespace {

// Whether a symbol of several code points starts at `at`, and how long it is: such a symbol
// stays whole, or an alias of one of its parts would split it.
std::size_t joinedSymbolAt(std::u32string_view points, std::size_t at) {
    std::size_t longest = 0;
    for (const std::string_view symbol : kCharmapSymbols) {
        const std::u32string joined = DecodeUtf8(symbol);
        if (joined.size() > 1 && joined.size() > longest && points.substr(at).starts_with(joined))
            longest = joined.size();
    }
    return longest;
}

} // namespace

std::vector<int> CodesForTypedText(std::string_view text) {
    const std::u32string points = DecodeUtf8(text);
    std::string plain;
    for (std::size_t i = 0; i < points.size();) {
        if (const std::size_t joined = joinedSymbolAt(points, i); joined > 0) {
            for (std::size_t k = 0; k < joined; ++k)
                plain += EncodeUtf8(points[i + k]);
            i += joined;
            continue;
        }
        std::size_t taken = 0;
        std::string_view symbol;
        for (const CharmapAlias& alias : kCharmapAliases) {
            const std::u32string spelling = DecodeUtf8(alias.spelling);
            if (spelling.size() > taken &&
                std::u32string_view(points).substr(i).starts_with(spelling)) {
                taken = spelling.size();
                symbol = alias.symbol;
            }
        }
        if (taken == 0) {
            plain += EncodeUtf8(points[i]);
            ++i;
        } else {
            plain += symbol;
            i += taken;
        }
    }
    return CodesForText(plain);
}

} // namespace korvalin
