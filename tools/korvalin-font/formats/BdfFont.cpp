#include "BdfFont.h"

#include "FileError.h"
#include "FontLimits.h"
#include "TextScan.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace korvalin {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// Whether `line` is `keyword` and whatever values follow it after a blank. Of a literal,
// so that the comparison is a few instructions: it runs several times a line.
template <std::size_t size>
bool hasKeyword(std::string_view line, const char (&keyword)[size]) {
    constexpr std::size_t length = size - 1;
    return line.size() >= length && std::memcmp(line.data(), keyword, length) == 0 &&
           (line.size() == length || isBlank(line[length]));
}

// What follows the keyword, without its blanks and quotes.
std::string_view valueOf(std::string_view line, std::string_view keyword) {
    std::string_view value = line.substr(keyword.size());
    while (!value.empty() && isBlank(value.front()))
        value.remove_prefix(1);
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        value = value.substr(1, value.size() - 2);
    return value;
}

// A whole number at `at`, its sign included, moving `at` past it; false for none or one
// beyond what a long holds. Not std::from_chars, which took a third of the reading.
bool wholeNumber(const char*& at, const char* end, long& value) {
    const bool negative = at != end && *at == '-';
    if (at != end && (*at == '-' || *at == '+'))
        ++at;
    if (at == end || *at < '0' || *at > '9')
        return false;
    long magnitude = 0;
    for (; at != end && *at >= '0' && *at <= '9'; ++at) {
        if (magnitude > (std::numeric_limits<long>::max() - 9) / 10)
            return false;
        magnitude = magnitude * 10 + (*at - '0');
    }
    value = negative ? -magnitude : magnitude;
    return true;
}

// The `count` whole numbers after the keyword.
template <std::size_t count>
std::array<long, count> numbers(std::string_view line, std::string_view keyword,
                                const std::filesystem::path& source) {
    std::array<long, count> out{};
    const char* at = line.data() + keyword.size();
    const char* const end = line.data() + line.size();
    for (long& value : out) {
        while (at != end && isBlank(*at))
            ++at;
        if (!wholeNumber(at, end, value) || (at != end && !isBlank(*at)))
            throw FileError(source, "has a line \"" + std::string(line.substr(0, 40)) +
                                        "\" that lacks its numbers");
    }
    return out;
}

// The hex digits of a bitmap row that make its bytes, `digits` of them in a whole row;
// shorter rows end in paper.
std::size_t rowDigits(std::string_view row, std::size_t digits) {
    return std::min(digits, row.size() & ~std::size_t{1});
}

} // namespace

bool IsBdf(std::string_view bytes) {
    TextLines lines(bytes);
    std::string_view line;
    while (lines.next(line)) {
        if (!hasKeyword(line, "COMMENT"))
            return hasKeyword(line, "STARTFONT");
    }
    return false;
}

// The header's lines that the import needs; the others (SIZE, other properties, SWIDTH,
// DWIDTH ...) are skipped.
void BdfFont::readHeaderLine(std::string_view line, Header& header,
                             const std::filesystem::path& source) {
    if (hasKeyword(line, "FONT")) {
        header.charset.name = valueOf(line, "FONT");
    } else if (hasKeyword(line, "CHARSET_REGISTRY")) {
        header.charset.registry = valueOf(line, "CHARSET_REGISTRY");
    } else if (hasKeyword(line, "CHARSET_ENCODING")) {
        header.charset.encoding = valueOf(line, "CHARSET_ENCODING");
    } else if (hasKeyword(line, "FONT_ASCENT")) {
        header.ascent = numbers<1>(line, "FONT_ASCENT", source)[0];
    } else if (hasKeyword(line, "FONT_DESCENT")) {
        header.descent = numbers<1>(line, "FONT_DESCENT", source)[0];
    } else if (hasKeyword(line, "FONTBOUNDINGBOX")) {
        const auto box = numbers<4>(line, "FONTBOUNDINGBOX", source);
        if (const std::string problem = GlyphBoxProblem({box[0], box[1], 0, 0}); !problem.empty())
            throw FileError(source, "has a bounding box " + problem);
        header.boxHeight = box[1];
        header.boxBottom = std::clamp(box[3], -4096L, 4096L);
    } else if (hasKeyword(line, "CHARS")) {
        const long count = numbers<1>(line, "CHARS", source)[0];
        if (count > static_cast<long>(kMaxGlyphs))
            throw FileError(source, "declares " + std::to_string(count) +
                                        " glyphs, more than the " + std::to_string(kMaxGlyphs) +
                                        " a font may have");
    }
}

