#include "Legibility.h"

#include <algorithm>
#include <array>
#include <bit>

namespace korvalin {
namespace {

bool isLetterOrDigit(char c) {
    return kLettersAndDigits.find(c) != std::string_view::npos;
}

// The group of look-alikes that a 5 x 7 font may draw with one glyph, or 0.
int lookAlikeGroup(char c) {
    switch (c) {
    case '0':
    case 'O':
        return 1;
    case '1':
    case 'l':
    case 'I':
        return 2;
    case 'g':
    case 'q':
        return 3;
    case 'v':
    case 'y':
        return 4;
    default:
        return 0;
    }
}

// A glyph's cells inside a frame of paper one cell wide, and what a flood fill needs.
struct Framed {
    int width;
    int height;
    std::vector<std::uint8_t> ink;
    std::vector<std::uint8_t> seen;
    std::vector<int> stack;
};

// Marks the piece of cells equal to `value` around `start`, through `steps`, and returns
// its size; `bounded` checks the frame's edges, which only the outer paper reaches.
int flood(Framed& cells, std::uint8_t value, int start, std::span<const int> steps, bool bounded) {
    const int total = cells.width * cells.height;
    int size = 0;
    cells.seen[static_cast<std::size_t>(start)] = 1;
    cells.stack.push_back(start);
    while (!cells.stack.empty()) {
        const int at = cells.stack.back();
        cells.stack.pop_back();
        ++size;
        for (const int step : steps) {
            const int next = at + step;
            if (bounded && (next < 0 || next >= total || (step == 1 && next % cells.width == 0) ||
                            (step == -1 && at % cells.width == 0)))
                continue;
            const auto index = static_cast<std::size_t>(next);
            if (cells.ink[index] == value && cells.seen[index] == 0) {
                cells.seen[index] = 1;
                cells.stack.push_back(next);
            }
        }
    }
    return size;
}

} // namespace

GlyphBits BitsOf(std::span<const CellValue, FontSet::kCellsPerGlyph> glyph) {
    GlyphBits bits = 0;
    for (std::size_t cell = 0; cell < glyph.size(); ++cell)
        if ((glyph[cell] & 1) == 0) // ink, as the program image packs it
            bits |= GlyphBits{1} << cell;
    return bits;
}

std::vector<bool> Unreadable(std::span<const JudgedGlyph> glyphs) {
    // Sorted by their cells, the glyphs that share them stand side by side.
    std::vector<std::size_t> order(glyphs.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::ranges::sort(order, {}, [&](std::size_t i) { return glyphs[i].bits; });
    std::vector<bool> unreadable(glyphs.size(), false);
    for (std::size_t first = 0; first < order.size();) {
        std::size_t end = first + 1;
        while (end < order.size() && glyphs[order[end]].bits == glyphs[order[first]].bits)
            ++end;
        for (std::size_t a = first; a < end; ++a) {
            const JudgedGlyph& glyph = glyphs[order[a]];
            const int group = lookAlikeGroup(glyph.symbol);
            for (std::size_t b = first; b < end; ++b)
                if (b != a && (group == 0 || lookAlikeGroup(glyphs[order[b]].symbol) != group))
                    unreadable[order[a]] = true;
            if (std::popcount(glyph.bits) < (isLetterOrDigit(glyph.symbol) ? kLeastLegibleInk : 1))
                unreadable[order[a]] = true;
        }
        first = end;
    }
    return unreadable;
}

InkShape ShapeOf(const SourceGlyph& glyph, int smallest) {
    if (glyph.width == 0 || glyph.height == 0)
        return {};
    // The frame keeps ink and counters off the edges, so that only the outer paper's fill
    // checks them.
    Framed cells{glyph.width + 2, glyph.height + 2, {}, {}, {}};
    const auto total =
        static_cast<std::size_t>(cells.width) * static_cast<std::size_t>(cells.height);
    cells.ink.assign(total, 0);
    cells.seen.assign(total, 0);
    for (int y = 0; y < glyph.height; ++y)
        for (int x = 0; x < glyph.width; ++x)
            cells.ink[static_cast<std::size_t>((y + 1) * cells.width + x + 1)] =
                glyph.at(x, y) ? 1 : 0;
    const int w = cells.width;
    const std::array<int, 8> around{-w - 1, -w, -w + 1, -1, 1, w - 1, w, w + 1};
    const std::array<int, 4> across{-w, -1, 1, w};
    (void)flood(cells, 0, 0, across, true);
    InkShape shape;
    for (std::size_t at = 0; at < total; ++at) {
        if (cells.seen[at] != 0)
            continue;
        const bool ink = cells.ink[at] != 0;
        const int size = ink ? flood(cells, 1, static_cast<int>(at), around, false)
                             : flood(cells, 0, static_cast<int>(at), across, false);
        if (size >= smallest)
            ++(ink ? shape.parts : shape.counters);
    }
    return shape;
}

int LostFeatures(InkShape reference, InkShape drawn) {
    return std::max(0, reference.parts - drawn.parts) +
           std::max(0, reference.counters - drawn.counters);
}

} // namespace korvalin
