#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvalin {

// The nearest Unicode text for each character code, UTF-8; empty where none fits.
// Code 32 is a blank, code 214 (the Enter mark) a line feed; a few take two code points.
extern const std::array<std::string_view, 256> kCharmapSymbols;

// The code points of a UTF-8 text; a malformed byte throws std::invalid_argument.
[[nodiscard]] std::u32string DecodeUtf8(std::string_view text);
[[nodiscard]] std::string EncodeUtf8(char32_t codePoint);

// The code that a symbol stands for. Where several codes share one symbol, the one whose
// code equals the symbol's ASCII value wins (small u over recursive u), else the lowest.
[[nodiscard]] std::optional<int> CodeForSymbol(std::string_view symbol);

// Whether `code` is the one CodeForSymbol gives for its symbol: the code that a font
// file names by that symbol.
[[nodiscard]] bool OwnsSymbol(int code);

// The single code point that names `code` in a font file, if its symbol is one code point.
[[nodiscard]] std::optional<char32_t> CodePointOf(int code);

// The code point under which our font exports keep `code`: its own, where it has one no
// greater than `highest` (the most the format holds), else U+E000 + code in Unicode's
// Private Use Area, where the import finds it again in a font that is one of our exports.
[[nodiscard]] char32_t ExportCodePoint(int code, char32_t highest);
[[nodiscard]] constexpr char32_t PrivateUseCodePoint(int code) {
    return 0xE000 + static_cast<char32_t>(code);
}

// The codes of a UTF-8 text, one a character; a symbol of two code points counts when
// its parts do not each have a code of their own ("x̄" is one code, "))" two).
// Throws std::invalid_argument naming the first character that has no code.
[[nodiscard]] std::vector<int> CodesForText(std::string_view text);

} // namespace korvalin