BdfFont::BdfFont(std::string bytes, const std::filesystem::path& source)
    : bytes_(std::move(bytes)) {
    if (bytes_.size() > kMaxFontFileSize)
        throw FileError(source, "has more than " + std::to_string(kMaxFontFileSize) + " bytes");
    Header header;
    TextLines lines(bytes_);
    std::string_view line;
    bool started = false;
    while (!started && lines.next(line)) {
        if (!hasKeyword(line, "COMMENT") && !(started = hasKeyword(line, "STARTFONT")))
            throw FileError(source, "is not a BDF font: it does not start with STARTFONT");
    }
    if (!started)
        throw FileError(source, "is not a BDF font: it does not start with STARTFONT");

    std::optional<GlyphBox> glyph;
    std::string_view name;
    long encoding = -1;
    std::uint32_t rows = 0;
    long rowsLeft = -1;     // bitmap rows still to check, -1 outside a bitmap
    std::size_t digits = 0; // in a whole row
    while (lines.next(line)) {
        if (rowsLeft >= 0 && !hasKeyword(line, "ENDCHAR")) {
            if (rowsLeft == 0)
                continue; // rows beyond the box are ignored
            --rowsLeft;
            for (std::size_t i = 0; i < rowDigits(line, digits); ++i) {
                if (HexDigitValue(line[i]) < 0)
                    throw FileError(source, "has a bitmap row \"" +
                                                std::string(line.substr(0, 40)) +
                                                "\" that is not hexadecimal");
            }
        } else if (!glyph) {
            if (hasKeyword(line, "STARTCHAR")) {
                glyph.emplace();
                name = valueOf(line, "STARTCHAR");
                encoding = -1;
                rows = 0;
            } else if (hasKeyword(line, "ENDFONT")) {
                break;
            } else {
                readHeaderLine(line, header, source);
            }
        } else if (hasKeyword(line, "ENCODING")) {
            encoding = numbers<1>(line, "ENCODING", source)[0];
        } else if (hasKeyword(line, "BBX")) {
            const auto box = numbers<4>(line, "BBX", source);
            *glyph = {box[0], box[1], box[2], box[3]};
            if (const std::string problem = GlyphBoxProblem(*glyph); !problem.empty())
                throw FileError(source, "has a glyph " + problem);
        } else if (hasKeyword(line, "BITMAP")) {
            rows = static_cast<std::uint32_t>(lines.position() - bytes_.data());
            rowsLeft = glyph->height;
            digits = 2 * (static_cast<std::size_t>(glyph->width + 7) / 8);
        } else if (hasKeyword(line, "ENDCHAR")) {
            if (rowsLeft < 0) // no bitmap: a blank glyph
                glyph->height = 0;
            rowsLeft = -1;
            const std::uint32_t index = addGlyph(*glyph, rows, name, source);
            if (encoding >= 0)
                encode(static_cast<std::uint32_t>(std::min(encoding, 0x7FFFFFFFL)), index);
            glyph.reset();
        } else if (hasKeyword(line, "STARTCHAR")) {
            throw FileError(source, "starts glyph \"" + std::string(valueOf(line, "STARTCHAR")) +
                                        "\" inside another");
        }
    }
    if (glyph)
        throw FileError(source, "ends inside glyph \"" + std::string(name) + "\"");
    ascent_ = static_cast<int>(
        std::clamp(header.ascent.value_or(header.boxHeight + header.boxBottom), 0L, 4096L));
    descent_ = static_cast<int>(std::clamp(header.descent.value_or(-header.boxBottom), 0L, 4096L));
    mapEncodings(header.charset, source);
}

void BdfFont::drawRows(const BitmapGlyph& from, SourceGlyph& glyph) const {
    TextLines lines(std::string_view(bytes_).substr(from.rows));
    const auto width = static_cast<std::size_t>(from.width);
    std::string_view line;
    for (std::size_t y = 0; y < static_cast<std::size_t>(from.height) && lines.next(line) &&
                            !hasKeyword(line, "ENDCHAR");
         ++y) {
        const std::size_t digits = rowDigits(line, 2 * ((width + 7) / 8));
        auto ink = glyph.ink.begin() + static_cast<std::ptrdiff_t>(y * width);
        for (std::size_t i = 0; i < digits; i += 2) {
            const unsigned byte =
                static_cast<unsigned>(HexDigitValue(line[i]) << 4 | HexDigitValue(line[i + 1]));
            for (std::size_t bit = 0; bit < 8 && 4 * i + bit < width; ++bit)
                ink[static_cast<std::ptrdiff_t>(4 * i + bit)] = (byte >> (7 - bit)) & 1;
        }
    }
}

} // namespace korvalin
