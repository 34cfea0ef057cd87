#include "Sheet.h"

#include "FileError.h"

#include <stdexcept>
#include <string>

namespace korvalin {
namespace {

constexpr std::uint32_t kPaper = 0xFFFFFF;
constexpr std::uint32_t kInk = 0x000000;
constexpr std::uint32_t kGrid = 0xB0B0B0;
constexpr std::uint32_t kGlyphFrame = 0xE4E4E4;
constexpr std::uint32_t kLabelInk = 0x5070A0;

constexpr int kGlyphZoom = 3;
constexpr int kLabelX = 2; // within a cell, in sheet units
constexpr int kLabelY = 2;
constexpr int kGlyphX = 5;
constexpr int kGlyphY = 10;

bool isInk(CellValue value) {
    return (value & 1) == 0; // as the program image packs it
}

// Draws glyph `code` with its top left at (x, y) in units of `zoom` pixels.
void drawGlyph(Pixels& out, const FontSet& table, int code, int x, int y, int zoom,
               std::uint32_t ink) {
    const auto glyph = table.glyph(code);
    for (int cell = 0; cell < FontSet::kCellsPerGlyph; ++cell) {
        if (isInk(glyph[static_cast<std::size_t>(cell)]))
            out.fill(x + (cell % FontSet::kColumns) * zoom, y + (cell / FontSet::kColumns) * zoom,
                     zoom, zoom, ink);
    }
}

} // namespace

Pixels RenderSheet(const FontSet& table, int scale) {
    if (scale < 1 || scale > kSheetMaxScale)
        throw std::invalid_argument("the scale must be 1 to " + std::to_string(kSheetMaxScale));
    Pixels sheet(kSheetWidth * scale, kSheetHeight * scale, kPaper);
    for (int line = 0; line <= 16; ++line) {
        sheet.fill(line * kSheetCellWidth * scale, 0, scale, sheet.height, kGrid);
        sheet.fill(0, line * kSheetCellHeight * scale, sheet.width, scale, kGrid);
    }
    for (int code = 0; code < FontSet::kCharacters; ++code) {
        const int x0 = (code % 16) * kSheetCellWidth;
        const int y0 = (code / 16) * kSheetCellHeight;
        const std::string label = std::to_string(code);
        for (std::size_t digit = 0; digit < label.size(); ++digit)
            drawGlyph(sheet, table, label[digit],
                      (x0 + kLabelX + 6 * static_cast<int>(digit)) * scale, (y0 + kLabelY) * scale,
                      scale, kLabelInk);
        // A faint frame shows where the glyph's cells lie when the sheet is edited.
        sheet.fill((x0 + kGlyphX - 1) * scale, (y0 + kGlyphY - 1) * scale,
                   (FontSet::kColumns * kGlyphZoom + 2) * scale,
                   (FontSet::kRows * kGlyphZoom + 2) * scale, kGlyphFrame);
        sheet.fill((x0 + kGlyphX) * scale, (y0 + kGlyphY) * scale,
                   FontSet::kColumns * kGlyphZoom * scale, FontSet::kRows * kGlyphZoom * scale,
                   kPaper);
        drawGlyph(sheet, table, code, (x0 + kGlyphX) * scale, (y0 + kGlyphY) * scale,
                  kGlyphZoom * scale, kInk);
    }
    return sheet;
}

FontSet ReadSheet(const Pixels& sheet, const std::filesystem::path& source) {
    const int scale = sheet.width / kSheetWidth;
    if (scale < 1 || sheet.width != kSheetWidth * scale || sheet.height != kSheetHeight * scale)
        throw FileError(source, "is " + std::to_string(sheet.width) + " x " +
                                    std::to_string(sheet.height) + " pixels, not a glyph sheet (" +
                                    std::to_string(kSheetWidth) + " x " +
                                    std::to_string(kSheetHeight) + " pixels times its scale)");
    FontSet table;
    const int block = kGlyphZoom * scale;
    for (int code = 0; code < FontSet::kCharacters; ++code) {
        const int x0 = ((code % 16) * kSheetCellWidth + kGlyphX) * scale;
        const int y0 = ((code / 16) * kSheetCellHeight + kGlyphY) * scale;
        for (int cell = 0; cell < FontSet::kCellsPerGlyph; ++cell) {
            const std::uint32_t colour =
                sheet.at(x0 + (cell % FontSet::kColumns) * block + block / 2,
                         y0 + (cell / FontSet::kColumns) * block + block / 2);
            const unsigned luminance = (((colour >> 16) & 0xFF) * 299 +
                                        ((colour >> 8) & 0xFF) * 587 + (colour & 0xFF) * 114) /
                                       1000;
            table.setCell(code, cell, luminance < 128 ? FontSet::kSet : FontSet::kClear);
        }
    }
    return table;
}

} // namespace korvalin
