#include "FontSet.h"

#include <stdexcept>
#include <string>

namespace korvalin {
namespace {

std::size_t indexOf(int character, int cell) {
    if (character < 0 || character >= FontSet::kCharacters)
        throw std::out_of_range("character " + std::to_string(character) + " is outside 0..255");
    if (cell < 0 || cell >= FontSet::kCellsPerGlyph)
        throw std::out_of_range("cell " + std::to_string(cell) + " is outside 0..34");
    return static_cast<std::size_t>(character * FontSet::kCellsPerGlyph + cell);
}

} // namespace

CellValue FontSet::cell(int character, int cell) const {
    return cells_[indexOf(character, cell)];
}

void FontSet::setCell(int character, int cell, CellValue value) {
    cells_[indexOf(character, cell)] = value;
}

std::span<const CellValue, FontSet::kCellsPerGlyph> FontSet::glyph(int character) const {
    return std::span<const CellValue, kCellsPerGlyph>(&cells_[indexOf(character, 0)],
                                                      kCellsPerGlyph);
}

} // namespace korvalin
