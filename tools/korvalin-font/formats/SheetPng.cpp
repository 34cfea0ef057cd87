#include "SheetPng.h"

#include "GlyphGrid.h"
#include "PngCodec.h"
#include "Sheet.h"

#include <optional>

namespace korvalin {

FontSet ReadSheetPng(std::string_view bytes, const std::filesystem::path& source) {
    // Here rather than in a decoder, so that every decoder is held to it: a few bytes of
    // PNG can declare a picture of gigabytes.
    const std::optional<PictureSize> size = PngPictureSize(bytes);
    if (size && size->width == kGridWidth && size->height == kGridHeight)
        return ReadGlyphGrid(DecodePng(bytes, source), source);
    if (size)
        CheckSheetSize(size->width, size->height, source);
    std::optional<SheetReader> sheet;
    DecodePngRows(
        bytes, source, [&](int width, int height) { sheet.emplace(width, height, source); },
        [&](int y, PngRow row) { sheet->addRow(y, row); });
    return sheet->finish();
}

} // namespace korvalin
