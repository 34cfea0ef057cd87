#include "PcfFont.h"

#include "FileError.h"
#include "FontLimits.h"

#include <algorithm>
#include <array>
#include <optional>

namespace korvalin {
namespace {

// The kinds of table this reader uses; the others (ink metrics, scalable widths, glyph
// names) are skipped.
constexpr std::uint32_t kProperties = 1u << 0;
constexpr std::uint32_t kAccelerators = 1u << 1;
constexpr std::uint32_t kMetrics = 1u << 2;
constexpr std::uint32_t kBitmaps = 1u << 3;
constexpr std::uint32_t kEncodings = 1u << 5;
constexpr std::uint32_t kBdfAccelerators = 1u << 8;

// The low bits of a table's format word.
constexpr std::uint32_t kPadBits = 3;
constexpr std::uint32_t kBytesMostSignificantFirst = 1u << 2;
constexpr std::uint32_t kBitsMostSignificantFirst = 1u << 3;
constexpr int kScanUnitShift = 4;
constexpr std::uint32_t kCompressedMetrics = 0x100;
// There are nine kinds of table; a few repeats are allowed, not a long list.
constexpr std::uint32_t kMaxTables = 64;

std::string text(std::uint64_t number) {
    return std::to_string(number);
}

// The table of contents and each table's format word are little-endian whatever the table's
// own order; the caller has checked that the four bytes are there.
std::uint32_t little32(std::string_view bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 4; i-- > 0;)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

// One table, from its format word on; its numbers are in the byte order the word gives.
class Table {
public:
    Table(std::string_view bytes, const char* name, const std::filesystem::path& source)
        : bytes_(bytes), name_(name), source_(source) {
        if (bytes_.size() < 4)
            throw FileError(source_, "ends inside its " + std::string(name_) + " table");
        format_ = little32(bytes_, 0);
    }

    [[nodiscard]] std::uint32_t format() const { return format_; }
    [[nodiscard]] std::string_view bytes() const { return bytes_; }

    [[nodiscard]] std::uint32_t u32(std::uint64_t at) const { return number(at, 4, big()); }
    [[nodiscard]] std::int32_t s32(std::uint64_t at) const {
        return static_cast<std::int32_t>(u32(at));
    }
    [[nodiscard]] std::uint32_t u16(std::uint64_t at) const { return number(at, 2, big()); }
    [[nodiscard]] int s16(std::uint64_t at) const { return static_cast<std::int16_t>(u16(at)); }
    [[nodiscard]] std::uint32_t u8(std::uint64_t at) const { return number(at, 1, big()); }

    // Refuses `count` items of `each` bytes from `at` on where the table has no room for them.
    void checkCount(std::uint64_t count, std::uint64_t at, std::uint64_t each,
                    const char* what) const {
        if (count > kMaxGlyphs)
            throw FileError(source_, "declares " + text(count) + " " + what + ", more than the " +
                                         text(kMaxGlyphs) + " a font may have");
        if (at > bytes_.size() || count > (bytes_.size() - at) / each)
            throw FileError(source_, "declares " + text(count) + " " + what +
                                         ", more than the file can hold");
    }

    [[noreturn]] void fail(const std::string& cause) const {
        throw FileError(source_, "has a " + std::string(name_) + " table that " + cause);
    }

private:
    [[nodiscard]] bool big() const { return (format_ & kBytesMostSignificantFirst) != 0; }

    [[nodiscard]] std::uint32_t number(std::uint64_t at, int count, bool bigEndian) const {
        if (at > bytes_.size() || static_cast<std::uint64_t>(count) > bytes_.size() - at)
            throw FileError(source_, "ends inside its " + std::string(name_) + " table");
        std::uint32_t value = 0;
        for (int i = 0; i < count; ++i) {
            const auto byte = static_cast<unsigned char>(
                bytes_[at + static_cast<std::uint64_t>(bigEndian ? i : count - 1 - i)]);
            value = value << 8 | byte;
        }
        return value;
    }

    std::string_view bytes_;
    const char* name_;
    const std::filesystem::path& source_;
    std::uint32_t format_ = 0;
};

// The first table of each kind the reader uses, by the table of contents.
class Contents {
public:
    Contents(std::string_view bytes, const std::filesystem::path& source) : source_(source) {
        if (bytes.size() < 8)
            throw FileError(source, "ends inside its table of contents");
        const std::uint32_t count = little32(bytes, 4);
        if (count == 0 || count > kMaxTables)
            throw FileError(source, "has " + text(count) + " tables, where a font has 1 to " +
                                        text(kMaxTables));
        if (8 + 16 * std::uint64_t{count} > bytes.size())
            throw FileError(source, "ends inside its table of contents");
        for (std::uint32_t i = 0; i < count; ++i) {
            // The kind, the format, the size and the offset.
            const std::size_t entry = 8 + 16 * std::size_t{i};
            const std::uint32_t type = little32(bytes, entry);
            const std::uint32_t offset = little32(bytes, entry + 12);
            if (offset > bytes.size())
                throw FileError(source, "has a table that runs past the end of the file");
            // bdftopcf writes the last table shorter than its entry says.
            const std::size_t size =
                std::min<std::size_t>(little32(bytes, entry + 8), bytes.size() - offset);
            for (auto& [kind, where] : tables_) {
                if (kind == type && !where)
                    where = bytes.substr(offset, size);
            }
        }
    }

