#include "Form1.h"
#include "MenuTable.h"
#include "QtCompat.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QProxyStyle>
#include <QShortcut>
#include <QStyleOptionMenuItem>
#include <vector>

namespace korvalin {

namespace {

// A lone Alt gives the menu bar the keyboard, as on the platform the editor recreates,
// whatever the application's style does.
class AltKeyNavigation : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_MenuBar_AltKeyNavigation)
            return 1;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }

    // Fusion marks an entry only while its menu is open, so with the keyboard on the bar
    // the user would not see where it is; the entry it is on is marked as if open.
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        if (element == CE_MenuBarItem && item != nullptr && item->state.testFlag(State_Selected) &&
            widget != nullptr && widget->hasFocus()) {
            QStyleOptionMenuItem marked = *item;
            marked.state |= State_Sunken;
            QProxyStyle::drawControl(element, &marked, painter, widget);
            return;
        }
        QProxyStyle::drawControl(element, option, painter, widget);
    }
};

} // namespace

// Menus and items from the editor's one table, each named as the table says so that tests
// can find it; choosing an item runs the handler the table names.
void Form1::createMenus() {
    QMenuBar* bar = menuBar();
    // The window owns the style and deletes it after the menu bar.
    auto* keys = new AltKeyNavigation;
    keys->setParent(this);
    bar->setStyle(keys);
    auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(f10, &QShortcut::activated, this, &Form1::focusMenuBar);

    std::vector<QMenu*> menus;
    for (const MenuEntry& entry : MenuTable()) {
        QMenu* const parent = entry.parent < 0 ? nullptr : menus.at(at(entry.parent));
        const QString caption = toQString(entry.caption);
        QObject* control = nullptr;
        if (entry.isMenu) {
            QMenu* const menu = parent ? parent->addMenu(caption) : bar->addMenu(caption);
            control = menu;
            menus.push_back(menu);
        } else {
            const auto choose = [this, &entry] {
                editor_.Run([this, &entry] { editor_.Choose(entry); });
            };
            control = parent ? parent->addAction(caption, this, choose)
                             : bar->addAction(caption, this, choose);
            menus.push_back(nullptr);
        }
        control->setObjectName(toQString(entry.objectName));
    }
}

// F10 does what a lone Alt does: the menu bar takes the keyboard only on the release of
// an Alt pressed alone, so it is shown one.
void Form1::focusMenuBar() {
    for (const QEvent::Type type :
         {QEvent::ShortcutOverride, QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent alt(type, Qt::Key_Alt, Qt::AltModifier);
        QCoreApplication::sendEvent(this, &alt);
    }
}

} // namespace korvalin
