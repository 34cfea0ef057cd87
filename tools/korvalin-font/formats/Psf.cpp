#include "Psf.h"

#include "Charmap.h"
#include "FileError.h"
#include "GlyphRows.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>
#include <utility>

namespace korvalin {
namespace {

constexpr std::uint8_t kPsf1Magic[] = {0x36, 0x04};
constexpr std::uint8_t kPsf2Magic[] = {0x72, 0xB5, 0x4A, 0x86};
constexpr int kMaxSide = 64;
constexpr int kMaxGlyphs = 65536;
// Code points and sequences the Unicode table may name, a few for each glyph of the
// largest font: what a few bytes of table each can make the reader hold.
constexpr std::size_t kMaxTableEntries = std::size_t{4} * kMaxGlyphs;
// A sequence is a character and its combining marks; the charmap's have two code points.
constexpr std::size_t kMaxSequence = 8;

// Counts what the table names, refusing beyond kMaxTableEntries.
class TableEntries {
public:
    explicit TableEntries(const std::filesystem::path& source) : source_(source) {}

    // Adds `count` entries.
    void add(std::size_t count = 1) {
        if (count > kMaxTableEntries - count_)
            throw FileError(source_, "has a Unicode table of more than " +
                                         std::to_string(kMaxTableEntries) + " entries");
        count_ += count;
    }

private:
    const std::filesystem::path& source_;
    std::size_t count_ = 0;
};

std::uint32_t little32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[at + 2]) << 16 |
           static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

void put32(std::string& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        out += static_cast<char>((value >> shift) & 0xFF);
}

// PSF1: a table of 16-bit code points per glyph, 0xFFFE opening a sequence, 0xFFFF ending.
void readPsf1Table(std::span<const std::uint8_t> table, PsfFont& font, TableEntries& entries) {
    std::size_t at = 0;
    for (int glyph = 0; glyph < font.glyphCount && at + 1 < table.size(); ++glyph) {
        bool inSequence = false;
        std::u32string sequence;
        while (at + 1 < table.size()) {
            const auto unit = static_cast<char32_t>(table[at] | table[at + 1] << 8);
            at += 2;
            if (inSequence && (unit == 0xFFFE || unit == 0xFFFF) && !sequence.empty()) {
                entries.add();
                if (sequence.size() <= kMaxSequence)
                    font.glyphOfSequence.emplace(sequence, glyph);
                sequence.clear();
            }
            if (unit == 0xFFFF)
                break;
            if (unit == 0xFFFE) {
                inSequence = true;
            } else if (inSequence) {
                if (sequence.size() <= kMaxSequence)
                    sequence += unit;
            } else {
                entries.add();
                font.glyphOf.emplace(unit, glyph);
            }
        }
    }
}

// PSF2: UTF-8 per glyph, 0xFE opening a sequence, 0xFF ending.
void readPsf2Table(std::span<const std::uint8_t> table, PsfFont& font, TableEntries& entries) {
    std::size_t at = 0;
    for (int glyph = 0; glyph < font.glyphCount && at < table.size(); ++glyph) {
        std::size_t end = at;
        while (end < table.size() && table[end] != 0xFF)
            ++end;
        // The single code points, then each sequence after its 0xFE.
        for (std::size_t part = at, index = 0; part <= end; ++index) {
            std::size_t next = part;
            while (next < end && table[next] != 0xFE)
                ++next;
            // A code point takes at most four bytes: what so many bytes must hold is
            // counted before they are decoded, and a sequence too long to be one is skipped.
            const std::string_view bytes(reinterpret_cast<const char*>(table.data()) + part,
                                         next - part);
            if (index == 0)
                entries.add(bytes.size() / 4);
            else if (!bytes.empty())
                entries.add();
            try {
                if (index == 0) {
                    const std::u32string points = DecodeUtf8(bytes);
                    entries.add(points.size() - bytes.size() / 4);
                    for (const char32_t point : points)
                        font.glyphOf.emplace(point, glyph);
                } else if (bytes.size() <= 4 * kMaxSequence) {
                    const std::u32string points = DecodeUtf8(bytes);
                    if (!points.empty() && points.size() <= kMaxSequence)
                        font.glyphOfSequence.emplace(points, glyph);
                }
            } catch (const std::invalid_argument&) {
                // A malformed entry maps nothing; the glyphs stay readable.
            }
            part = next + 1;
        }
        at = end + 1;
    }
}

// The Unicode table of our own PSF: each code's symbol where the code owns it.
std::string codeTable() {
    std::string out;
    for (int code = 0; code < FontSet::kCharacters; ++code) {
        if (OwnsSymbol(code)) {
            const std::string_view symbol = kCharmapSymbols[static_cast<std::size_t>(code)];
            if (DecodeUtf8(symbol).size() > 1)
                out += '\xFE';
            out += symbol;
        }
        out += '\xFF';
    }
    return out;
}

} // namespace

