#pragma once

#include "Colors.h"
#include "Layout.h"

#include <array>
#include <functional>
#include <windows.h>

namespace korvalin::win32 {

// A block of cells painted by one child window of a registered class: a window for each
// of 70 overlapping cells would cost more in clipping than the cells cost to draw. The
// colour read back is exactly the last one set, so the grid records what is shown.
class CellGrid {
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

    // `area` in the parent's coordinates, `cells` in the grid's own; `line` is the width
    // of a pixel cell's outline.
    void place(const RECT& area, const std::array<RECT, kCells>& cells, int line);

    void setColour(int index, OleColor colour);
    [[nodiscard]] OleColor colour(int index) const { return colours_.at(at(index)); }
    [[nodiscard]] RECT cellRect(int index) const { return cells_.at(at(index)); }
    // The topmost cell at `point`, in grid coordinates, or -1: where cells overlap, the
    // one with the higher index lies on top.
    [[nodiscard]] int cellAt(POINT point) const;

private:
    static std::size_t at(int index) { return static_cast<std::size_t>(index); }
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void paint();

    Kind kind_;
    Clicked clicked_;
    std::array<RECT, kCells> cells_{};
    std::array<OleColor, kCells> colours_{};
    int line_ = 1;
    int pressed_ = -1;
    HWND window_ = nullptr;
};

} // namespace korvalin::win32
