#include "Sheet.h"

#include "FileError.h"
#include "GlyphGrid.h"
#include "GlyphText.h"
#include "LabelFont.h"

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

namespace korvalin {
namespace {

constexpr std::uint32_t kPaper = 0xFFFFFF;
constexpr std::uint32_t kInk = 0x000000;
constexpr std::uint32_t kGrid = 0xB0B0B0;
constexpr std::uint32_t kGlyphFrame = 0xE4E4E4;
constexpr std::uint32_t kDecimalInk = 0x5070A0;
constexpr std::uint32_t kHexInk = 0xA05A3C;

constexpr int kGlyphZoom = 3;
// Within a cell, in sheet units: the decimal code at the left, its two hex digits at the
// right, both above the glyph's frame.
constexpr int kDecimalX = 2;
constexpr int kHexX = kSheetCellWidth - 2 - (2 * kLabelAdvance - 1);
constexpr int kLabelY = 3;
constexpr int kGlyphX = 5;
constexpr int kGlyphY = 10;

// The most partly inked cells that a message lists.
constexpr int kPartialShown = 5;

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
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02X", static_cast<unsigned>(code));
        DrawLabel(sheet, std::to_string(code), (x0 + kDecimalX) * scale, (y0 + kLabelY) * scale,
                  scale, kDecimalInk);
        DrawLabel(sheet, hex, (x0 + kHexX) * scale, (y0 + kLabelY) * scale, scale, kHexInk);
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

void CheckSheetSize(std::int64_t width, std::int64_t height, const std::filesystem::path& source) {
    const std::int64_t scale = width / kSheetWidth;
    if (scale < 1 || width != kSheetWidth * scale || height != kSheetHeight * scale)
        throw FileError(source, "is " + std::to_string(width) + " x " + std::to_string(height) +
                                    " pixels, not a glyph sheet (" + std::to_string(kSheetWidth) +
                                    " x " + std::to_string(kSheetHeight) +
                                    " pixels times its scale) nor a glyph grid (" +
                                    std::to_string(kGridWidth) + " x " +
                                    std::to_string(kGridHeight) + ")");
}

SheetReader::SheetReader(int width, int height, const std::filesystem::path& source)
    : scale_(width / kSheetWidth), source_(source),
      dark_(FontSet::kCharacters * FontSet::kCellsPerGlyph, 0) {
    CheckSheetSize(width, height, source);
}

void SheetReader::addRow(int y, std::span<const std::uint8_t> rgb) {
    const int block = kGlyphZoom * scale_;
    // The glyph row whose blocks this picture row crosses, if any.
    const int codeRow = y / (kSheetCellHeight * scale_);
    const int inCell = y - (codeRow * kSheetCellHeight + kGlyphY) * scale_;
    if (codeRow >= 16 || inCell < 0 || inCell >= FontSet::kRows * block)
        return;
    const int glyphRow = inCell / block;
    for (int codeColumn = 0; codeColumn < 16; ++codeColumn) {
        const int code = codeRow * 16 + codeColumn;
        const int x0 = (codeColumn * kSheetCellWidth + kGlyphX) * scale_;
        for (int column = 0; column < FontSet::kColumns; ++column) {
            int dark = 0;
            for (int x = x0 + column * block; x < x0 + (column + 1) * block; ++x) {
                const auto at = static_cast<std::size_t>(3 * x);
                dark += IsDark(static_cast<std::uint32_t>(rgb[at]) << 16 |
                               static_cast<std::uint32_t>(rgb[at + 1]) << 8 | rgb[at + 2])
                            ? 1
                            : 0;
            }
            dark_[static_cast<std::size_t>(code * FontSet::kCellsPerGlyph +
                                           glyphRow * FontSet::kColumns + column)] += dark;
        }
    }
}

FontSet SheetReader::finish() const {
    FontSet table;
    const int block = kGlyphZoom * scale_;
    std::vector<std::string> partial;
    int partialCount = 0;
    for (int code = 0; code < FontSet::kCharacters; ++code) {
        for (int cell = 0; cell < FontSet::kCellsPerGlyph; ++cell) {
            const int dark = dark_[static_cast<std::size_t>(code * FontSet::kCellsPerGlyph + cell)];
            // A block painted in part is the designer's slip, never to be read as either.
            if (dark != 0 && dark != block * block && ++partialCount <= kPartialShown)
                partial.push_back("code " + CodeTitle(code) + " row " +
                                  std::to_string(cell / FontSet::kColumns) + " column " +
                                  std::to_string(cell % FontSet::kColumns) + " (" +
                                  std::to_string(dark) + " of " + std::to_string(block * block) +
                                  " pixels dark)");
            table.setCell(code, cell, dark * 2 > block * block ? FontSet::kSet : FontSet::kClear);
        }
    }
    if (partialCount > 0) {
        std::string list;
        for (const std::string& place : partial)
            list += (list.empty() ? "" : ", ") + place;
        if (partialCount > kPartialShown)
            list += " and " + std::to_string(partialCount - kPartialShown) + " more";
        throw FileError(source_, std::to_string(partialCount) +
                                     (partialCount == 1 ? " glyph cell is" : " glyph cells are") +
                                     " partly inked: " + list +
                                     "; paint each cell's whole block or none of it");
    }
    return table;
}

FontSet ReadSheet(const Pixels& sheet, const std::filesystem::path& source) {
    SheetReader reader(sheet.width, sheet.height, source);
    std::vector<std::uint8_t> row(static_cast<std::size_t>(sheet.width) * 3);
    for (int y = 0; y < sheet.height; ++y) {
        for (int x = 0; x < sheet.width; ++x) {
            const std::uint32_t colour = sheet.at(x, y);
            const auto at = static_cast<std::size_t>(3 * x);
            row[at] = static_cast<std::uint8_t>(colour >> 16);
            row[at + 1] = static_cast<std::uint8_t>(colour >> 8);
            row[at + 2] = static_cast<std::uint8_t>(colour);
        }
        reader.addRow(y, row);
    }
    return reader.finish();
}

} // namespace korvalin
