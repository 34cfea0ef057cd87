#pragma once

#include "QtCompat.h"

#include <QRect>
#include <QWidget>
#include <vector>

namespace korvalin {

class CellGrid;

// One cell: a rectangle that shows one background colour and nothing else. The colour
// read back is exactly the last one set, so the grid itself records what is shown.
class Cell {
public:
    [[nodiscard]] OleColor BackColor() const { return backColor_; }
    void setBackColor(OleColor color);

    [[nodiscard]] CellGrid* grid() const { return grid_; }
    // In the grid's own coordinates.
    [[nodiscard]] QRect rect() const { return rect_; }
    // In the coordinates of the grid's parent, the window's client area or the frame.
    [[nodiscard]] QRect geometry() const;

private:
    friend class CellGrid;
    Cell(CellGrid* grid, int index, QRect rect) : grid_(grid), index_(index), rect_(rect) {}

    CellGrid* grid_;
    int index_;
    QRect rect_;
    OleColor backColor_ = kWhite;
};

// A block of cells painted by one widget: a widget for each of 70 overlapping cells would
// cost more in Qt's clipping and painter set-up than the cells cost to draw.
class CellGrid : public QWidget {
    Q_OBJECT

public:
    enum class Kind { Pixel, Preview };

    // `cells` are given in the parent's coordinates; the grid covers their union. Where
    // cells overlap, the one with the higher index lies on top.
    CellGrid(Kind kind, const std::vector<QRect>& cells, QWidget* parent);

    [[nodiscard]] Cell* cell(int index) { return &cells_.at(static_cast<std::size_t>(index)); }
    // The topmost cell at `point` in grid coordinates, or -1.
    [[nodiscard]] int cellAt(QPoint point) const;

signals:
    // A pixel grid reports a press and release on the same cell; a preview reports nothing.
    void clicked(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    Kind kind_;
    std::vector<Cell> cells_;
    int pressed_ = -1;
};

} // namespace korvalin
