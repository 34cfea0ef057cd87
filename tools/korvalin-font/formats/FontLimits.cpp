#include "FontLimits.h"

#include "FileError.h"
#include "TextScan.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace korvalin {
namespace {

std::string text(std::uint64_t number) {
    return std::to_string(number);
}

std::string sizeText(std::int64_t width, std::int64_t height) {
    return std::to_string(width) + " x " + std::to_string(height) + " pixels";
}

const std::string kLargest = sizeText(kMaxGlyphSide, kMaxGlyphSide);

// --- BDF: text lines of a keyword and numbers ---

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// The numbers after `keyword` when `line` starts with it, else nothing.
bool startsWithKeyword(std::string_view line, std::string_view keyword) {
    return line.starts_with(keyword) &&
           (line.size() == keyword.size() || isBlank(line[keyword.size()]));
}

// The size of the `index`-th field, the keyword being the 0th, read as FreeType reads it (leading
// digits, a sign skipped), held at a ceiling that is beyond every limit.
std::uint64_t field(std::string_view line, int index) {
    std::size_t at = 0;
    for (int i = 0; i < index; ++i) {
        while (at < line.size() && !isBlank(line[at]))
            ++at;
        while (at < line.size() && isBlank(line[at]))
            ++at;
    }
    if (at < line.size() && (line[at] == '-' || line[at] == '+'))
        ++at;
    std::uint64_t value = 0;
    for (; at < line.size() && line[at] >= '0' && line[at] <= '9'; ++at)
        value = std::min<std::uint64_t>(value * 10 + static_cast<unsigned>(line[at] - '0'),
                                        std::uint64_t{1} << 40);
    return value;
}

bool isBdf(std::string_view bytes) {
    TextLines lines(bytes);
    std::string_view line;
    while (lines.next(line)) {
        if (!startsWithKeyword(line, "COMMENT"))
            return startsWithKeyword(line, "STARTFONT");
    }
    return false;
}

// The fewest bytes a glyph and a property take in a BDF file: "STARTCHAR\nENDCHAR\n", "A 1\n".
constexpr std::uint64_t kGlyphBytes = 18;
constexpr std::uint64_t kPropertyBytes = 4;
constexpr std::uint64_t kMaxProperties = 65536;

void checkBdf(std::string_view bytes, const std::filesystem::path& source) {
    const std::uint64_t fileSize = bytes.size();
    std::uint64_t bitmapDigits = 0; // each bitmap byte is two hex digits in the file
    TextLines lines(bytes);
    std::string_view line;
    while (lines.next(line)) {
        if (startsWithKeyword(line, "CHARS")) {
            const std::uint64_t count = field(line, 1);
            if (count > kMaxGlyphs)
                throw FileError(source, "declares " + text(count) + " glyphs, more than the " +
                                            text(kMaxGlyphs) + " a font may have");
            if (count > fileSize / kGlyphBytes)
                throw FileError(source, "declares " + text(count) + " glyphs, more than its " +
                                            text(fileSize) + " bytes can hold");
        } else if (startsWithKeyword(line, "STARTPROPERTIES")) {
            const std::uint64_t count = field(line, 1);
            if (count > kMaxProperties || count > fileSize / kPropertyBytes)
                throw FileError(source, "declares " + text(count) +
                                            " properties, more than its bytes can hold");
        } else if (startsWithKeyword(line, "FONTBOUNDINGBOX") || startsWithKeyword(line, "BBX")) {
            const std::uint64_t width = field(line, 1);
            const std::uint64_t height = field(line, 2);
            const bool font = line.starts_with("F");
            if (width > kMaxGlyphSide || height > kMaxGlyphSide)
                throw FileError(source, std::string(font ? "has a bounding box" : "has a glyph") +
                                            " of " +
                                            sizeText(static_cast<std::int64_t>(width),
                                                     static_cast<std::int64_t>(height)) +
                                            ", larger than " + kLargest);
            if (font)
                continue;
            bitmapDigits += 2 * ((width + 7) / 8) * height;
            if (bitmapDigits > fileSize)
                throw FileError(source, "declares glyphs whose bitmaps take more than its " +
                                            text(fileSize) + " bytes");
        }
    }
}

// --- PCF: a table of contents and binary tables, each in its own byte order ---

constexpr std::uint32_t kPcfMetrics = 1u << 2;
constexpr std::uint32_t kPcfBitmaps = 1u << 3;
constexpr std::uint32_t kPcfCompressedMetrics = 0x100;
constexpr std::uint32_t kPcfBigEndian = 1u << 2;
// There are nine kinds of table; a few repeats are allowed, not a long list to sort.
constexpr std::uint32_t kMaxPcfTables = 64;

class PcfReader {
public:
    PcfReader(std::string_view bytes, const std::filesystem::path& source)
        : bytes_(bytes), source_(source) {}

