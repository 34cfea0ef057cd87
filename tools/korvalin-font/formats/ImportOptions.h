#pragma once

#include <bitset>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace korvalin {

// Whose hinting shapes an outline font's pixels.
enum class Hinting { Font, Auto, None };

// The options that place a font's glyphs, which not every source takes: a whole set
// (a sheet, text art, a program) is copied as drawn, and a bitmap font has no hinting.
enum class PlacingOption { Baseline, Shift, Size, Hinting };

// "--baseline" and the like, as the user gives them.
[[nodiscard]] const char* PlacingOptionName(PlacingOption option);

// A placing option given for a source that does not take it: a usage error, which the
// import does not ignore.
class InapplicableOption : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

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
    // The placing options the user gave, which a source refuses where they do not apply.
    std::vector<PlacingOption> given;
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
