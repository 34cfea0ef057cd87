#pragma once

#include <QMessageBox>

namespace korvalin {

// A message box that ends only through one of its buttons: Escape and the title bar's
// close do nothing, as with the Yes/No box of the platform this editor comes from. Its
// width also fits the whole title in the title bar.
class AnswerBox : public QMessageBox {
public:
    AnswerBox(Icon icon, const QString& title, const QString& text, QWidget* parent);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void fitTitle();
};

} // namespace korvalin
