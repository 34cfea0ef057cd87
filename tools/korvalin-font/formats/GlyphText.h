#pragma once

#include "FontSet.h"

#include <optional>
#include <string>
#include <string_view>

namespace korvalin {

// "65 A", "32 (space)", "0": a code and its symbol as the commands print them.
[[nodiscard]] std::string CodeTitle(int code);

// A CODE argument: a decimal code 0 to 255 or one character that the charmap assigns.
// Digits are always a code, so "5" is code 5 and the digit five is "53".
[[nodiscard]] std::optional<int> ParseCode(std::string_view text);

} // namespace korvalin
