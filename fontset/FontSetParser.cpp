#include "FontSetParser.h"

#include <algorithm>
#include <istream>

namespace korvalin {
namespace {

constexpr int kMinValue = -32768;
constexpr int kMaxValue = 32767;
// Enough of a field to quote it in a message; a runaway field is not kept whole.
constexpr std::size_t kShown = 24;

bool isBlank(int c) {
    return c == ' ' || c == '\t';
}
bool isSeparator(int c) {
    return isBlank(c) || c == ',' || c == '\r' || c == '\n';
}
bool isDigit(int c) {
    return c >= '0' && c <= '9';
}

// A field as it stands in the file, cut short and with unprintable bytes escaped.
// `length` is the field's whole length, of which `field` holds the start.
std::string quoted(const std::string& field, std::size_t length) {
    std::string shown = "\"";
    for (std::size_t i = 0; i < field.size() && i < kShown; ++i) {
        const auto c = static_cast<unsigned char>(field[i]);
        if (c >= 0x20 && c < 0x7F) {
            shown += static_cast<char>(c);
        } else {
            constexpr char hex[] = "0123456789ABCDEF";
            shown += "\\x";
            shown += hex[c >> 4];
            shown += hex[c & 0xF];
        }
    }
    if (length > kShown)
        shown += "...";
    return shown + "\"";
}

std::string valuesCount(int count) {
    return std::to_string(count) + (count == 1 ? " value" : " values");
}

} // namespace

bool FontSetParser::refill() {
    in_.read(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    const auto count = in_.gcount();
    if (in_.bad())
        throw ParseError("could not be read to its end");
    next_ = buffer_.data();
    end_ = next_ + count;
    return count > 0;
}

void FontSetParser::skipBlanks() {
    while (isBlank(peek()))
        advance();
}

// One comma or one line end (CR LF, CR or LF) after the blanks that end a field.
// Without either, the blanks themselves were the separator.
void FontSetParser::skipSeparator() {
    skipBlanks();
    const int c = peek();
    if (c == ',') {
        advance();
    } else if (c == '\n') {
        advance();
        ++line_;
    } else if (c == '\r') {
        advance();
        if (peek() == '\n')
            advance();
        ++line_;
    }
}

void FontSetParser::failEmptyField(int valuesRead) {
    // Blank lines or stray commas at the very end are only an early end of the file.
    const int emptyLine = line_;
    for (int c = peek(); c != kEnd && isSeparator(c); c = peek())
        advance();
    if (peek() == kEnd)
        throw ParseError("ends after " + valuesCount(valuesRead) + "; 8960 needed");
    throw ParseError("line " + std::to_string(emptyLine) + ": value " +
                     std::to_string(valuesRead + 1) + " is empty");
}

CellValue FontSetParser::readField(int valuesRead) {
    skipBlanks();
    int c = peek();
    if (c == kEnd)
        throw ParseError("ends after " + valuesCount(valuesRead) + "; 8960 needed");
    if (isSeparator(c))
        failEmptyField(valuesRead);

    // The field's first bytes are kept only to quote them in a message.
    std::array<char, kShown + 1> kept{};
    std::size_t length = 0;
    bool wellFormed = true;
    bool negative = false;
    long magnitude = 0;
    if (c == '+' || c == '-') {
        negative = c == '-';
        kept[length++] = static_cast<char>(c);
        advance();
    }
    const std::size_t digitsFrom = length;
    for (c = peek(); c != kEnd && !isSeparator(c); c = peek()) {
        if (length < kept.size())
            kept[length] = static_cast<char>(c);
        ++length;
        advance();
        if (isDigit(c)) {
            if (magnitude <= kMaxValue + 1)
                magnitude = magnitude * 10 + (c - '0');
        } else {
            wellFormed = false;
        }
    }
    if (wellFormed && length > digitsFrom) {
        const long value = negative ? -magnitude : magnitude;
        if (value >= kMinValue && value <= kMaxValue)
            return static_cast<CellValue>(value);
    }
    const std::string field(kept.data(), std::min(length, kept.size()));
    const std::string where = "line " + std::to_string(line_) + ": ";
    if (!wellFormed || length == digitsFrom)
        throw ParseError(where + quoted(field, length) + " is not a whole number");
    const std::string shown = length <= 12 ? field : quoted(field, length);
    throw ParseError(where + shown + " is outside -32768..32767");
}

void FontSetParser::readInto(std::span<CellValue, FontSet::kCellCount> cells) {
    for (int i = 0; i < FontSet::kCellCount; ++i) {
        if (i > 0)
            skipSeparator();
        cells[static_cast<std::size_t>(i)] = readField(i);
    }
}

} // namespace korvalin