bool PsfFont::ink(int glyph, int x, int y) const {
    const std::size_t rowBytes = static_cast<std::size_t>(width + 7) / 8;
    const std::size_t at = (static_cast<std::size_t>(glyph) * static_cast<std::size_t>(height) +
                            static_cast<std::size_t>(y)) *
                               rowBytes +
                           static_cast<std::size_t>(x / 8);
    return (bitmaps[at] & (0x80 >> (x % 8))) != 0;
}

bool IsPsf(std::string_view bytes) {
    const auto starts = [&](std::span<const std::uint8_t> magic) {
        return bytes.size() >= magic.size() &&
               std::equal(magic.begin(), magic.end(), bytes.begin(),
                          [](std::uint8_t a, char b) { return a == static_cast<std::uint8_t>(b); });
    };
    return starts(kPsf1Magic) || starts(kPsf2Magic);
}

PsfFont ReadPsf(std::span<const std::uint8_t> bytes, const std::filesystem::path& source) {
    PsfFont font;
    std::size_t glyphsAt = 0;
    bool hasTable = false;
    const bool psf2 = bytes.size() >= 4 &&
                      std::equal(std::begin(kPsf2Magic), std::end(kPsf2Magic), bytes.begin());
    if (psf2 && bytes.size() < 32)
        throw FileError(source, "ends inside its PSF2 header");
    if (psf2) {
        const std::uint32_t headerSize = little32(bytes, 8);
        const std::uint32_t length = little32(bytes, 16);
        const std::uint32_t charSize = little32(bytes, 20);
        const std::uint32_t height = little32(bytes, 24);
        const std::uint32_t width = little32(bytes, 28);
        if (width < 1 || width > kMaxSide || height < 1 || height > kMaxSide || length < 1 ||
            length > kMaxGlyphs || charSize != height * ((width + 7) / 8) || headerSize < 32 ||
            headerSize > bytes.size())
            throw FileError(source, "has a PSF2 header that makes no sense");
        font.width = static_cast<int>(width);
        font.height = static_cast<int>(height);
        font.glyphCount = static_cast<int>(length);
        glyphsAt = headerSize;
        hasTable = (little32(bytes, 12) & 1) != 0;
    } else if (bytes.size() >= 4 && bytes[0] == kPsf1Magic[0] && bytes[1] == kPsf1Magic[1]) {
        const std::uint8_t mode = bytes[2];
        if (bytes[3] < 1 || bytes[3] > kMaxSide)
            throw FileError(source, "has a PSF1 header that makes no sense");
        font.width = 8;
        font.height = bytes[3];
        font.glyphCount = (mode & 0x01) != 0 ? 512 : 256;
        glyphsAt = 4;
        hasTable = (mode & 0x06) != 0;
    } else {
        throw FileError(source, "is not a PSF console font");
    }

    const std::size_t glyphBytes = static_cast<std::size_t>(font.glyphCount) *
                                   static_cast<std::size_t>(font.height) *
                                   static_cast<std::size_t>((font.width + 7) / 8);
    if (bytes.size() - glyphsAt < glyphBytes)
        throw FileError(source, "ends inside its glyphs");
    const auto glyphs = bytes.subspan(glyphsAt, glyphBytes);
    font.bitmaps.assign(glyphs.begin(), glyphs.end());
    const auto table = bytes.subspan(glyphsAt + glyphBytes);
    if (!hasTable) {
        for (int glyph = 0; glyph < std::min(font.glyphCount, 256); ++glyph)
            font.glyphOf.emplace(static_cast<char32_t>(glyph), glyph);
    } else if (psf2) {
        TableEntries entries(source);
        readPsf2Table(table, font, entries);
        // Codes that share a symbol or have none come back only by their place.
        static const std::string ours = codeTable();
        font.inCodeOrder =
            font.glyphCount == FontSet::kCharacters &&
            std::string_view(reinterpret_cast<const char*>(table.data()), table.size()) == ours;
    } else {
        TableEntries entries(source);
        readPsf1Table(table, font, entries);
    }
    return font;
}

