#include "GdiSource.h"

#include "FileError.h"
#include "FontLimits.h"
#include "FontSet.h"
#include "LibraryFont.h"

#include <algorithm>
#include <cwchar>
#include <vector>
#include <windows.h>

namespace korvalin {

// The font loaded into this process, a memory device context to draw with, and the font
// at the size chosen, selected into it; released in the reverse order.
struct GdiSource::Gdi {
    HANDLE loaded = nullptr;
    HDC context = nullptr;
    HFONT font = nullptr;
    HGDIOBJ original = nullptr;

    void select(HFONT next) {
        const HGDIOBJ previous = SelectObject(context, next);
        if (!original)
            original = previous;
        if (font)
            DeleteObject(font);
        font = next;
    }
    ~Gdi() {
        if (original)
            SelectObject(context, original);
        if (font)
            DeleteObject(font);
        if (context)
            DeleteDC(context);
        if (loaded)
            RemoveFontMemResourceEx(loaded);
    }
};

namespace {

std::string utf8(const std::wstring& text) {
    return PathText(std::filesystem::path(text));
}

// The ink of GetGlyphOutlineW's one-bit bitmap, whose rows start on 32-bit boundaries.
std::vector<std::uint8_t> inkOf(const std::vector<std::uint8_t>& bits, int width, int height) {
    const std::size_t pitch = (static_cast<std::size_t>(width) + 31) / 32 * 4;
    std::vector<std::uint8_t> ink;
    ink.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = bits.data() + static_cast<std::size_t>(y) * pitch;
        for (int x = 0; x < width; ++x)
            ink.push_back((row[x / 8] >> (7 - x % 8)) & 1);
    }
    return ink;
}

} // namespace

GdiSource::GdiSource(std::string bytes, const std::filesystem::path& source,
                     const ImportOptions& options)
    : bytes_(std::move(bytes)), font_(bytes_, source), source_(source),
      gdi_(std::make_unique<Gdi>()) {
    DWORD fonts = 0;
    gdi_->loaded =
        AddFontMemResourceEx(bytes_.data(), static_cast<DWORD>(bytes_.size()), nullptr, &fonts);
    if (!gdi_->loaded || fonts == 0)
        throw FileError(source, "is a font that Windows cannot load");
    gdi_->context = CreateCompatibleDC(nullptr);
    if (!gdi_->context)
        throw FileError(source, "cannot be drawn: " + windowsReason(GetLastError()));
    // Until the import's judge chooses: the size asked for, else the cell's height.
    useRendering({options.size.value_or(FontSet::kRows), options.hinting.value_or(Hinting::Font)});
    checkIdentity();
}

GdiSource::~GdiSource() = default;

std::vector<Rendering> GdiSource::renderings() const {
    std::vector<Rendering> all;
    for (int size = 2; size <= kLargestOutlineSize; ++size)
        all.push_back({size, Hinting::Font});
    return all;
}

void GdiSource::useRendering(const Rendering& rendering) {
    if (rendering.hinting != Hinting::Font)
        throw FileError(source_, "is an outline font, which Windows draws with the font's own "
                                 "hinting only (--hinting font); auto and none need FreeType");
    LOGFONTW wanted{};
    wanted.lfHeight = -rendering.size; // negative: the em, not the cell
    wanted.lfWeight = font_.weight();
    wanted.lfItalic = font_.italic() ? TRUE : FALSE;
    wanted.lfCharSet = DEFAULT_CHARSET;
    wanted.lfOutPrecision = OUT_OUTLINE_PRECIS;
    wanted.lfQuality = NONANTIALIASED_QUALITY;
    // Windows knows a face by at most 31 characters of its name.
    const std::u16string& family = font_.family();
    std::copy_n(family.begin(), std::min<std::size_t>(family.size(), LF_FACESIZE - 1),
                wanted.lfFaceName);
    const HFONT font = CreateFontIndirectW(&wanted);
    if (!font)
        throw FileError(source_,
                        "cannot be scaled to " + std::to_string(rendering.size) + " pixels");
    gdi_->select(font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(gdi_->context, &metrics);
    ascent_ = metrics.tmAscent;
    descent_ = metrics.tmDescent;
    rendering_ = rendering;
    sizeText_ = "size " + std::to_string(rendering.size) +
                " px, outline, the font's hinting as Windows draws it";
}

// Windows takes a font by its name, and an installed one of the same name may come first;
// what it selected must have this font's header.
void GdiSource::checkIdentity() {
    constexpr DWORD kHead = 'h' | 'e' << 8 | 'a' << 16 | 'd' << 24;
    const std::string_view header = font_.header();
    std::string selected(header.size(), '\0');
    const DWORD read =
        GetFontData(gdi_->context, kHead, 0, selected.data(), static_cast<DWORD>(selected.size()));
    if (read == header.size() && selected == header)
        return;
    wchar_t face[LF_FACESIZE] = {};
    GetTextFaceW(gdi_->context, LF_FACESIZE, face);
    const std::wstring family(font_.family().begin(), font_.family().end());
    if (family.compare(0, LF_FACESIZE - 1, face) == 0)
        throw FileError(source_, "has the name of a font installed in Windows, \"" + utf8(family) +
                                     "\", which Windows draws in its place; "
                                     "uninstall that font to import this one");
    throw FileError(source_, "is a font that Windows does not draw by its name \"" + utf8(family) +
                                 "\" (it drew \"" + utf8(face) + "\")");
}

std::optional<SourceGlyph> GdiSource::glyph(char32_t codePoint) {
    const std::optional<std::uint16_t> index = font_.glyphIndex(codePoint);
    if (!index)
        return std::nullopt;
    constexpr MAT2 kIdentity{{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    constexpr UINT kFormat = GGO_BITMAP | GGO_GLYPH_INDEX;
    GLYPHMETRICS metrics{};
    const DWORD size =
        GetGlyphOutlineW(gdi_->context, *index, kFormat, &metrics, 0, nullptr, &kIdentity);
    if (size == GDI_ERROR)
        return std::nullopt;
    SourceGlyph glyph{0, 0, metrics.gmptGlyphOrigin.x, metrics.gmptGlyphOrigin.y, {}};
    // A blank glyph has no bitmap, only its one-pixel box.
    if (size == 0)
        return glyph;
    glyph.width = static_cast<int>(metrics.gmBlackBoxX);
    glyph.height = static_cast<int>(metrics.gmBlackBoxY);
    const std::size_t pitch = (static_cast<std::size_t>(glyph.width) + 31) / 32 * 4;
    if (glyph.width > kMaxGlyphSide || glyph.height > kMaxGlyphSide ||
        size < pitch * static_cast<std::size_t>(glyph.height))
        return std::nullopt;
    std::vector<std::uint8_t> bits(size);
    if (GetGlyphOutlineW(gdi_->context, *index, kFormat, &metrics, size, bits.data(), &kIdentity) ==
        GDI_ERROR)
        return std::nullopt;
    glyph.ink = inkOf(bits, glyph.width, glyph.height);
    return glyph;
}

std::unique_ptr<GlyphSource> OpenLibraryFont(std::string bytes, const std::filesystem::path& source,
                                             const ImportOptions& options) {
    if (!IsSfnt(bytes))
        throw FileError(source, kNotAFont);
    return std::make_unique<GdiSource>(std::move(bytes), source, options);
}

} // namespace korvalin
