#pragma once

#include "FontSet.h"

#include <array>
#include <cstddef>
#include <functional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

namespace korvalin {

// A fault in the text of a font set file; the caller adds the file's name.
class ParseError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Fills a buffer from the text's source and returns how many bytes it got, 0 at the end.
using ChunkReader = std::function<std::size_t(std::span<char>)>;

// Streams fields out of font set text in fixed-size chunks, so that whatever follows
// the last field needed is never read beyond one chunk; or reads text that is in memory
// already, where it lies.
class FontSetParser {
public:
    explicit FontSetParser(ChunkReader read) : read_(std::move(read)) {}
    explicit FontSetParser(std::string_view text)
        : next_(text.data()), end_(text.data() + text.size()) {}

    // Fills every cell in order or throws ParseError ("line 9: ...").
    void readInto(std::span<CellValue, FontSet::kCellCount> cells);

private:
    static constexpr int kEnd = -1;

    int peek() {
        if (next_ == end_ && !refill())
            return kEnd;
        return static_cast<unsigned char>(*next_);
    }
    void advance() { ++next_; }
    bool refill();

    int readQuickly(std::span<CellValue, FontSet::kCellCount> cells, int from);
    void skipBlanks();
    void skipSeparator();
    CellValue readField(int valuesRead);
    [[noreturn]] void failEmptyField(int valuesRead);

    ChunkReader read_;
    // Filled before it is read: not cleared first.
    std::array<char, 16 * 1024> buffer_;
    const char* next_ = nullptr;
    const char* end_ = nullptr;
    int line_ = 1;
};

} // namespace korvalin
