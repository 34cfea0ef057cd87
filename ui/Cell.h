#pragma once

#include "QtCompat.h"

#include <QWidget>

namespace korvalin {

// A rectangle that shows one background colour and nothing else; the colour read back
// is exactly the last one set. A clickable cell reports clicks with its index.
class Cell : public QWidget {
    Q_OBJECT

public:
    enum class Kind { Pixel, Preview };

    Cell(Kind kind, int index, QWidget* parent);

    [[nodiscard]] OleColor BackColor() const { return backColor_; }
    void setBackColor(OleColor color);
    [[nodiscard]] int index() const { return index_; }

signals:
    void clicked(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    Kind kind_;
    int index_;
    OleColor backColor_ = kWhite;
    bool pressed_ = false;
};

} // namespace korvalin
