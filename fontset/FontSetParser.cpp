#include "FontSetParser.h"

#include "Escaped.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string_view>

namespace korvalin {
namespace {

constexpr int kMinValue = -32768;
constexpr int kMaxValue = 32767;
// Enough of a field to quote it in a message; a runaway field is not kept whole.
constexpr std::size_t kShown = 24;

// What each byte can be in the text, for the quick path.
enum Kind : unsigned char { kOther = 0, kBlank = 1, kLineEnd = 2, kComma = 4 };
constexpr unsigned char kEndsField = kBlank | kLineEnd | kComma;
constexpr std::array<unsigned char, 256> kinds = [] {
    std::array<unsigned char, 256> table{};
    table[' '] = table['\t'] = kBlank;
    table['\r'] = table['\n'] = kLineEnd;
    table[','] = kComma;
    return table;
}();

// The end of one line and the next line up to the blank after its value, as the writer
// makes them for paper (255) and ink (0).
constexpr std::string_view kPaperLine = " \r\n 255 ";
constexpr std::string_view kInkLine = " \r\n 0 ";

unsigned byte(char c) {
    return static_cast<unsigned char>(c);
}

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
// `field` holds the start of the field, one byte more than is shown when there is more.
std::string quoted(const std::string& field) {
    return "\"" + EscapedExcerpt(field, kShown) + "\"";
}

std::string valuesCount(int count) {
    return std::to_string(count) + (count == 1 ? " value" : " values");
}

std::string endedEarly(int valuesRead) {
    return "ends after " + valuesCount(valuesRead) + "; " + std::to_string(FontSet::kCellCount) +
           " needed";
}

} // namespace

bool FontSetParser::refill() {
    if (!read_)
        return false;
    const std::size_t count = read_(buffer_);
    next_ = buffer_.data();
    end_ = next_ + count;
    return count > 0;
}

// Fields in the forms the writer makes, read straight from the buffer while it holds the
// whole of the next one; anything else (a chunk's end, a fault) is left to the careful path,
// which reads the same fields alike. Returns the index of the first cell not filled.
int FontSetParser::readQuickly(std::span<CellValue, FontSet::kCellCount> cells, int from) {
    // A field, its sign and what separates it from the one before lie within this many
    // bytes, or the careful path takes it; no step below looks past the window.
    constexpr std::ptrdiff_t kWindow = 32;
    constexpr int kMaxDigits = 6;
    const char* p = next_;
    int i = from;
    for (; i < FontSet::kCellCount && end_ - p >= kWindow; ++i) {
        const char* q = p;
        int lines = 0;
        bool negative = false;
        if (i > 0 && std::memcmp(q, kPaperLine.data(), kPaperLine.size()) == 0) {
            // The writer's lines of paper and of ink, which a drawn set is made of, each at
            // one stroke up to the blank after its value.
            cells[static_cast<std::size_t>(i)] = FontSet::kClear;
            p += kPaperLine.size() - 1;
            ++line_;
            continue;
        }
        if (i > 0 && std::memcmp(q, kInkLine.data(), kInkLine.size()) == 0) {
            cells[static_cast<std::size_t>(i)] = FontSet::kSet;
            p += kInkLine.size() - 1;
            ++line_;
            continue;
        }
        if (i > 0 && std::memcmp(q, " \r\n", 3) == 0 && (q[3] == ' ' || q[3] == '-')) {
            // The end of a line and the start of the next as the writer makes them.
            negative = q[3] == '-';
            q += 4;
            lines = 1;
        } else {
            const char* const blanksEnd = p + kWindow - kMaxDigits - 4;
            if (i > 0) {
                while (q < blanksEnd && kinds[byte(*q)] == kBlank)
                    ++q;
                if (*q == '\r') {
                    q += q[1] == '\n' ? 2 : 1;
                    lines = 1;
                } else if (*q == '\n') {
                    ++q;
                    lines = 1;
                } else if (*q == ',') {
                    ++q;
                }
            }
            while (q < blanksEnd && kinds[byte(*q)] == kBlank)
                ++q;
            negative = *q == '-';
            q += negative || *q == '+' ? 1 : 0;
        }
        const char* const digits = q;
        unsigned magnitude = 0;
        for (unsigned digit = 0; q != digits + kMaxDigits && (digit = byte(*q) - '0') <= 9; ++q)
            magnitude = magnitude * 10 + digit;
        if (q == digits || (kinds[byte(*q)] & kEndsField) == 0 ||
            magnitude > unsigned{kMaxValue} + (negative ? 1 : 0))
            break;
        const int value = negative ? -static_cast<int>(magnitude) : static_cast<int>(magnitude);
        cells[static_cast<std::size_t>(i)] = static_cast<CellValue>(value);
        p = q;
        line_ += lines;
    }
    next_ = p;
    return i;
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
        throw ParseError(endedEarly(valuesRead));
    throw ParseError("line " + std::to_string(emptyLine) + ": value " +
                     std::to_string(valuesRead + 1) + " is empty");
}

CellValue FontSetParser::readField(int valuesRead) {
    skipBlanks();
    int c = peek();
    if (c == kEnd)
        throw ParseError(endedEarly(valuesRead));
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
        // Once the field cannot be a value, it is read only as far as the message quotes it:
        // an endless run of NUL bytes must end the read at once.
        const bool hopeless = !wellFormed || magnitude > kMaxValue + 1;
        if (hopeless && length >= kept.size())
            break;
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
        throw ParseError(where + quoted(field) + " is not a whole number");
    const std::string shown = length <= 12 ? field : quoted(field);
    throw ParseError(where + shown + " is outside -32768..32767");
}

void FontSetParser::readInto(std::span<CellValue, FontSet::kCellCount> cells) {
    for (int i = readQuickly(cells, 0); i < FontSet::kCellCount; i = readQuickly(cells, i + 1)) {
        if (i > 0)
            skipSeparator();
        cells[static_cast<std::size_t>(i)] = readField(i);
    }
}

} // namespace korvalin
