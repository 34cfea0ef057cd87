// The menus the window builds from the editor's table, and how they reach its handlers.
#include "MenuTable.h"
#include "QtCompat.h"
#include "WindowFixture.h"

#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>

namespace korvalin {
namespace {

using test::WindowTest;

QStringList captions(const QList<QAction*>& actions) {
    QStringList texts;
    for (const QAction* action : actions)
        texts << action->text();
    return texts;
}

TEST_F(WindowTest, MenuTreeHasTheCaptionsInOrder) {
    EXPECT_EQ(captions(form->menuBar()->actions()),
              QStringList({"&File", "&Switch Character", "&Compile"}));
    EXPECT_EQ(captions(menu("mnuFile")->actions()),
              QStringList({"&New Set...", "&Load...", "&Save...", "&Exit"}));
    EXPECT_EQ(captions(menu("mnuSwitch")->actions()),
              QStringList({"Lower special (0-31)", "Symbols and numbers", "Uppercase letters",
                           "More symbols", "Lowercase letters", "Some more symbols (123-255)"}));
    EXPECT_EQ(action("mnuCompile")->menu(), nullptr) << "Compile acts at once";

    const QStringList numbers = captions(menu("mnuSwitchSymbolNumber")->actions());
    ASSERT_EQ(numbers.size(), 33);
    EXPECT_EQ(numbers.front(), "32 (space)");
    EXPECT_EQ(numbers[36 - 32], "36 (fourth power symbol)");
    EXPECT_EQ(numbers[38 - 32], "38 &&") << "the ampersand is shown, not an access key";
    EXPECT_EQ(numbers[48 - 32], "48 0 (zero)");
    EXPECT_EQ(numbers[57 - 32], "57 9 (nine)");
    EXPECT_EQ(numbers[63 - 32], "63 ?");
    EXPECT_EQ(numbers.back(), "64 @");

    const QStringList upper = captions(menu("mnuSwitchUppercase")->actions());
    ASSERT_EQ(upper.size(), 26);
    EXPECT_EQ(upper.front(), "65 A");
    EXPECT_EQ(upper.back(), "90 Z");
    EXPECT_EQ(captions(menu("mnuSwitchMoreSymbols")->actions()),
              QStringList({"91 Theta", "92 \\", "93 ]", "94 ^", "95 _", "96 `"}));
    const QStringList lower = captions(menu("mnuSwitchLowercase")->actions());
    ASSERT_EQ(lower.size(), 26);
    EXPECT_EQ(lower[100 - 97], "100 d");
    EXPECT_EQ(lower.back(), "122 z");
}

// Every entry of the table is a menu or an item of its name, caption and place.
TEST_F(WindowTest, EveryTableEntryIsAControlOfItsNameAndCaption) {
    const auto table = MenuTable();
    for (const MenuEntry& entry : table) {
        const QString name = toQString(entry.objectName);
        const QString caption = toQString(entry.caption);
        const QWidget* holder =
            entry.parent < 0
                ? static_cast<QWidget*>(form->menuBar())
                : menu(toQString(table[static_cast<std::size_t>(entry.parent)].objectName));
        if (entry.isMenu) {
            EXPECT_EQ(menu(name)->title(), caption);
            EXPECT_TRUE(holder->actions().contains(menu(name)->menuAction())) << entry.objectName;
        } else {
            EXPECT_EQ(action(name)->text(), caption);
            EXPECT_TRUE(holder->actions().contains(action(name))) << entry.objectName;
        }
    }
    EXPECT_EQ(form->findChild<QAction*>("mnuSwitchNumbers(31)"), nullptr);
    EXPECT_EQ(form->findChild<QAction*>("mnuSwitchLowercaseLetters(123)"), nullptr);
}

TEST_F(WindowTest, ItemsRaiseTheirHandlers) {
    const QSignalSpy triggered(action("mnuSwitchNumbers(38)"), &QAction::triggered);
    action("mnuSwitchNumbers(38)")->trigger();
    EXPECT_EQ(triggered.count(), 1);
    EXPECT_EQ(state().currentChar(), 38);
    EXPECT_EQ(lblstatus()->text(), "Currently editing character: 38");
    platform.inputReplies = {"200", "7", ""};
    action("mnuSwitchLowerSpecial")->trigger();
    EXPECT_EQ(state().currentChar(), 200);
    action("mnuSwitchEvenMoreSymbols")->trigger();
    EXPECT_EQ(state().currentChar(), 7);
    action("mnuCompile")->trigger();
    ASSERT_EQ(platform.inputBoxes.size(), 3u);
    EXPECT_EQ(platform.inputBoxes[2].first, "Enter the name of the file (maximum 8 characters):");
    EXPECT_TRUE(platform.allAnswersUsed());
}

constexpr int kEventTimeoutMs = 5000;

// Opening a menu from the keyboard; returns the popup that opened, or nullptr.
QMenu* openedMenu() {
    if (!QTest::qWaitFor([] { return QApplication::activePopupWidget() != nullptr; },
                         kEventTimeoutMs))
        return nullptr;
    return qobject_cast<QMenu*>(QApplication::activePopupWidget());
}

TEST_F(WindowTest, AccessKeysWork) {
    activate();

    QTest::keyClick(form.get(), Qt::Key_S, Qt::AltModifier);
    QMenu* opened = openedMenu();
    EXPECT_EQ(opened, menu("mnuSwitch"));
    if (opened)
        opened->close();
    EXPECT_EQ(state().currentChar(), 0) << "opening a menu runs nothing";

    // S inside the open File menu chooses Save, which asks for a file first.
    platform.fileChoices = {std::nullopt};
    QTest::keyClick(form.get(), Qt::Key_F, Qt::AltModifier);
    opened = openedMenu();
    ASSERT_EQ(opened, menu("mnuFile"));
    QTest::keyClick(opened, Qt::Key_S);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !platform.fileDialogs.empty(); }, kEventTimeoutMs));
    EXPECT_EQ(platform.fileDialogs.size(), 1u);
    EXPECT_EQ(platform.fileDialogs.at(0).kind, FileDialogKind::Save);

    platform.inputReplies = {""};
    QTest::keyClick(form.get(), Qt::Key_C, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !platform.inputBoxes.empty(); }, kEventTimeoutMs));
    EXPECT_EQ(platform.inputBoxes.size(), 1u) << "Alt+C compiles at once";
    EXPECT_TRUE(platform.allAnswersUsed());
}

} // namespace
} // namespace korvalin
