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

// The glyphs whose fit sets the size: the letters and digits, since a size whose capitals
// fit may still cut the ascenders of b, d and l.
constexpr std::string_view kMeasured =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

enum class Fit { None, Rows, Whole };

// How the letters' and digits' ink at the size just set fits the cell over `baseline`:
// in its rows, and within its five columns too.
Fit capitalsFit(FT_Face face, FT_Int32 flags, int baseline) {
    bool narrow = true;
    for (const char c : kMeasured) {
        const FT_UInt index = FT_Get_Char_Index(face, static_cast<FT_ULong>(c));
        if (index == 0 || FT_Load_Glyph(face, index, flags) != 0)
            continue;
        const FT_Bitmap& bitmap = face->glyph->bitmap;
        int top = -1;
        int bottom = -1;
        int first = static_cast<int>(bitmap.width);
        int last = -1;
        for (int y = 0; y < static_cast<int>(bitmap.rows); ++y) {
            const unsigned char* row =
                bitmap.buffer + static_cast<std::ptrdiff_t>(y) * bitmap.pitch;
            for (int x = 0; x < static_cast<int>(bitmap.width); ++x) {
                const bool ink = bitmap.pixel_mode == FT_PIXEL_MODE_MONO
                                     ? (row[x / 8] & (0x80 >> (x % 8))) != 0
                                     : row[x] >= 128;
                if (!ink)
                    continue;
                top = top < 0 ? y : top;
                bottom = y;
                first = std::min(first, x);
                last = std::max(last, x);
            }
        }
        if (top < 0)
            continue;
        // Rows above the baseline, 0 for the row that sits on it.
        const int highest = face->glyph->bitmap_top - top - 1;
        const int lowest = face->glyph->bitmap_top - bottom - 1;
        if (highest > baseline || lowest < baseline - (FontSet::kRows - 1))
            return Fit::None;
        narrow = narrow && last - first + 1 <= FontSet::kColumns;
    }
    return narrow ? Fit::Whole : Fit::Rows;
}

constexpr int kLargestPpem = 4 * FontSet::kRows;

} // namespace

FreeTypeSource::FreeTypeSource(std::string bytes, const std::filesystem::path& source,
                               const ImportOptions& options)
    : bytes_(std::move(bytes)), faces_(std::make_unique<Faces>()), source_(source) {
    if (!faces_->library.get())
        throw FileError(source, "cannot be read: the font library did not start");
    if (FT_New_Memory_Face(faces_->library.get(), reinterpret_cast<const FT_Byte*>(bytes_.data()),
                           static_cast<FT_Long>(bytes_.size()), 0, &faces_->face) != 0) {
        checkBudget(faces_->library, source);
        throw FileError(source, "is not a font this program reads (BDF, PCF, PSF, TrueType, "
                                "OpenType or a glyph sheet PNG)");
    }
    faces_->loadFlags = loadFlags(options.hinting);
    if (FT_Select_Charmap(faces_->face, FT_ENCODING_UNICODE) != 0)
        throw FileError(source, "has no Unicode character map");
    fixedSize_ = !FT_IS_SCALABLE(faces_->face);
    if (fixedSize_)
        chooseStrike(options);
    else
        chooseOutlineSize(options);
    checkBudget(faces_->library, source);
}

FreeTypeSource::~FreeTypeSource() = default;

void FreeTypeSource::chooseStrike(const ImportOptions& options) {
    FT_Face face = faces_->face;
    const int baseline = options.baseline.value_or(kDefaultBaseline);
    int chosen = -1;
    int smallest = -1;
    std::string sizes;
    for (int i = 0; i < face->num_fixed_sizes; ++i) {
        const int height = face->available_sizes[i].height;
        sizes += (sizes.empty() ? "" : ", ") + std::to_string(height);
        if (FT_Select_Size(face, i) != 0)
            continue;
        if (options.size) {
            if (height == *options.size ||
                static_cast<int>((face->available_sizes[i].y_ppem + 32) >> 6) == *options.size)
                chosen = i;
            continue;
        }
        // The tallest strike whose letters and digits fit; failing that the smallest.
        if (capitalsFit(face, faces_->loadFlags, baseline) != Fit::None &&
            (chosen < 0 || height > face->available_sizes[chosen].height))
            chosen = i;
        if (smallest < 0 || height < face->available_sizes[smallest].height)
            smallest = i;
    }
    if (options.size && chosen < 0)
        throw FileError(source_, "has no strike of " + std::to_string(*options.size) +
                                     " pixels; its strikes are " + sizes);
    if (chosen < 0)
        chosen = smallest;
    if (chosen < 0 || FT_Select_Size(face, chosen) != 0)
        throw FileError(source_, "has no size this program can use");
    std::tie(ascent_, descent_) = sizeRows(face);
    sizeText_ = "size " + std::to_string(face->available_sizes[chosen].height) + " px, strike " +
                std::to_string(chosen + 1) + " of " + std::to_string(face->num_fixed_sizes);
}

void FreeTypeSource::chooseOutlineSize(const ImportOptions& options) {
    FT_Face face = faces_->face;
    int ppem = options.size.value_or(0);
    if (ppem == 0) {
        // The largest size whose letters and digits fit, within five columns if any does.
        const int baseline = options.baseline.value_or(kDefaultBaseline);
        int inRows = 0;
        for (int tried = 2; tried <= kLargestPpem; ++tried) {
            if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(tried)) != 0)
                continue;
            const Fit fit = capitalsFit(face, faces_->loadFlags, baseline);
            if (fit == Fit::Whole)
                ppem = tried;
            if (fit != Fit::None)
                inRows = tried;
        }
        ppem = ppem > 0 ? ppem : inRows > 0 ? inRows : FontSet::kRows;
    }
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(ppem)) != 0)
        throw FileError(source_, "cannot be scaled to " + std::to_string(ppem) + " pixels");
    std::tie(ascent_, descent_) = sizeRows(face);
    const char* hinting = (faces_->loadFlags & FT_LOAD_FORCE_AUTOHINT) != 0 ? "auto-hinted"
                          : (faces_->loadFlags & FT_LOAD_NO_HINTING) != 0   ? "unhinted"
                                                                            : "the font's hinting";
    sizeText_ = "size " + std::to_string(ppem) + " px, outline, " + hinting;
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

} // namespace korvalin
