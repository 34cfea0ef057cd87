#pragma once

#include "Colors.h"
#include "FormLayout.h"
#include "WindowClass.h"

#include <array>
#include <functional>
#include <windows.h>

namespace korvalin::win32 {

inline constexpr int kCells = FontSet::kCellsPerGlyph;

// A block of cells painted by one child window of a registered class: a window for each
// of 70 overlapping cells would cost more in clipping than the cells cost to draw. The
// colour read back is exactly the last one set, so the grid records what is shown.
class CellGrid final : public MessageTarget {
public:
    enum class Kind { Pixel, Preview };
    using Clicked = std::function<void(int index)>;

    // A pixel grid reports a press and release on the same cell; a preview nothing.
    CellGrid(Kind kind, HWND parent, HINSTANCE instance, Clicked clicked);
    CellGrid(const CellGrid&) = delete;
    CellGrid& operator=(const CellGrid&) = delete;
    // The parent destroys the window.
    ~CellGrid();

    [[nodiscard]] HWND hwnd() const { return window_; }

    // Covers the block's area with its cells; `line` is the width of a pixel cell's outline.
    void place(const CellBlockLayout& block, int line);

    void setColour(int index, OleColor colour);
    [[nodiscard]] OleColor colour(int index) const { return colours_.at(at(index)); }
    // In the grid's own coordinates.
    [[nodiscard]] RECT cellRect(int index) const;

    LRESULT handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    static std::size_t at(int index) { return static_cast<std::size_t>(index); }
    void paint(HDC dc) const;

    Kind kind_;
    Clicked clicked_;
    CellBlockLayout block_;
    std::array<OleColor, kCells> colours_{};
    int line_ = 1;
    int pressed_ = -1;
    HWND window_ = nullptr;
};

// The layout's box as the system takes it.
[[nodiscard]] inline RECT ToRect(const PixelBox& box) {
    return {box.left, box.top, box.right, box.bottom};
}

} // namespace korvalin::win32
