#include "BdfFont.h"

#include "Encodings.h"
#include "FileError.h"
#include "FontLimits.h"
#include "TextScan.h"

#include <algorithm>
#include <charconv>

namespace korvalin {
namespace {

// The blank-separated words of a line.
std::vector<std::string_view> words(std::string_view line) {
    std::vector<std::string_view> out;
    while (!line.empty()) {
        const std::size_t start = line.find_first_not_of(" \t");
        if (start == std::string_view::npos)
            break;
        line.remove_prefix(start);
        const std::size_t end = std::min(line.find_first_of(" \t"), line.size());
        out.push_back(line.substr(0, end));
        line.remove_prefix(end);
    }
    return out;
}

// A property's value without its quotes.
std::string_view unquoted(std::string_view line, std::string_view keyword) {
    std::string_view value = line.substr(keyword.size());
    value.remove_prefix(std::min(value.find_first_not_of(" \t"), value.size()));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        value = value.substr(1, value.size() - 2);
    return value;
}

bool number(std::string_view word, long& value) {
    if (word.starts_with('+'))
        word.remove_prefix(1);
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    return error == std::errc() && end == word.data() + word.size();
}

// The numbers after the keyword, or a FileError.
std::vector<long> numbers(std::string_view line, std::size_t count,
                          const std::filesystem::path& source) {
    const std::vector<std::string_view> parts = words(line);
    std::vector<long> out(count);
    for (std::size_t i = 0; i < count; ++i) {
        if (i + 1 >= parts.size() || !number(parts[i + 1], out[i]))
            throw FileError(source, "has a line \"" + std::string(line.substr(0, 40)) +
                                        "\" that lacks its numbers");
    }
    return out;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// The code that a name such as "code211" holds, as our exports write it.
std::optional<int> namedCode(std::string_view name) {
    if (!name.starts_with("code") || name.size() < 5 || name.size() > 7)
        return std::nullopt;
    long value = -1;
    if (!number(name.substr(4), value) || value < 0 || value > 255 || name[4] == '+')
        return std::nullopt;
    return static_cast<int>(value);
}

// The registry and encoding fields at the end of an XLFD name, when it is one.
std::optional<std::pair<std::string, std::string>> xlfdRegistry(std::string_view name) {
    if (!name.starts_with('-') || std::ranges::count(name, '-') != 14)
        return std::nullopt;
    const std::size_t last = name.rfind('-');
    const std::size_t before = name.rfind('-', last - 1);
    return std::pair(std::string(name.substr(before + 1, last - before - 1)),
                     std::string(name.substr(last + 1)));
}

struct Header {
    std::string xlfd;
    std::optional<std::string> registry;
    std::string encoding;
    std::optional<long> ascent, descent;
    long boxHeight = 0, boxBottom = 0;
};

// Maps each glyph's encoding to a code point through the font's registry.
void mapEncodings(const Header& header, BdfFont& font, const std::filesystem::path& source) {
    std::string registry;
    std::string encoding;
    if (header.registry) {
        registry = *header.registry;
        encoding = header.encoding;
    } else if (const auto fromName = xlfdRegistry(header.xlfd)) {
        std::tie(registry, encoding) = *fromName;
        font.note = "no CHARSET_REGISTRY; " + registry + "-" + encoding + " from its FONT name";
    } else {
        registry = "ISO10646";
        encoding = "1";
        font.note = "no CHARSET_REGISTRY nor XLFD name; encodings read as Unicode";
    }
    font.registry = registry + "-" + encoding;
    std::string upper = registry;
    std::ranges::transform(upper, upper.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    });
    const EncodingTable* table = nullptr;
    if (upper != "ISO10646") {
        table = FindEncoding(registry, encoding);
        if (!table)
            throw FileError(source, "has the registry " + font.registry +
                                        ", which this program has no table of (it reads "
                                        "ISO10646, ISO8859-1 to -16, KOI8-R, KOI8-U and CP1251)");
    }
    for (std::size_t i = 0; i < font.glyphs.size(); ++i) {
        const long code = font.glyphs[i].encoding;
        if (code < 0 || code > 0x10FFFF)
            continue;
        const std::optional<char32_t> point =
            table ? DecodeByte(*table, static_cast<unsigned>(code)) : static_cast<char32_t>(code);
        if (point)
            font.glyphOf.emplace(*point, i);
    }
}

} // namespace

bool IsBdf(std::string_view bytes) {
    TextLines lines(bytes);
    std::string_view line;
    while (lines.next(line)) {
        if (!line.starts_with("COMMENT"))
            return line.starts_with("STARTFONT");
    }
    return false;
}

BdfFont ReadBdf(std::string_view bytes, const std::filesystem::path& source) {
    BdfFont font;
    Header header;
    TextLines lines(bytes);
    std::string_view line;
    std::optional<BdfFont::Glyph> glyph;
    long rowsLeft = -1; // bitmap rows still to read, -1 outside a bitmap
    while (lines.next(line)) {
        if (rowsLeft >= 0 && !line.starts_with("ENDCHAR")) {
            if (rowsLeft == 0)
                continue; // rows beyond the box are ignored
            const std::size_t rowBytes = static_cast<std::size_t>(glyph->width + 7) / 8;
            const std::size_t at =
                font.bitmaps.size() - static_cast<std::size_t>(rowsLeft) * rowBytes;
            for (std::size_t i = 0; i < rowBytes && 2 * i + 1 < line.size(); ++i) {
                const int high = hexDigit(line[2 * i]);
                const int low = hexDigit(line[2 * i + 1]);
                if (high < 0 || low < 0)
                    throw FileError(source, "has a bitmap row \"" +
                                                std::string(line.substr(0, 40)) +
                                                "\" that is not hexadecimal");
                font.bitmaps[at + i] = static_cast<std::uint8_t>(high << 4 | low);
            }
            --rowsLeft;
            continue;
        }
        const std::string_view keyword =
            line.substr(0, std::min(line.find_first_of(" \t"), line.size()));
        if (keyword == "FONT") {
            header.xlfd = unquoted(line, keyword);
        } else if (keyword == "CHARSET_REGISTRY") {
            header.registry = unquoted(line, keyword);
        } else if (keyword == "CHARSET_ENCODING") {
            header.encoding = unquoted(line, keyword);
        } else if (keyword == "FONT_ASCENT") {
            header.ascent = numbers(line, 1, source)[0];
        } else if (keyword == "FONT_DESCENT") {
            header.descent = numbers(line, 1, source)[0];
        } else if (keyword == "FONTBOUNDINGBOX") {
            const std::vector<long> box = numbers(line, 4, source);
            header.boxHeight = box[1];
            header.boxBottom = box[3];
        } else if (keyword == "STARTCHAR") {
            if (glyph)
                throw FileError(source, "starts glyph \"" + std::string(unquoted(line, keyword)) +
                                            "\" inside another");
            if (font.glyphs.size() >= kMaxGlyphs)
                throw FileError(source, "has more than " + std::to_string(kMaxGlyphs) +
                                            " glyphs, the most a font may have");
            glyph.emplace();
            glyph->name = unquoted(line, keyword);
        } else if (keyword == "ENCODING" && glyph) {
            glyph->encoding = numbers(line, 1, source)[0];
        } else if (keyword == "BBX" && glyph) {
            const std::vector<long> box = numbers(line, 4, source);
            if (box[0] < 0 || box[1] < 0 || box[0] > kMaxGlyphSide || box[1] > kMaxGlyphSide ||
                std::abs(box[2]) > kMaxGlyphSide || std::abs(box[3]) > kMaxGlyphSide)
                throw FileError(source, "has a glyph box \"" + std::string(line.substr(0, 40)) +
                                            "\" beyond " + std::to_string(kMaxGlyphSide) +
                                            " pixels");
            glyph->width = static_cast<int>(box[0]);
            glyph->height = static_cast<int>(box[1]);
            glyph->left = static_cast<int>(box[2]);
            glyph->bottom = static_cast<int>(box[3]);
        } else if (keyword == "BITMAP" && glyph) {
            const std::size_t rowBytes = static_cast<std::size_t>(glyph->width + 7) / 8;
            glyph->offset = font.bitmaps.size();
            // Bounded by the limits check: no more bitmap bytes than the file has.
            font.bitmaps.resize(font.bitmaps.size() +
                                rowBytes * static_cast<std::size_t>(glyph->height));
            rowsLeft = glyph->height;
        } else if (keyword == "ENDCHAR" && glyph) {
            if (rowsLeft < 0) // no bitmap: a blank glyph
                glyph->height = 0;
            rowsLeft = -1;
            if (const std::optional<int> code = namedCode(glyph->name))
                font.glyphOfCode.emplace(*code, font.glyphs.size());
            font.glyphs.push_back(std::move(*glyph));
            glyph.reset();
        }
    }
    if (glyph)
        throw FileError(source, "ends inside glyph \"" + glyph->name + "\"");
    font.ascent = static_cast<int>(
        std::clamp(header.ascent.value_or(header.boxHeight + header.boxBottom), 0L, 4096L));
    font.descent =
        static_cast<int>(std::clamp(header.descent.value_or(-header.boxBottom), 0L, 4096L));
    mapEncodings(header, font, source);
    return font;
}

std::string BdfGlyphSource::sizeText() const {
    return "size " + std::to_string(font_.ascent + font_.descent) + " px, strike 1 of 1";
}

SourceGlyph BdfGlyphSource::glyphAt(std::size_t index) const {
    const BdfFont::Glyph& from = font_.glyphs[index];
    SourceGlyph glyph{from.width, from.height, from.left, from.bottom + from.height, {}};
    const std::size_t rowBytes = static_cast<std::size_t>(from.width + 7) / 8;
    glyph.ink.reserve(static_cast<std::size_t>(from.width) * static_cast<std::size_t>(from.height));
    for (int y = 0; y < from.height; ++y) {
        for (int x = 0; x < from.width; ++x) {
            const std::uint8_t byte =
                font_.bitmaps[from.offset + static_cast<std::size_t>(y) * rowBytes +
                              static_cast<std::size_t>(x / 8)];
            glyph.ink.push_back((byte & (0x80 >> (x % 8))) != 0 ? 1 : 0);
        }
    }
    return glyph;
}

std::optional<SourceGlyph> BdfGlyphSource::glyph(char32_t codePoint) {
    const auto found = font_.glyphOf.find(codePoint);
    if (found == font_.glyphOf.end())
        return std::nullopt;
    return glyphAt(found->second);
}

std::optional<SourceGlyph> BdfGlyphSource::codeGlyph(int code) {
    const auto found = font_.glyphOfCode.find(code);
    if (found == font_.glyphOfCode.end())
        return std::nullopt;
    return glyphAt(found->second);
}

} // namespace korvalin