    // The table of `type`, or nothing when the font has none.
    [[nodiscard]] std::optional<Table> find(std::uint32_t type, const char* name) const {
        for (const auto& [kind, where] : tables_) {
            if (kind == type && where)
                return Table(*where, name, source_);
        }
        return std::nullopt;
    }
    [[nodiscard]] Table need(std::uint32_t type, const char* name) const {
        if (std::optional<Table> table = find(type, name))
            return *table;
        throw FileError(source_, "has no " + std::string(name) + " table");
    }

private:
    const std::filesystem::path& source_;
    std::array<std::pair<std::uint32_t, std::optional<std::string_view>>, 6> tables_{
        {{kProperties, {}},
         {kAccelerators, {}},
         {kBdfAccelerators, {}},
         {kMetrics, {}},
         {kBitmaps, {}},
         {kEncodings, {}}}};
};

// The string at `offset` in a table's strings, up to its NUL, where it must be one of the
// few names the reader looks for: no scan of a long string for each of many properties.
bool namedAt(std::string_view strings, std::uint32_t offset, std::string_view name) {
    return offset <= strings.size() && strings.size() - offset > name.size() &&
           strings.substr(offset, name.size()) == name && strings[offset + name.size()] == '\0';
}

std::string stringAt(std::string_view strings, std::uint32_t offset) {
    if (offset >= strings.size())
        return {};
    const std::string_view rest = strings.substr(offset);
    return std::string(rest.substr(0, rest.find('\0')));
}

struct Properties {
    FontCharset charset;
    std::optional<long> ascent;
    std::optional<long> descent;
};

Properties readProperties(const Table& table) {
    Properties out;
    const std::uint32_t count = table.u32(4);
    table.checkCount(count, 8, 9, "properties");
    // Each is a name, a flag for a string and a value; the strings follow, 4-byte aligned.
    const std::uint64_t stringsAt = 8 + 9 * std::uint64_t{count} + (count % 4 ? 4 - count % 4 : 0);
    const std::uint32_t stringsSize = table.u32(stringsAt);
    const std::string_view strings =
        table.bytes().substr(stringsAt + 4, std::min<std::uint64_t>(stringsSize, ~0u));
    bool name = false;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint64_t at = 8 + 9 * std::uint64_t{i};
        const std::uint32_t key = table.u32(at);
        const bool isString = table.u8(at + 4) != 0;
        const std::uint32_t value = table.u32(at + 5);
        if (isString && !name && namedAt(strings, key, "FONT")) {
            out.charset.name = stringAt(strings, value);
            name = true;
        } else if (isString && !out.charset.registry && namedAt(strings, key, "CHARSET_REGISTRY"))
            out.charset.registry = stringAt(strings, value);
        else if (isString && out.charset.encoding.empty() &&
                 namedAt(strings, key, "CHARSET_ENCODING"))
            out.charset.encoding = stringAt(strings, value);
        else if (!isString && !out.ascent && namedAt(strings, key, "FONT_ASCENT"))
            out.ascent = static_cast<std::int32_t>(value);
        else if (!isString && !out.descent && namedAt(strings, key, "FONT_DESCENT"))
            out.descent = static_cast<std::int32_t>(value);
    }
    return out;
}

// Bytes a row takes: the width rounded up to the padding the format word gives.
std::size_t rowPitch(std::uint32_t format, long width) {
    const auto pad = std::size_t{1} << (format & kPadBits);
    return (static_cast<std::size_t>(width) + 8 * pad - 1) / (8 * pad) * pad;
}

} // namespace

bool IsPcf(std::string_view bytes) {
    return bytes.starts_with("\x01"
                             "fcp");
}

