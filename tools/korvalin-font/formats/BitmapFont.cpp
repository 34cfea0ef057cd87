#include "BitmapFont.h"

#include "Bdf.h"
#include "Charmap.h"
#include "Encodings.h"
#include "FileError.h"
#include "FontLimits.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>

namespace korvalin {
namespace {

// The code that a name such as "code211" holds, as our exports write it.
std::optional<int> namedCode(std::string_view name) {
    if (!name.starts_with("code") || name.size() < 5 || name.size() > 7 || name[4] == '+')
        return std::nullopt;
    int value = -1;
    const auto [end, error] = std::from_chars(name.data() + 4, name.data() + name.size(), value);
    if (error != std::errc() || end != name.data() + name.size() || value < 0 || value > 255)
        return std::nullopt;
    return value;
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

std::string sizeText(long width, long height) {
    return std::to_string(width) + " x " + std::to_string(height) + " pixels";
}

} // namespace

std::string GlyphBoxProblem(const GlyphBox& box) {
    if (box.width < 0 || box.height < 0)
        return "of " + sizeText(box.width, box.height) + ", a negative size";
    if (box.width > kMaxGlyphSide || box.height > kMaxGlyphSide)
        return "of " + sizeText(box.width, box.height) + ", larger than " +
               sizeText(kMaxGlyphSide, kMaxGlyphSide);
    if (std::abs(box.left) > kMaxGlyphSide || std::abs(box.bottom) > kMaxGlyphSide)
        return "drawn " + std::to_string(box.left) + ", " + std::to_string(box.bottom) +
               " pixels from its origin, farther than " + std::to_string(kMaxGlyphSide);
    return {};
}

std::string BitmapFont::sizeText() const {
    return "size " + std::to_string(ascent_ + descent_) + " px, strike 1 of 1";
}

std::uint32_t BitmapFont::addGlyph(const GlyphBox& box, std::uint32_t rows, std::string_view name,
                                   const std::filesystem::path& source) {
    if (glyphs_.size() == kMaxGlyphs)
        throw FileError(source, "has more than " + std::to_string(kMaxGlyphs) +
                                    " glyphs, the most a font may have");
    if (const std::string problem = GlyphBoxProblem(box); !problem.empty())
        throw FileError(source, "has a glyph " + problem);
    if (const std::optional<int> code = namedCode(name)) {
        std::int32_t& first = byCode_[static_cast<std::size_t>(*code)];
        if (first < 0)
            first = static_cast<std::int32_t>(glyphs_.size());
    }
    glyphs_.push_back({static_cast<std::int16_t>(box.width), static_cast<std::int16_t>(box.height),
                       static_cast<std::int16_t>(box.left), static_cast<std::int16_t>(box.bottom),
                       rows});
    return static_cast<std::uint32_t>(glyphs_.size() - 1);
}

void BitmapFont::encode(std::uint32_t code, std::uint32_t index) {
    encodings_.emplace_back(code, index);
}

void BitmapFont::mapEncodings(const FontCharset& charset, const std::filesystem::path& source) {
    std::string registry;
    std::string encoding;
    if (charset.registry) {
        registry = *charset.registry;
        encoding = charset.encoding;
    } else if (const auto fromName = xlfdRegistry(charset.name)) {
        std::tie(registry, encoding) = *fromName;
        note_ = "no CHARSET_REGISTRY; " + registry + "-" + encoding + " from its FONT name";
    } else {
        registry = "ISO10646";
        encoding = "1";
        note_ = "no CHARSET_REGISTRY nor XLFD name; encodings read as Unicode";
    }
    registry_ = registry + "-" + encoding;
    ownExport_ = charset.name.starts_with("-" + std::string(kExportFoundry) + "-");
    const auto upper = [](std::string text) {
        std::ranges::transform(text, text.begin(), [](unsigned char c) {
            return static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
        });
        return text;
    };
    // Unicode itself, and ASCII (the X name of ISO 646's reference version) as its start.
    const bool unicode = upper(registry) == "ISO10646";
    const bool ascii = upper(registry) == "ISO646.1991" && upper(encoding) == "IRV";
    const EncodingTable* table = nullptr;
    if (!unicode && !ascii) {
        table = FindEncoding(registry, encoding);
        if (!table)
            throw FileError(source, "has the registry " + registry_ +
                                        ", which this program has no table of; it reads fonts "
                                        "whose CHARSET_REGISTRY-CHARSET_ENCODING is " +
                                        RegistryNames());
        if (note_.empty())
            note_ = "registry " + registry_ + " mapped to Unicode through its table";
    }
    const std::uint32_t last = ascii ? 0x7F : 0x10FFFF;
    byPoint_.clear();
    byPoint_.reserve(encodings_.size());
    for (const auto& [code, index] : encodings_) {
        if (code > last)
            continue;
        const std::optional<char32_t> point =
            table ? DecodeByte(*table, code) : static_cast<char32_t>(code);
        if (point)
            byPoint_.emplace_back(*point, index);
    }
    encodings_ = {};
    // Stable, so that the first glyph that encodes a code point comes first.
    std::ranges::stable_sort(byPoint_, {}, &std::pair<char32_t, std::uint32_t>::first);
}

SourceGlyph BitmapFont::glyphAt(std::uint32_t index) const {
    const BitmapGlyph& from = glyphs_[index];
    SourceGlyph glyph{from.width, from.height, from.left, from.bottom + from.height, {}};
    glyph.ink.assign(static_cast<std::size_t>(from.width) * static_cast<std::size_t>(from.height),
                     0);
    drawRows(from, glyph);
    return glyph;
}

std::optional<SourceGlyph> BitmapFont::glyph(char32_t codePoint) {
    const auto found = std::ranges::lower_bound(byPoint_, codePoint, {},
                                                &std::pair<char32_t, std::uint32_t>::first);
    if (found == byPoint_.end() || found->first != codePoint)
        return std::nullopt;
    return glyphAt(found->second);
}

std::optional<SourceGlyph> BitmapFont::codeGlyph(int code) {
    if (code < 0 || code >= static_cast<int>(byCode_.size()))
        return std::nullopt;
    if (byCode_[static_cast<std::size_t>(code)] >= 0)
        return glyphAt(static_cast<std::uint32_t>(byCode_[static_cast<std::size_t>(code)]));
    // A PCF that bdftopcf made of our BDF has no names, but its encodings.
    return ownExport_ ? glyph(PrivateUseCodePoint(code)) : std::nullopt;
}

} // namespace korvalin
