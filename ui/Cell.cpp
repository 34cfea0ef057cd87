#include "Cell.h"

#include <QMouseEvent>
#include <QPainter>

namespace korvalin {

namespace {
// A thin line between pixel cells, so blank paper still shows its grid.
const QColor kGridLine(0xB4, 0xB4, 0xB4);
} // namespace

Cell::Cell(Kind kind, int index, QWidget* parent) : QWidget(parent), kind_(kind), index_(index)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    setAutoFillBackground(false);
}

void Cell::setBackColor(OleColor color)
{
    if (color == backColor_)
        return;
    backColor_ = color;
    update();
}

void Cell::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), toQColor(backColor_));
    if (kind_ == Kind::Pixel) {
        painter.setPen(kGridLine);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

// A click is a press and a release on the same cell, as with a button.
void Cell::mousePressEvent(QMouseEvent* event)
{
    pressed_ = kind_ == Kind::Pixel && event->button() == Qt::LeftButton;
}

void Cell::mouseReleaseEvent(QMouseEvent* event)
{
    const bool click = pressed_ && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    pressed_ = false;
    if (click)
        emit clicked(index_);
}

} // namespace korvalin
