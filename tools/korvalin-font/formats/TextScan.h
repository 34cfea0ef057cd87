#pragma once

// Small scanners that the text formats share.

#include <algorithm>
#include <string_view>

namespace korvalin {

// The lines of a text, ending at CR, LF or both, as FreeType reads a BDF; each comes without
// its trailing blanks and tabs, and blank lines are skipped.
class TextLines {
public:
    explicit TextLines(std::string_view bytes) : rest_(bytes) {}

    bool next(std::string_view& line) {
        while (!rest_.empty()) {
            const std::size_t end = std::min(rest_.find_first_of("\r\n"), rest_.size());
            line = rest_.substr(0, end);
            rest_.remove_prefix(std::min(end + 1, rest_.size()));
            while (!line.empty() && (line.back() == ' ' || line.back() == '\t'))
                line.remove_suffix(1);
            if (!line.empty())
                return true;
        }
        return false;
    }

private:
    std::string_view rest_;
};

// The value of a hexadecimal digit, or -1 for any other character.
constexpr int HexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace korvalin
