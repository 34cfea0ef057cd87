#include "FreeTypeSource.h"

#include "FileError.h"
#include "FontSet.h"
#include "FreeTypeLibrary.h"

#include <algorithm>
#include <string_view>

namespace korvalin {

struct FreeTypeSource::Faces {
    FreeTypeLibrary library;
    FT_Face face = nullptr;
    ~Faces() {
        if (face)
            FT_Done_Face(face);
    }
};

namespace {

// What a font that FreeType ran out of its budget on fails with.
void checkBudget(const FreeTypeLibrary& library, const std::filesystem::path& source) {
    if (library.exhausted())
        throw FileError(source, "needs more than " + std::to_string(kFreeTypeBudget >> 20) +
                                    " MiB of memory to be read");
}

// Rows above and below the baseline at the size just set.
std::pair<int, int> sizeRows(FT_Face face) {
    const FT_Size_Metrics& metrics = face->size->metrics;
    return {static_cast<int>((metrics.ascender + 63) >> 6),
            static_cast<int>((-metrics.descender + 63) >> 6)};
}

constexpr FT_Int32 kLoadFlags = FT_LOAD_RENDER | FT_LOAD_TARGET_MONO | FT_LOAD_FORCE_AUTOHINT;

// The glyphs that set the size: brackets and bars reach further, and may lose a row.
constexpr const char* kMeasured = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

// The rows that the letters' and digits' ink takes above and below the baseline at `ppem`
// pixels to the em.
std::pair<int, int> letterRows(FT_Face face, int ppem) {
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(ppem)) != 0)
        return {FontSet::kRows, FontSet::kRows};
    int ascent = 0;
    int descent = 0;
    for (const char c : std::string_view(kMeasured)) {
        const FT_UInt index = FT_Get_Char_Index(face, static_cast<FT_ULong>(c));
        if (index == 0 || FT_Load_Glyph(face, index, kLoadFlags) != 0 ||
            face->glyph->bitmap.rows == 0)
            continue;
        ascent = std::max(ascent, face->glyph->bitmap_top);
        descent =
            std::max(descent, static_cast<int>(face->glyph->bitmap.rows) - face->glyph->bitmap_top);
    }
    return {ascent, descent};
}

} // namespace

FreeTypeSource::FreeTypeSource(std::string bytes, const std::filesystem::path& source)
    : bytes_(std::move(bytes)), faces_(std::make_unique<Faces>()), source_(source) {
    if (!faces_->library.get())
        throw FileError(source, "cannot be read: the font library did not start");
    if (FT_New_Memory_Face(faces_->library.get(), reinterpret_cast<const FT_Byte*>(bytes_.data()),
                           static_cast<FT_Long>(bytes_.size()), 0, &faces_->face) != 0) {
        checkBudget(faces_->library, source);
        throw FileError(source, "is not a font this program reads (BDF, PCF, PSF, TrueType, "
                                "OpenType or a glyph sheet PNG)");
    }
    FT_Face face = faces_->face;
    if (FT_Select_Charmap(face, FT_ENCODING_UNICODE) != 0)
        throw FileError(source, "has no Unicode character map");

    fixedSize_ = !FT_IS_SCALABLE(face);
    if (fixedSize_) {
        // The tallest strike that fits; failing that the smallest, which may fit by its ink.
        int chosen = -1;
        int smallest = -1;
        for (int i = 0; i < face->num_fixed_sizes; ++i) {
            if (FT_Select_Size(face, i) != 0)
                continue;
            const auto [up, down] = sizeRows(face);
            const auto height = face->available_sizes[i].height;
            if (up + down <= FontSet::kRows &&
                (chosen < 0 || height > face->available_sizes[chosen].height))
                chosen = i;
            if (smallest < 0 || height < face->available_sizes[smallest].height)
                smallest = i;
        }
        if (smallest < 0 || FT_Select_Size(face, chosen >= 0 ? chosen : smallest) != 0)
            throw FileError(source, "has no size this program can use");
        std::tie(ascent_, descent_) = sizeRows(face);
    } else {
        // Outline metrics hold room for the tallest accents, which leaves letters of three
        // rows; the ascent and descent that count are those of the letters and digits.
        int ppem = 2;
        std::pair<int, int> rows = letterRows(face, ppem);
        for (int larger = ppem + 1; larger <= 4 * FontSet::kRows; ++larger) {
            const std::pair<int, int> tried = letterRows(face, larger);
            if (tried.first + tried.second > FontSet::kRows)
                break;
            ppem = larger;
            rows = tried;
        }
        if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(ppem)) != 0)
            throw FileError(source, "cannot be scaled to 7 rows");
        std::tie(ascent_, descent_) = rows;
    }
    checkBudget(faces_->library, source);
}

FreeTypeSource::~FreeTypeSource() = default;

std::optional<SourceGlyph> FreeTypeSource::glyph(char32_t codePoint) {
    FT_Face face = faces_->face;
    const FT_UInt index = FT_Get_Char_Index(face, codePoint);
    if (index == 0)
        return std::nullopt;
    if (FT_Load_Glyph(face, index, kLoadFlags) != 0) {
        checkBudget(faces_->library, source_);
        return std::nullopt;
    }
    const FT_Bitmap& bitmap = face->glyph->bitmap;
    SourceGlyph glyph{static_cast<int>(bitmap.width),
                      static_cast<int>(bitmap.rows),
                      face->glyph->bitmap_left,
                      face->glyph->bitmap_top,
                      {}};
    glyph.ink.reserve(static_cast<std::size_t>(glyph.width) *
                      static_cast<std::size_t>(glyph.height));
    for (int y = 0; y < glyph.height; ++y) {
        const unsigned char* row = bitmap.buffer + static_cast<std::ptrdiff_t>(y) * bitmap.pitch;
        for (int x = 0; x < glyph.width; ++x) {
            const bool ink = bitmap.pixel_mode == FT_PIXEL_MODE_MONO
                                 ? (row[x / 8] & (0x80 >> (x % 8))) != 0
                                 : row[x] >= 128;
            glyph.ink.push_back(ink ? 1 : 0);
        }
    }
    return glyph;
}

} // namespace korvalin
