#pragma once

#include <bitset>
#include <optional>
#include <string>

namespace korvalin {

// Whose hinting shapes an outline font's pixels.
enum class Hinting { Font, Auto, None };

// How an import places a real font in the 5 x 7 cells.
struct ImportOptions {
    // The last row above the baseline, 0 to 6; by default that of a 5 x 7 font's own box,
    // the judge's choice for a font taller than the cell, else 5, which leaves row 6 to the
    // descenders.
    std::optional<int> baseline;
    int shiftX = 0; // columns right, after centring
    int shiftY = 0; // rows down
    // Pixels to the em of an outline font, or the height of the strike to take; by default
    // the import's judge chooses.
    std::optional<int> size;
    // An outline font's hinting; by default the import's judge chooses.
    std::optional<Hinting> hinting;
    // The codes to take from the font; the others keep the base glyph.
    std::bitset<256> codes = std::bitset<256>().set();
};

// The baseline row a font that is not an exact 5 x 7 one gets by default.
constexpr int kDefaultBaseline = 5;

// "font", "auto" or "none".
[[nodiscard]] std::optional<Hinting> HintingNamed(const std::string& name);
[[nodiscard]] const char* HintingName(Hinting hinting);

// The codes of "65-90,0x61-0x7A,32": decimal or 0x hex, single or a range; nothing when
// the text is no such list.
[[nodiscard]] std::optional<std::bitset<256>> CodeRanges(const std::string& text);

} // namespace korvalin
