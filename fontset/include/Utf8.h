#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace korvalin {

// One character of UTF-8 text: its code point and how many bytes it takes.
struct Utf8Character {
    char32_t point;
    std::size_t length;
};

// The character at the start of `bytes`, or nothing where they are not UTF-8 as the
// standard has it: an overlong form, a surrogate, a value beyond U+10FFFF or a missing
// continuation byte would each read as a character other than the one written. Every
// reader of UTF-8 in the program decodes with this one.
[[nodiscard]] std::optional<Utf8Character> DecodeUtf8Character(std::string_view bytes);

// Whether all of `text` is UTF-8.
[[nodiscard]] bool IsUtf8(std::string_view text);

// `text` without the UTF-8 byte order mark that some editors put at the start of a file.
[[nodiscard]] std::string_view WithoutByteOrderMark(std::string_view text);

} // namespace korvalin
