#include "AnswerBox.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QKeyEvent>

namespace korvalin {

AnswerBox::AnswerBox(Icon icon, const QString& title, const QString& text, QWidget* parent)
    : QMessageBox(icon, title, text, NoButton, parent) {
    // No close button in the title bar: the box has nothing to close it with.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
}

bool AnswerBox::event(QEvent* event) {
    const bool handled = QMessageBox::event(event);
    // The box sizes itself when shown and on every new layout; widen it afterwards.
    if (event->type() == QEvent::Show || event->type() == QEvent::LayoutRequest)
        fitTitle();
    return handled;
}

void AnswerBox::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QMessageBox::keyPressEvent(event);
}

void AnswerBox::closeEvent(QCloseEvent* event) {
    if (clickedButton() == nullptr) {
        event->ignore();
        return;
    }
    QMessageBox::closeEvent(event);
}

// Window managers draw titles in a bold face beside an icon and three buttons, and a
// centred title keeps the buttons' room on both sides; Qt's own allowance for them cuts
// short titles such as "Open new font set".
void AnswerBox::fitTitle() {
    QFont titleFont = QApplication::font("QMdiSubWindowTitleBar");
    titleFont.setBold(true);
    const QFontMetrics metrics(titleFont);
    const int needed = metrics.horizontalAdvance(windowTitle()) + 9 * metrics.height();
    if (width() < needed)
        setFixedWidth(needed);
}

} // namespace korvalin
