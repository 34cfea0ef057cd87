#pragma once

// Small scanners that the text formats share.

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace korvalin {

// The lines of a text, ending at CR, LF or both, as FreeType reads a BDF; each comes without
// its trailing blanks and tabs, and blank lines are skipped. The ends are looked for eight
// bytes at a time: a bitmap font is a few hundred thousand short lines.
class TextLines {
public:
    explicit TextLines(std::string_view bytes)
        : at_(bytes.data()), end_(bytes.data() + bytes.size()) {}

    bool next(std::string_view& line) {
        while (at_ != end_) {
            const char* const start = at_;
            skipToLineEnd();
            const char* stop = at_;
            if (at_ != end_)
                ++at_;
            while (stop != start && (stop[-1] == ' ' || stop[-1] == '\t'))
                --stop;
            if (stop != start) {
                line = std::string_view(start, static_cast<std::size_t>(stop - start));
                return true;
            }
        }
        return false;
    }

    // Where the next line starts.
    [[nodiscard]] const char* position() const { return at_; }

private:
    void skipToLineEnd() {
        constexpr std::uint64_t kOnes = 0x0101010101010101;
        constexpr std::uint64_t kHighs = 0x8080808080808080;
        // A byte of a word is 0 just where the byte was LF (or CR); the first such byte
        // is the lowest one that the borrow trick marks, which on a little-endian machine is
        // the first in the text.
        while (std::endian::native == std::endian::little && end_ - at_ >= 8) {
            std::uint64_t word = 0;
            std::memcpy(&word, at_, sizeof word);
            const std::uint64_t lf = word ^ (kOnes * '\n');
            const std::uint64_t cr = word ^ (kOnes * '\r');
            const std::uint64_t ends = ((lf - kOnes) & ~lf) | ((cr - kOnes) & ~cr);
            if ((ends & kHighs) != 0) {
                at_ += std::countr_zero(ends & kHighs) / 8;
                return;
            }
            at_ += 8;
        }
        while (at_ != end_ && *at_ != '\n' && *at_ != '\r')
            ++at_;
    }

    const char* at_;
    const char* end_;
};

namespace detail {
constexpr std::array<std::int8_t, 256> kHexValues = [] {
    std::array<std::int8_t, 256> values{};
    values.fill(-1);
    for (std::size_t i = 0; i < 10; ++i)
        values['0' + i] = static_cast<std::int8_t>(i);
    for (std::size_t i = 0; i < 6; ++i) {
        values['a' + i] = static_cast<std::int8_t>(10 + i);
        values['A' + i] = static_cast<std::int8_t>(10 + i);
    }
    return values;
}();
} // namespace detail

// The value of a hexadecimal digit, or -1 for any other character.
constexpr int HexDigitValue(char c) {
    return detail::kHexValues[static_cast<unsigned char>(c)];
}

} // namespace korvalin
