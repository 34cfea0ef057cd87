#pragma once

#include "GlyphSource.h"
#include "ImportOptions.h"
#include "Sfnt.h"

#include <filesystem>
#include <memory>
#include <string>

namespace korvalin {

// A TrueType or OpenType font drawn by Windows itself: GDI's GetGlyphOutlineW in one bit
// a pixel, which applies the font's hinting as Windows draws small text. The font is
// loaded for this process alone and asked for by its family, weight and slant; its own
// character map finds the glyphs. It offers the import every size FreeType's outline
// fonts do, each with the font's own hinting, the one hinting Windows draws with.
class GdiSource : public GlyphSource {
public:
    // Throws FileError naming `source` for bytes that Windows cannot load or scale, whose
    // name Windows gives to an installed font of its own, or for hinting other than the
    // font's.
    GdiSource(std::string bytes, const std::filesystem::path& source,
              const ImportOptions& options = {});
    ~GdiSource() override;
    GdiSource(const GdiSource&) = delete;
    GdiSource& operator=(const GdiSource&) = delete;

    [[nodiscard]] int ascent() const override { return ascent_; }
    [[nodiscard]] int descent() const override { return descent_; }
    [[nodiscard]] bool isFixedSize() const override { return false; }
    [[nodiscard]] std::string sizeText() const override { return sizeText_; }
    [[nodiscard]] std::optional<SourceGlyph> glyph(char32_t codePoint) override;
    [[nodiscard]] std::vector<Rendering> renderings() const override;
    [[nodiscard]] Rendering rendering() const override { return rendering_; }
    void useRendering(const Rendering& rendering) override;
    [[nodiscard]] std::optional<Rendering> referenceRendering() const override {
        return Rendering{kReferenceOutlineSize, Hinting::Font};
    }

private:
    struct Gdi;
    void checkIdentity();

    std::string bytes_;
    SfntFont font_;
    std::filesystem::path source_;
    std::unique_ptr<Gdi> gdi_;
    int ascent_ = 0;
    int descent_ = 0;
    Rendering rendering_;
    std::string sizeText_;
};

} // namespace korvalin
