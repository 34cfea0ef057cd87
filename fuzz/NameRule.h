#pragma once

// The program name rule written the plain way, the oracle of the fuzzers that take names.

#include <algorithm>
#include <string_view>

namespace korvalin::fuzz {

inline bool isAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// 1 to 8 ASCII letters and digits, starting with a letter.
inline bool followsNameRule(std::string_view name) {
    return !name.empty() && name.size() <= 8 && isAsciiLetter(name.front()) &&
           std::all_of(name.begin(), name.end(),
                       [](char c) { return isAsciiLetter(c) || (c >= '0' && c <= '9'); });
}

} // namespace korvalin::fuzz
