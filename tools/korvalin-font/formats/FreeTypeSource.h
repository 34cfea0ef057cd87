#pragma once

#include "GlyphSource.h"
#include "ImportOptions.h"

#include <filesystem>
#include <memory>
#include <string>

namespace korvalin {

// A font that FreeType reads (TrueType, OpenType and its other kinds but BDF and PCF, which
// have readers of their own), from memory, rendered monochrome. An outline font offers
// every size up to four times the cell's height in each hinting mode, a bitmap font its
// strikes; the size and hinting of the options come first, where they are given.
class FreeTypeSource : public GlyphSource {
public:
    // Throws FileError naming `source` for bytes that are no font, have no Unicode map,
    // lack the size asked for or need more memory than FreeType may have; glyph() throws
    // it for the last.
    FreeTypeSource(std::string bytes, const std::filesystem::path& source,
                   const ImportOptions& options = {});
    ~FreeTypeSource() override;
    FreeTypeSource(const FreeTypeSource&) = delete;
    FreeTypeSource& operator=(const FreeTypeSource&) = delete;

    [[nodiscard]] int ascent() const override { return ascent_; }
    [[nodiscard]] int descent() const override { return descent_; }
    [[nodiscard]] bool isFixedSize() const override { return fixedSize_; }
    [[nodiscard]] std::string sizeText() const override { return sizeText_; }
    [[nodiscard]] std::string note() const override { return note_; }
    [[nodiscard]] std::optional<SourceGlyph> glyph(char32_t codePoint) override;
    [[nodiscard]] std::vector<Rendering> renderings() const override;
    [[nodiscard]] Rendering rendering() const override { return rendering_; }
    void useRendering(const Rendering& rendering) override;
    [[nodiscard]] std::optional<Rendering> referenceRendering() const override;

private:
    struct Faces;
    [[nodiscard]] int strikeOfSize(int size) const;

    std::string bytes_; // FreeType reads the font from here for the face's whole life
    std::unique_ptr<Faces> faces_;
    std::filesystem::path source_;
    int ascent_ = 0;
    int descent_ = 0;
    bool fixedSize_ = false;
    Rendering rendering_;
    std::string sizeText_;
    std::string note_;
};

} // namespace korvalin
