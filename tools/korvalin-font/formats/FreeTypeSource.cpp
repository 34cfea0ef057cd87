#include "FreeTypeSource.h"

#include "FileError.h"
#include "FontSet.h"
#include "FreeTypeLibrary.h"
#include "LibraryFont.h"

#include <algorithm>
#include <string_view>

namespace korvalin {

struct FreeTypeSource::Faces {
    FreeTypeLibrary library;
    FT_Face face = nullptr;
    FT_Int32 loadFlags = FT_LOAD_RENDER | FT_LOAD_MONOCHROME;
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

// The font's own hinting through the hinting target that keeps stems apart, rendered to
// one bit as otf2bdf does; the monochrome target's full hinting draws "8" as an hourglass.
FT_Int32 loadFlags(Hinting hinting) {
    constexpr FT_Int32 mono = FT_LOAD_RENDER | FT_LOAD_MONOCHROME;
    switch (hinting) {
    case Hinting::Auto:
        return mono | FT_LOAD_FORCE_AUTOHINT;
    case Hinting::None:
        return mono | FT_LOAD_NO_HINTING;
    case Hinting::Font:
        break;
    }
    return mono;
}

} // namespace

FreeTypeSource::FreeTypeSource(std::string bytes, const std::filesystem::path& source,
                               const ImportOptions& options)
    : bytes_(std::move(bytes)), faces_(std::make_unique<Faces>()), source_(source) {
    if (!faces_->library.get())
        throw FileError(source, "cannot be read: the font library did not start");
    if (FT_New_Memory_Face(faces_->library.get(), reinterpret_cast<const FT_Byte*>(bytes_.data()),
                           static_cast<FT_Long>(bytes_.size()), 0, &faces_->face) != 0) {
        checkBudget(faces_->library, source);
        throw FileError(source, kNotAFont);
    }
    if (FT_Select_Charmap(faces_->face, FT_ENCODING_UNICODE) != 0)
        throw FileError(source, "has no Unicode character map");
    fixedSize_ = !FT_IS_SCALABLE(faces_->face);
    if (fixedSize_ && faces_->face->num_fixed_sizes < 1)
        throw FileError(source, "has no size this program can use");
    if (options.size && fixedSize_ && strikeOfSize(*options.size) < 0) {
        std::string sizes;
        for (const Rendering& strike : renderings())
            sizes += (sizes.empty() ? "" : ", ") + std::to_string(strike.size);
        throw FileError(source_, "has no strike of " + std::to_string(*options.size) +
                                     " pixels; its strikes are " + sizes);
    }
    // Until the import's judge chooses: the size asked for, else the cell's height or the
    // first strike.
    useRendering({options.size.value_or(fixedSize_ ? faces_->face->available_sizes[0].height
                                                   : FontSet::kRows),
                  options.hinting.value_or(Hinting::Font)});
    checkBudget(faces_->library, source);
}

FreeTypeSource::~FreeTypeSource() = default;

int FreeTypeSource::strikeOfSize(int size) const {
    const FT_Face face = faces_->face;
    for (int i = 0; i < face->num_fixed_sizes; ++i) {
        if (face->available_sizes[i].height == size ||
            static_cast<int>((face->available_sizes[i].y_ppem + 32) >> 6) == size)
            return i;
    }
    return -1;
}

std::vector<Rendering> FreeTypeSource::renderings() const {
    std::vector<Rendering> all;
    const FT_Face face = faces_->face;
    if (fixedSize_) {
        for (int i = 0; i < face->num_fixed_sizes; ++i)
            all.push_back({face->available_sizes[i].height, Hinting::Font});
        return all;
    }
    for (int size = 2; size <= kLargestOutlineSize; ++size)
        for (const Hinting hinting : {Hinting::Font, Hinting::Auto, Hinting::None})
            all.push_back({size, hinting});
    return all;
}

std::optional<Rendering> FreeTypeSource::referenceRendering() const {
    if (fixedSize_)
        return std::nullopt;
    return Rendering{kReferenceOutlineSize, Hinting::None};
}

void FreeTypeSource::useRendering(const Rendering& rendering) {
    FT_Face face = faces_->face;
    faces_->loadFlags = loadFlags(rendering.hinting);
    if (fixedSize_) {
        const int strike = strikeOfSize(rendering.size);
        if (strike < 0 || FT_Select_Size(face, strike) != 0)
            throw FileError(source_, "has no strike of " + std::to_string(rendering.size) +
                                         " pixels it can use");
        rendering_ = {face->available_sizes[strike].height, Hinting::Font};
        sizeText_ = "size " + std::to_string(rendering_.size) + " px, strike " +
                    std::to_string(strike + 1) + " of " + std::to_string(face->num_fixed_sizes);
    } else {
        if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(rendering.size)) != 0)
            throw FileError(source_,
                            "cannot be scaled to " + std::to_string(rendering.size) + " pixels");
        rendering_ = rendering;
        const char* hinting = rendering.hinting == Hinting::Auto   ? "auto-hinted"
                              : rendering.hinting == Hinting::None ? "unhinted"
                                                                   : "the font's hinting";
        sizeText_ = "size " + std::to_string(rendering.size) + " px, outline, " + hinting;
    }
    std::tie(ascent_, descent_) = sizeRows(face);
}

std::optional<SourceGlyph> FreeTypeSource::glyph(char32_t codePoint) {
    FT_Face face = faces_->face;
    const FT_UInt index = FT_Get_Char_Index(face, codePoint);
    if (index == 0)
        return std::nullopt;
    if (FT_Load_Glyph(face, index, faces_->loadFlags) != 0) {
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

std::unique_ptr<GlyphSource> OpenLibraryFont(std::string bytes, const std::filesystem::path& source,
                                             const ImportOptions& options) {
    return std::make_unique<FreeTypeSource>(std::move(bytes), source, options);
}

} // namespace korvalin
