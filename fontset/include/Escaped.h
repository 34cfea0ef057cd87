#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace korvalin {

// Whether an excerpt shows well-formed UTF-8 characters as they are or byte by byte.
enum class Utf8 { Escaped, Kept };

// At most `limit` bytes of `bytes` made safe to quote in a message: bytes that do not print
// become \xNN, a double quote becomes \", and "..." marks a cut. Without surrounding quotes.
[[nodiscard]] std::string EscapedExcerpt(std::string_view bytes, std::size_t limit,
                                         Utf8 utf8 = Utf8::Escaped);

} // namespace korvalin
