#include "CellGrid.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <cmath>

namespace korvalin {

void Cell::setBackColor(OleColor color) {
    if (color == backColor_)
        return;
    backColor_ = color;
    grid_->update(rect_);
}

QRect Cell::geometry() const {
    return rect_.translated(grid_->pos());
}

CellGrid::CellGrid(Kind kind, QWidget* parent)
    : QWidget(parent), kind_(kind), cells_(block_.cells.size(), Cell(this)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
}

void CellGrid::place(const CellBlockLayout& block) {
    block_ = block;
    setGeometry(toQRect(block.area));
    for (std::size_t i = 0; i < cells_.size(); ++i)
        cells_[i].rect_ = toQRect(block.cells[i]);
    update();
}

// Painted in whole device pixels: each edge of a cell is rounded to the device pixel grid
// on its own, so neighbours that share an edge meet exactly at any scale factor, every
// grid line is the same number of device pixels wide, and a cell's colour fills exactly
// the inside of its lines.
void CellGrid::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QTransform toDevice = painter.deviceTransform();
    const auto edge = [](double logical, double scale, double offset) {
        return static_cast<int>(std::lround(logical * scale + offset));
    };
    const auto deviceRect = [&](const QRect& rect) {
        const int left = edge(rect.left(), toDevice.m11(), toDevice.dx());
        const int top = edge(rect.top(), toDevice.m22(), toDevice.dy());
        const int right = edge(rect.left() + rect.width(), toDevice.m11(), toDevice.dx());
        const int bottom = edge(rect.top() + rect.height(), toDevice.m22(), toDevice.dy());
        return QRect(left, top, right - left, bottom - top);
    };
    const int line = GridLineWidth(toDevice.m11());

    painter.setWorldTransform(toDevice.inverted());
    for (const Cell& cell : cells_) {
        if (!event->rect().intersects(cell.rect_))
            continue;
        const QRect box = deviceRect(cell.rect_);
        if (kind_ == Kind::Pixel) {
            painter.fillRect(box, toQColor(kGridLine));
            painter.fillRect(box.adjusted(line, line, -line, -line), toQColor(cell.backColor_));
        } else {
            painter.fillRect(box, toQColor(cell.backColor_));
        }
    }
}

// A click is a press and a release on the same cell, as with a button.
void CellGrid::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    pressed_ = kind_ == Kind::Pixel && event->button() == Qt::LeftButton
                   ? block_.cellAt(at.x(), at.y())
                   : -1;
}

void CellGrid::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    const int released = event->button() == Qt::LeftButton ? block_.cellAt(at.x(), at.y()) : -1;
    const bool click = pressed_ >= 0 && released == pressed_;
    pressed_ = -1;
    if (click)
        emit clicked(released);
}

} // namespace korvalin
