#pragma once

#include <cstdint>
#include <vector>

namespace korvalin {

// An RGB picture (0xRRGGBB a pixel, row by row), the form in which sheets and screens
// meet the PNG codec.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> rgb;

    Pixels() = default;
    Pixels(int w, int h, std::uint32_t fill)
        : width(w), height(h),
          rgb(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), fill) {}

    [[nodiscard]] std::uint32_t at(int x, int y) const {
        return rgb[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                   static_cast<std::size_t>(x)];
    }
    void fill(int x, int y, int w, int h, std::uint32_t colour) {
        for (int row = y; row < y + h; ++row)
            for (int column = x; column < x + w; ++column)
                rgb[static_cast<std::size_t>(row) * static_cast<std::size_t>(width) +
                    static_cast<std::size_t>(column)] = colour;
    }
};

// Whether a colour reads as ink on a picture of glyphs: darker than middle grey.
[[nodiscard]] inline bool IsDark(std::uint32_t colour) {
    const unsigned luminance =
        (((colour >> 16) & 0xFF) * 299 + ((colour >> 8) & 0xFF) * 587 + (colour & 0xFF) * 114) /
        1000;
    return luminance < 128;
}

} // namespace korvalin
