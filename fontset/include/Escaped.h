#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace korvalin {

// Whether an excerpt shows well-formed UTF-8 characters as they are or byte by byte.
enum class Utf8 { Escaped, Kept };

// The one rule for everything the program prints: a control character (C0, DEL or C1) or
// a byte that is no well-formed UTF-8 becomes \xNN, byte by byte, so that a name or an
// excerpt can neither move the terminal's cursor nor forge a line.
[[nodiscard]] std::string EscapedText(std::string_view text);

// At most `limit` bytes of `bytes` escaped as EscapedText does, to quote in a message: a
// double quote becomes \", "..." marks a cut, and with Utf8::Escaped every byte beyond
// ASCII shows as \xNN. Without surrounding quotes.
[[nodiscard]] std::string EscapedExcerpt(std::string_view bytes, std::size_t limit,
                                         Utf8 utf8 = Utf8::Escaped);

} // namespace korvalin
