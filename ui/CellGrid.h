#pragma once

#include "FormLayout.h"
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
    explicit Cell(CellGrid* grid) : grid_(grid) {}

    CellGrid* grid_;
    QRect rect_;
    OleColor backColor_ = kWhite;
};

// A block of cells painted by one widget: a widget for each of 70 overlapping cells would
// cost more in Qt's clipping and painter set-up than the cells cost to draw.
class CellGrid : public QWidget {
    Q_OBJECT

public:
    enum class Kind { Pixel, Preview };

    // Every cell white, nowhere until placed.
    CellGrid(Kind kind, QWidget* parent);

    // Covers the block's area, in the parent's coordinates, with its cells.
    void place(const CellBlockLayout& block);

    [[nodiscard]] Cell* cell(int index) { return &cells_.at(static_cast<std::size_t>(index)); }

signals:
    // A pixel grid reports a press and release on the same cell; a preview reports nothing.
    void clicked(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    Kind kind_;
    CellBlockLayout block_;
    std::vector<Cell> cells_;
    int pressed_ = -1;
};

} // namespace korvalin
