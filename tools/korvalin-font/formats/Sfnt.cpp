#include "Sfnt.h"

#include "FileError.h"

#include <algorithm>

namespace korvalin {
namespace {

// Big-endian numbers at an offset, or nothing past the end.
std::optional<std::uint32_t> big(std::string_view bytes, std::size_t at, std::size_t size) {
    if (at > bytes.size() || bytes.size() - at < size)
        return std::nullopt;
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < size; ++i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}
std::optional<std::uint32_t> u16(std::string_view bytes, std::size_t at) {
    return big(bytes, at, 2);
}
std::optional<std::uint32_t> u32(std::string_view bytes, std::size_t at) {
    return big(bytes, at, 4);
}

constexpr std::uint32_t tag(const char (&name)[5]) {
    return static_cast<std::uint32_t>(name[0]) << 24 | static_cast<std::uint32_t>(name[1]) << 16 |
           static_cast<std::uint32_t>(name[2]) << 8 | static_cast<std::uint32_t>(name[3]);
}

// The table `name` of the font whose directory starts at `start`, empty when it has none.
std::string_view table(std::string_view bytes, std::size_t start, std::uint32_t name,
                       const std::filesystem::path& source) {
    const std::uint32_t count = u16(bytes, start + 4).value_or(0);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t record = start + 12 + 16 * std::size_t{i};
        const auto found = u32(bytes, record);
        const auto offset = u32(bytes, record + 8);
        const auto length = u32(bytes, record + 12);
        if (!found || !offset || !length)
            break;
        if (*found != name)
            continue;
        if (*offset > bytes.size() || bytes.size() - *offset < *length)
            throw FileError(source, "is a damaged font: a table lies beyond its end");
        return bytes.substr(*offset, *length);
    }
    return {};
}

} // namespace

bool IsSfnt(std::string_view bytes) {
    const std::optional<std::uint32_t> version = u32(bytes, 0);
    return version && (*version == 0x00010000 || *version == tag("OTTO") ||
                       *version == tag("true") || *version == tag("ttcf"));
}

SfntFont::SfntFont(std::string_view bytes, const std::filesystem::path& source) : source_(source) {
    if (!IsSfnt(bytes))
        throw FileError(source, "is not a TrueType or OpenType font");
    // A collection's fonts share its bytes; the first one is the font, as for FreeType.
    const std::size_t start = u32(bytes, 0) == tag("ttcf") ? u32(bytes, 12).value_or(0) : 0;
    const auto tableNamed = [&](const char(&name)[5]) {
        return table(bytes, start, tag(name), source);
    };
    header_ = tableNamed("head");
    const std::string_view names = tableNamed("name");
    const std::string_view maps = tableNamed("cmap");
    if (header_.size() < 54 || names.empty() || maps.empty())
        throw FileError(source, "is a damaged font: it lacks a header, names or a character map");
    readName(names);
    chooseMap(maps);
    glyphCount_ = u16(tableNamed("maxp"), 4).value_or(0xFFFF);
    const std::string_view metrics = tableNamed("OS/2");
    weight_ = static_cast<int>(u16(metrics, 4).value_or(400));
    // The slant as OS/2 has it, else as the header's style bits do.
    italic_ = metrics.size() > 63 ? (*u16(metrics, 62) & 1) != 0 : (*u16(header_, 44) & 2) != 0;
}

void SfntFont::readName(std::string_view table) {
    const std::uint32_t count = u16(table, 2).value_or(0);
    const std::uint32_t strings = u16(table, 4).value_or(0);
    int best = 0; // 3: Windows in US English, 2: Windows, 1: Unicode
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t record = 6 + 12 * std::size_t{i};
        const auto platform = u16(table, record);
        const auto language = u16(table, record + 4);
        const auto id = u16(table, record + 6);
        const auto length = u16(table, record + 8);
        const auto offset = u16(table, record + 10);
        if (!offset)
            break;
        const int rank = *id != 1         ? 0
                         : *platform == 3 ? (*language == 0x409 ? 3 : 2)
                         : *platform == 0 ? 1
                                          : 0;
        const std::size_t at = std::size_t{strings} + *offset;
        if (rank <= best || at > table.size() || table.size() - at < *length)
            continue;
        best = rank;
        family_.clear();
        for (std::size_t unit = 0; unit + 1 < *length; unit += 2)
            family_ += static_cast<char16_t>(*u16(table, at + unit));
    }
    if (family_.empty())
        throw FileError(source_, "is a damaged font: it has no family name");
}

