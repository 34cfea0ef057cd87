#include "CellGrid.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace korvalin {

namespace {
// A thin line round each pixel cell, so blank paper still shows its grid.
const QColor kGridLine(0xB4, 0xB4, 0xB4);

QRect unionOf(const std::vector<QRect>& rects) {
    QRect all;
    for (const QRect& rect : rects)
        all |= rect;
    return all;
}
} // namespace

void Cell::setBackColor(OleColor color) {
    if (color == backColor_)
        return;
    backColor_ = color;
    grid_->update(rect_);
}

QRect Cell::geometry() const {
    return rect_.translated(grid_->pos());
}

CellGrid::CellGrid(Kind kind, const std::vector<QRect>& cells, QWidget* parent)
    : QWidget(parent), kind_(kind) {
    const QRect area = unionOf(cells);
    setGeometry(area);
    cells_.reserve(cells.size());
    for (std::size_t i = 0; i < cells.size(); ++i)
        cells_.push_back(Cell(this, static_cast<int>(i), cells[i].translated(-area.topLeft())));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
}

int CellGrid::cellAt(QPoint point) const {
    for (auto cell = cells_.rbegin(); cell != cells_.rend(); ++cell) {
        if (cell->rect_.contains(point))
            return cell->index_;
    }
    return -1;
}

void CellGrid::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    if (kind_ == Kind::Pixel)
        painter.setPen(kGridLine);
    for (const Cell& cell : cells_) {
        if (!event->rect().intersects(cell.rect_))
            continue;
        painter.fillRect(cell.rect_, toQColor(cell.backColor_));
        if (kind_ == Kind::Pixel)
            painter.drawRect(cell.rect_.adjusted(0, 0, -1, -1));
    }
}

// A click is a press and a release on the same cell, as with a button.
void CellGrid::mousePressEvent(QMouseEvent* event) {
    pressed_ = kind_ == Kind::Pixel && event->button() == Qt::LeftButton
                   ? cellAt(event->position().toPoint())
                   : -1;
}

void CellGrid::mouseReleaseEvent(QMouseEvent* event) {
    const int released =
        event->button() == Qt::LeftButton ? cellAt(event->position().toPoint()) : -1;
    const bool click = pressed_ >= 0 && released == pressed_;
    pressed_ = -1;
    if (click)
        emit clicked(released);
}

} // namespace korvalin