PcfFont::PcfFont(std::string bytes, const std::filesystem::path& source)
    : bytes_(std::move(bytes)) {
    if (bytes_.size() > kMaxFontFileSize)
        throw FileError(source, "has more than " + text(kMaxFontFileSize) + " bytes");
    if (!IsPcf(bytes_))
        throw FileError(source, "is not a PCF font");
    const Contents contents(bytes_, source);
    Properties properties;
    if (const std::optional<Table> table = contents.find(kProperties, "properties"))
        properties = readProperties(*table);

    const Table metrics = contents.need(kMetrics, "metrics");
    const bool compressed = (metrics.format() & ~0xFFu) == kCompressedMetrics;
    const std::uint32_t count = compressed ? metrics.u16(4) : metrics.u32(4);
    const std::uint64_t first = compressed ? 6 : 8;
    const std::uint64_t each = compressed ? 5 : 12;
    metrics.checkCount(count, first, each, "glyph metrics");

    const Table bitmaps = contents.need(kBitmaps, "bitmaps");
    bitmapFormat_ = bitmaps.format();
    if (bitmaps.u32(4) != count)
        bitmaps.fail("holds " + text(bitmaps.u32(4)) + " glyphs where the metrics hold " +
                     text(count));
    bitmaps.checkCount(count, 8, 4, "bitmaps");
    // Four sizes of the bitmaps, one for each padding; the one of the format's follows.
    const std::uint64_t sizesAt = 8 + 4 * std::uint64_t{count};
    const std::uint32_t dataSize = bitmaps.u32(sizesAt + 4 * (bitmapFormat_ & kPadBits));
    bitmaps_ = bitmaps.bytes().substr(std::min<std::uint64_t>(sizesAt + 16, bitmaps.bytes().size()),
                                      dataSize);

    int highest = 0;
    int lowest = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        const auto value = [&](std::uint32_t field) {
            const std::uint64_t at = first + each * i;
            return compressed ? static_cast<int>(metrics.u8(at + field)) - 0x80
                              : metrics.s16(at + 2 * field);
        };
        // Bearings left and right, advance, ascent, descent.
        GlyphBox box{value(1) - value(0), value(3) + value(4), value(0), -value(4)};
        if (box.width < 0 || box.height < 0)
            box = {}; // drawn as nothing, as X draws it
        const std::uint32_t offset = bitmaps.u32(8 + 4 * std::uint64_t{i});
        if (GlyphBoxProblem(box).empty() &&
            (offset > bitmaps_.size() ||
             rowPitch(bitmapFormat_, box.width) * static_cast<std::size_t>(box.height) >
                 bitmaps_.size() - offset))
            bitmaps.fail("ends inside glyph " + text(i) + "'s rows");
        addGlyph(box, offset, {}, source);
        highest = std::max(highest, value(3));
        lowest = std::max(lowest, value(4));
    }

    const Table encodings = contents.need(kEncodings, "encodings");
    const int firstColumn = encodings.s16(4);
    const int lastColumn = encodings.s16(6);
    const int firstRow = encodings.s16(8);
    const int lastRow = encodings.s16(10);
    if (firstColumn < 0 || firstColumn > lastColumn || lastColumn > 0xFF || firstRow < 0 ||
        firstRow > lastRow || lastRow > 0xFF)
        encodings.fail("covers no codes");
    const auto columns = static_cast<std::uint32_t>(lastColumn - firstColumn + 1);
    const auto rows = static_cast<std::uint32_t>(lastRow - firstRow + 1);
    encodings.checkCount(std::uint64_t{columns} * rows, 14, 2, "encodings");
    for (std::uint32_t row = 0; row < rows; ++row) {
        for (std::uint32_t column = 0; column < columns; ++column) {
            const std::uint32_t glyph = encodings.u16(14 + 2 * (row * columns + column));
            if (glyph < count) // 0xFFFF for none
                encode((static_cast<std::uint32_t>(firstRow) + row) << 8 |
                           (static_cast<std::uint32_t>(firstColumn) + column),
                       glyph);
        }
    }

    // The font's ascent and descent, from the accelerators that X reads; else the properties,
    // else the glyphs' own.
    const std::optional<Table> bdfAccelerators = contents.find(kBdfAccelerators, "accelerators");
    const std::optional<Table> accelerators =
        bdfAccelerators ? bdfAccelerators : contents.find(kAccelerators, "accelerators");
    const long ascent = accelerators ? accelerators->s32(12) : properties.ascent.value_or(highest);
    const long descent = accelerators ? accelerators->s32(16) : properties.descent.value_or(lowest);
    ascent_ = static_cast<int>(std::clamp(ascent, 0L, 4096L));
    descent_ = static_cast<int>(std::clamp(descent, 0L, 4096L));
    mapEncodings(properties.charset, source);
}

void PcfFont::drawRows(const BitmapGlyph& from, SourceGlyph& glyph) const {
    const std::size_t pitch = rowPitch(bitmapFormat_, from.width);
    // Rows are read in scan units; where the units' byte order is not their bits' order,
    // the bytes of each unit come reversed.
    const bool bitsFirst = (bitmapFormat_ & kBitsMostSignificantFirst) != 0;
    const bool bytesFirst = (bitmapFormat_ & kBytesMostSignificantFirst) != 0;
    const std::size_t swap = bitsFirst == bytesFirst
                                 ? 0
                                 : (std::size_t{1} << ((bitmapFormat_ >> kScanUnitShift) & 3)) - 1;
    for (int y = 0; y < from.height; ++y) {
        for (int x = 0; x < from.width; ++x) {
            const std::size_t at =
                from.rows +
                ((static_cast<std::size_t>(y) * pitch + static_cast<std::size_t>(x / 8)) ^ swap);
            if (at >= bitmaps_.size())
                continue;
            const auto byte = static_cast<unsigned char>(bitmaps_[at]);
            const int bit = bitsFirst ? 7 - x % 8 : x % 8;
            glyph.ink[static_cast<std::size_t>(y) * static_cast<std::size_t>(from.width) +
                      static_cast<std::size_t>(x)] = static_cast<std::uint8_t>((byte >> bit) & 1);
        }
    }
}

} // namespace korvalin