void SfntFont::chooseMap(std::string_view table) {
    const std::uint32_t count = u16(table, 2).value_or(0);
    int best = 0; // 2: every code point (format 12), 1: the first 65536 (format 4)
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t record = 4 + 8 * std::size_t{i};
        const auto platform = u16(table, record);
        const auto encoding = u16(table, record + 2);
        const auto offset = u32(table, record + 4);
        if (!offset)
            break;
        // Every subtable it reads has at least its 16 bytes of header.
        const auto format =
            u32(table, std::size_t{*offset} + 12) ? u16(table, *offset) : std::nullopt;
        const bool unicode =
            *platform == 0 || (*platform == 3 && (*encoding == 1 || *encoding == 10));
        const int rank = !unicode || !format ? 0 : *format == 12 ? 2 : *format == 4 ? 1 : 0;
        if (rank > best) {
            best = rank;
            map_ = table.substr(*offset);
        }
    }
    if (best == 0)
        throw FileError(source_, "has no Unicode character map");
}

std::optional<std::uint16_t> SfntFont::glyphIndex(char32_t codePoint) const {
    std::optional<std::uint32_t> glyph;
    // Both maps keep their ranges in order of their last code point; a count beyond what
    // the bytes hold counts as far as they reach.
    const auto firstEndingAtOrAfter = [&](std::size_t count, auto lastOf) {
        std::size_t low = 0;
        for (std::size_t high = count; low < high;) {
            const std::size_t middle = low + (high - low) / 2;
            if (lastOf(middle) < codePoint)
                low = middle + 1;
            else
                high = middle;
        }
        return low;
    };
    if (u16(map_, 0) == 12) {
        const std::size_t groups =
            std::min<std::size_t>(u32(map_, 12).value_or(0), (map_.size() - 16) / 12);
        const std::size_t i = firstEndingAtOrAfter(
            groups, [&](std::size_t group) { return *u32(map_, 16 + 12 * group + 4); });
        const std::size_t group = 16 + 12 * i;
        if (i < groups && *u32(map_, group) <= codePoint)
            glyph = *u32(map_, group + 8) + (codePoint - *u32(map_, group));
    } else if (codePoint <= 0xFFFF) {
        const std::size_t segments =
            std::min<std::size_t>(u16(map_, 6).value_or(0) / 2, (map_.size() - 16) / 8);
        const std::size_t i = firstEndingAtOrAfter(
            segments, [&](std::size_t segment) { return *u16(map_, 14 + 2 * segment); });
        const std::size_t first = 16 + 2 * segments + 2 * i;
        const std::size_t delta = first + 2 * segments;
        const std::size_t range = delta + 2 * segments;
        if (i < segments && *u16(map_, first) <= codePoint) {
            const std::uint32_t offset = *u16(map_, range);
            // The offset leads from its own place into the glyph array; 0 adds the delta.
            const std::optional<std::uint32_t> raw =
                offset == 0 ? std::optional<std::uint32_t>(codePoint)
                            : u16(map_, range + offset + 2 * (codePoint - *u16(map_, first)));
            if (raw && *raw != 0)
                glyph = (*raw + *u16(map_, delta)) & 0xFFFF;
        }
    }
    if (!glyph || *glyph == 0 || *glyph >= glyphCount_)
        return std::nullopt;
    return static_cast<std::uint16_t>(*glyph);
}

} // namespace korvalin
