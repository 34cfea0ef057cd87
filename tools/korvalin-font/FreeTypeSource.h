#pragma once

#include "GlyphSource.h"

#include <filesystem>
#include <memory>
#include <string>

namespace korvalin {

// A font that FreeType reads (BDF, PCF and gzipped PCF, TrueType, OpenType), from memory,
// rendered monochrome at the largest size whose ascent and descent fit 7 rows: a strike's
// own, or for an outline font those of its letters and digits.
class FreeTypeSource : public GlyphSource {
public:
    // Throws FileError naming `source` for bytes that are no font, have no Unicode map or
    // need more memory than FreeType may have; glyph() throws it for the last.
    FreeTypeSource(std::string bytes, const std::filesystem::path& source);
    ~FreeTypeSource() override;
    FreeTypeSource(const FreeTypeSource&) = delete;
    FreeTypeSource& operator=(const FreeTypeSource&) = delete;

    [[nodiscard]] int ascent() const override { return ascent_; }
    [[nodiscard]] int descent() const override { return descent_; }
    [[nodiscard]] bool isFixedSize() const override { return fixedSize_; }
    [[nodiscard]] std::optional<SourceGlyph> glyph(char32_t codePoint) override;

private:
    struct Faces;
    std::string bytes_; // FreeType reads the font from here for the face's whole life
    std::unique_ptr<Faces> faces_;
    std::filesystem::path source_;
    int ascent_ = 0;
    int descent_ = 0;
    bool fixedSize_ = false;
};

} // namespace korvalin