std::string WritePsf(const FontSet& table) {
    std::string out(kPsf2Magic, kPsf2Magic + 4);
    put32(out, 0);  // version
    put32(out, 32); // header size
    put32(out, 1);  // has a Unicode table
    put32(out, FontSet::kCharacters);
    put32(out, FontSet::kRows); // one byte a row
    put32(out, FontSet::kRows);
    put32(out, FontSet::kColumns);
    for (int code = 0; code < FontSet::kCharacters; ++code) {
        const auto glyph = table.glyph(code);
        for (int row = 0; row < FontSet::kRows; ++row)
            out += static_cast<char>(LeftAlignedRow(glyph, row));
    }
    return out + codeTable();
}

std::string PsfGlyphSource::sizeText() const {
    return "size " + std::to_string(font_.height) + " px, strike 1 of 1";
}

std::optional<SourceGlyph> PsfGlyphSource::codeGlyph(int code) {
    if (!font_.inCodeOrder)
        return std::nullopt;
    return glyphAt(code);
}

// The row most capitals and digits end on: Q and J may reach below it.
PsfGlyphSource::PsfGlyphSource(PsfFont font) : font_(std::move(font)) {
    std::map<int, int> bottoms; // row -> glyphs that end on it
    for (const char c : std::string_view("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789")) {
        const auto found = font_.glyphOf.find(static_cast<char32_t>(c));
        if (found == font_.glyphOf.end())
            continue;
        for (int y = font_.height - 1, inked = 0; y >= 0 && inked == 0; --y) {
            for (int x = 0; x < font_.width && inked == 0; ++x)
                inked = font_.ink(found->second, x, y) ? 1 : 0;
            if (inked != 0)
                ++bottoms[y];
        }
    }
    const auto most = std::ranges::max_element(
        bottoms, [](const auto& a, const auto& b) { return a.second < b.second; });
    descent_ = most == bottoms.end() ? 0 : font_.height - 1 - most->first;
}

SourceGlyph PsfGlyphSource::glyphAt(int index) const {
    SourceGlyph glyph{font_.width, font_.height, 0, ascent(), {}};
    glyph.ink.reserve(static_cast<std::size_t>(font_.width * font_.height));
    for (int y = 0; y < font_.height; ++y)
        for (int x = 0; x < font_.width; ++x)
            glyph.ink.push_back(font_.ink(index, x, y) ? 1 : 0);
    return glyph;
}

std::optional<SourceGlyph> PsfGlyphSource::glyph(char32_t codePoint) {
    const auto found = font_.glyphOf.find(codePoint);
    if (found == font_.glyphOf.end())
        return std::nullopt;
    return glyphAt(found->second);
}

std::optional<SourceGlyph> PsfGlyphSource::sequenceGlyph(std::u32string_view sequence) {
    const auto found = font_.glyphOfSequence.find(std::u32string(sequence));
    if (found == font_.glyphOfSequence.end())
        return std::nullopt;
    return glyphAt(found->second);
}

} // namespace korvalin