    [[nodiscard]] std::uint64_t size() const { return bytes_.size(); }

    // `count` bytes at `at` as a number, little-endian unless `bigEndian`.
    [[nodiscard]] std::uint32_t number(std::uint64_t at, int count, bool bigEndian) const {
        if (at > bytes_.size() || static_cast<std::uint64_t>(count) > bytes_.size() - at)
            throw FileError(source_, "ends inside a table");
        std::uint32_t value = 0;
        for (int i = 0; i < count; ++i) {
            const auto byte = static_cast<unsigned char>(
                bytes_[at + static_cast<std::size_t>(bigEndian ? i : count - 1 - i)]);
            value = value << 8 | byte;
        }
        return value;
    }
    [[nodiscard]] int signed16(std::uint64_t at, bool bigEndian) const {
        return static_cast<std::int16_t>(number(at, 2, bigEndian));
    }

private:
    std::string_view bytes_;
    const std::filesystem::path& source_;
};

void checkPcfCount(std::uint64_t count, std::uint64_t room, std::uint64_t each, const char* what,
                   const std::filesystem::path& source) {
    if (count > kMaxGlyphs)
        throw FileError(source, "declares " + text(count) + " " + what + ", more than the " +
                                    text(kMaxGlyphs) + " a font may have");
    if (count > room / each)
        throw FileError(source,
                        "declares " + text(count) + " " + what + ", more than the file can hold");
}

void checkPcfMetrics(const PcfReader& pcf, std::uint64_t at, const std::filesystem::path& source) {
    const std::uint32_t format = pcf.number(at, 4, false);
    const bool big = (format & kPcfBigEndian) != 0;
    const bool compressed = (format & kPcfCompressedMetrics) != 0;
    const std::uint64_t first = at + (compressed ? 6 : 8);
    const std::uint64_t count =
        compressed ? pcf.number(at + 4, 2, big) : pcf.number(at + 4, 4, big);
    const std::uint64_t each = compressed ? 5 : 12;
    checkPcfCount(count, pcf.size() - std::min(first, pcf.size()), each, "glyph metrics", source);
    for (std::uint64_t glyph = 0; glyph < count; ++glyph) {
        const std::uint64_t metric = first + glyph * each;
        auto value = [&](int index) {
            return compressed ? static_cast<int>(
                                    pcf.number(metric + static_cast<unsigned>(index), 1, big)) -
                                    0x80
                              : pcf.signed16(metric + 2 * static_cast<unsigned>(index), big);
        };
        // FreeType draws right bearing minus left bearing by ascent plus descent.
        const int width = value(1) - value(0);
        const int height = value(3) + value(4);
        if (width > kMaxGlyphSide || height > kMaxGlyphSide)
            throw FileError(source, "has a glyph of " + sizeText(width, height) + ", larger than " +
                                        kLargest);
    }
}

void checkPcf(std::string_view bytes, const std::filesystem::path& source) {
    const PcfReader pcf(bytes, source);
    const std::uint64_t tables = pcf.number(4, 4, false);
    if (tables == 0 || tables > kMaxPcfTables)
        throw FileError(source, "has " + text(tables) + " tables, where a font has 1 to " +
                                    text(kMaxPcfTables));
    if (8 + 16 * tables > pcf.size())
        throw FileError(source, "ends inside its table of contents");
    for (std::uint64_t i = 0; i < tables; ++i) {
        const std::uint64_t entry = 8 + 16 * i;
        const std::uint32_t type = pcf.number(entry, 4, false);
        const std::uint64_t size = pcf.number(entry + 8, 4, false);
        const std::uint64_t offset = pcf.number(entry + 12, 4, false);
        // bdftopcf writes the last table shorter than its entry says; FreeType allows that.
        const bool last = i + 1 == tables;
        if (offset > pcf.size() || (!last && size > pcf.size() - offset))
            throw FileError(source, "has a table that runs past the end of the file");
        if (type == kPcfMetrics)
            checkPcfMetrics(pcf, offset, source);
        else if (type == kPcfBitmaps) {
            const bool big = (pcf.number(offset, 4, false) & kPcfBigEndian) != 0;
            // The format, the count, an offset each, and four sizes.
            checkPcfCount(pcf.number(offset + 4, 4, big),
                          pcf.size() - std::min(offset + 24, pcf.size()), 4, "bitmaps", source);
        }
    }
}

} // namespace

void CheckFontLimits(std::string_view bytes, const std::filesystem::path& source) {
    if (bytes.starts_with("\x01"
                          "fcp"))
        checkPcf(bytes, source);
    else if (isBdf(bytes))
        checkBdf(bytes, source);
}

} // namespace korvalin
