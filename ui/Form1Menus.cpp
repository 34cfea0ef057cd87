#include "Form1.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QProxyStyle>
#include <QShortcut>
#include <QStyleOptionMenuItem>

namespace korvalin {

namespace {

// The caption of a character item: the code and its character, shown literally.
QString characterCaption(int code) {
    static const std::map<int, QString> kNamed = {
        {32, "32 (space)"},   {36, "36 (fourth power symbol)"},
        {48, "48 0 (zero)"},  {49, "49 1 (one)"},
        {50, "50 2 (two)"},   {51, "51 3 (three)"},
        {52, "52 4 (four)"},  {53, "53 5 (five)"},
        {54, "54 6 (six)"},   {55, "55 7 (seven)"},
        {56, "56 8 (eight)"}, {57, "57 9 (nine)"},
        {91, "91 Theta"},
    };
    const auto named = kNamed.find(code);
    const QString caption = named != kNamed.end()
                                ? named->second
                                : QString::number(code) + ' ' + QChar(static_cast<char16_t>(code));
    // A single ampersand would mark an access key; doubled, it shows as itself.
    QString literal = caption;
    return literal.replace('&', QStringLiteral("&&"));
}

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

void Form1::createMenus() {
    QMenuBar* bar = menuBar();
    // The window owns the style and deletes it after the menu bar.
    auto* keys = new AltKeyNavigation;
    keys->setParent(this);
    bar->setStyle(keys);
    auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(f10, &QShortcut::activated, this, &Form1::focusMenuBar);

    mnuFile = bar->addMenu(QStringLiteral("&File"));
    mnuNew = mnuFile->addAction(QStringLiteral("&New Set..."), this, &Form1::mnuNew_Click);
    mnuFileLoad = mnuFile->addAction(QStringLiteral("&Load..."), this, &Form1::mnuFileLoad_Click);
    mnuFileSave = mnuFile->addAction(QStringLiteral("&Save..."), this, &Form1::mnuFileSave_Click);
    mnuFileExit = mnuFile->addAction(QStringLiteral("&Exit"), this, &Form1::mnuFileExit_Click);

    mnuSwitch = bar->addMenu(QStringLiteral("&Switch Character"));
    mnuSwitchLowerSpecial = mnuSwitch->addAction(QStringLiteral("Lower special (0-31)"), this,
                                                 &Form1::mnuSwitchLowerSpecial_Click);

    using Handler = void (Form1::*)(int);
    const auto addItems = [this](QMenu* menu, int first, int last, std::map<int, QAction*>& items,
                                 Handler handler) {
        for (int code = first; code <= last; ++code)
            items[code] = menu->addAction(characterCaption(code), this,
                                          [this, handler, code] { (this->*handler)(code); });
    };
    mnuSwitchSymbolNumber = mnuSwitch->addMenu(QStringLiteral("Symbols and numbers"));
    addItems(mnuSwitchSymbolNumber, 32, 64, mnuSwitchNumbers, &Form1::mnuSwitchNumbers_Click);
    mnuSwitchUppercase = mnuSwitch->addMenu(QStringLiteral("Uppercase letters"));
    addItems(mnuSwitchUppercase, 65, 90, mnuSwitchUppercaseLetters,
             &Form1::mnuSwitchUppercaseLetters_Click);
    mnuSwitchMoreSymbols = mnuSwitch->addMenu(QStringLiteral("More symbols"));
    addItems(mnuSwitchMoreSymbols, 91, 96, mnuSwitchSymbols, &Form1::mnuSwitchSymbols_Click);
    mnuSwitchLowercase = mnuSwitch->addMenu(QStringLiteral("Lowercase letters"));
    addItems(mnuSwitchLowercase, 97, 122, mnuSwitchLowercaseLetters,
             &Form1::mnuSwitchLowercaseLetters_Click);

    mnuSwitchEvenMoreSymbols = mnuSwitch->addAction(QStringLiteral("Some more symbols (123-255)"),
                                                    this, &Form1::mnuSwitchEvenMoreSymbols_Click);

    // A menu-bar entry of its own: choosing it compiles at once.
    mnuCompile = bar->addAction(QStringLiteral("&Compile"), this, &Form1::mnuCompile_Click);
    nameMenus();
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

// Menus and items carry the names the handlers give them, so tests can find them; an
// item of a control array is named with its code, as in "mnuSwitchNumbers(32)".
void Form1::nameMenus() {
    const std::pair<QObject*, const char*> single[] = {
        {mnuFile, "mnuFile"},
        {mnuNew, "mnuNew"},
        {mnuFileLoad, "mnuFileLoad"},
        {mnuFileSave, "mnuFileSave"},
        {mnuFileExit, "mnuFileExit"},
        {mnuSwitch, "mnuSwitch"},
        {mnuSwitchLowerSpecial, "mnuSwitchLowerSpecial"},
        {mnuSwitchSymbolNumber, "mnuSwitchSymbolNumber"},
        {mnuSwitchUppercase, "mnuSwitchUppercase"},
        {mnuSwitchMoreSymbols, "mnuSwitchMoreSymbols"},
        {mnuSwitchLowercase, "mnuSwitchLowercase"},
        {mnuSwitchEvenMoreSymbols, "mnuSwitchEvenMoreSymbols"},
        {mnuCompile, "mnuCompile"},
    };
    for (const auto& [control, name] : single)
        control->setObjectName(QLatin1String(name));

    const std::pair<const std::map<int, QAction*>*, const char*> arrays[] = {
        {&mnuSwitchNumbers, "mnuSwitchNumbers"},
        {&mnuSwitchUppercaseLetters, "mnuSwitchUppercaseLetters"},
        {&mnuSwitchSymbols, "mnuSwitchSymbols"},
        {&mnuSwitchLowercaseLetters, "mnuSwitchLowercaseLetters"},
    };
    for (const auto& [items, name] : arrays)
        for (const auto& [code, item] : *items)
            item->setObjectName(QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(code));
}

} // namespace korvalin
