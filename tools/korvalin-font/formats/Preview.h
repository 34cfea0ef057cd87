#pragma once

#include "FontSet.h"
#include "Pixels.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace korvalin {

// What the preview shows each candidate with: capitals, small letters, digits, a pangram
// and the punctuation of formulas, eight rows of the home screen.
inline constexpr std::string_view kPreviewSample =
    "ABCDEFGHIJKLMNOP\\nQRSTUVWXYZ 01234\\nabcdefghijklmnop\\nqrstuvwxyz 56789\\n"
    "The quick brown\\nfox jumps over\\nthe lazy dog.\\n(x+1)/2=y; a<b?!";

// One candidate set of the preview and the lines written beside it.
struct PreviewTile {
    FontSet table;
    std::vector<std::string> lines;
    bool chosen = false;
};

// The candidates one below the other, each as the calculator screen showing `sample` (typed
// as screen takes it), its lines beside it in the glyphs of `labels`, under a heading; the
// chosen one framed. Throws std::invalid_argument for a sample the screen cannot show.
[[nodiscard]] Pixels RenderPreview(std::span<const PreviewTile> tiles, std::string_view heading,
                                   const FontSet& labels, std::string_view sample = kPreviewSample);

} // namespace korvalin
