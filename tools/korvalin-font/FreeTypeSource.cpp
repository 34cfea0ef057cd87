#include "FreeTypeSource.h"

#include "FileError.h"
#include "FontSet.h"

#include <ft2build.h>
#include FT_FREETYPE_H

namespace korvalin {

struct FreeTypeSource::Faces {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    ~Faces() {
        if (face)
            FT_Done_Face(face);
        if (library)
            FT_Done_FreeType(library);
    }
};

namespace {

// Rows above and below the baseline at the size just set.
std::pair<int, int> sizeRows(FT_Face face) {
    const FT_Size_Metrics& metrics = face->size->metrics;
    return {static_cast<int>((metrics.ascender + 63) >> 6),
            static_cast<int>((-metrics.descender + 63) >> 6)};
}

} // namespace

FreeTypeSource::FreeTypeSource(std::string bytes, const std::filesystem::path& source)
    : bytes_(std::move(bytes)), faces_(std::make_unique<Faces>()) {
    if (FT_Init_FreeType(&faces_->library) != 0)
        throw FileError(source, "cannot be read: the font library did not start");
    if (FT_New_Memory_Face(faces_->library, reinterpret_cast<const FT_Byte*>(bytes_.data()),
                           static_cast<FT_Long>(bytes_.size()), 0, &faces_->face) != 0)
        throw FileError(source, "is not a font this program reads (BDF, PCF, PSF, TrueType, "
                                "OpenType or a glyph sheet PNG)");
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
    } else {
        int ppem = 4 * FontSet::kRows;
        for (; ppem > 1; --ppem) {
            if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(ppem)) != 0)
                continue;
            const auto [up, down] = sizeRows(face);
            if (up + down <= FontSet::kRows)
                break;
        }
        if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(ppem)) != 0)
            throw FileError(source, "cannot be scaled to 7 rows");
    }
    std::tie(ascent_, descent_) = sizeRows(face);
}

FreeTypeSource::~FreeTypeSource() = default;

std::optional<SourceGlyph> FreeTypeSource::glyph(char32_t codePoint) {
    FT_Face face = faces_->face;
    const FT_UInt index = FT_Get_Char_Index(face, codePoint);
    if (index == 0)
        return std::nullopt;
    if (FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO | FT_LOAD_FORCE_AUTOHINT) !=
        0)
        return std::nullopt;
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
