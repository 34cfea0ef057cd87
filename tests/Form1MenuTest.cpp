#include "EditorFixture.h"

#include <QMenu>
#include <QMenuBar>
#include <QTest>

namespace korvalin {
namespace {

using test::EditorTest;

QStringList captions(const QList<QAction*>& actions) {
    QStringList texts;
    for (const QAction* action : actions)
        texts << action->text();
    return texts;
}

TEST_F(EditorTest, MenuTreeHasTheCaptionsInOrder) {
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

struct ItemArray {
    const char* name;
    const char* array; // the control array, whose items are named "array(code)"
    int first;
    int last;
};

class CharacterItems : public EditorTest, public testing::WithParamInterface<ItemArray> {};

TEST_P(CharacterItems, EachItemSelectsItsCode) {
    const ItemArray& array = GetParam();
    const auto item = [&](int code) {
        return form->findChild<QAction*>(QStringLiteral("%1(%2)").arg(array.array).arg(code));
    };
    EXPECT_EQ(item(array.first - 1), nullptr);
    EXPECT_EQ(item(array.last + 1), nullptr);
    for (int code = array.first; code <= array.last; ++code) {
        ASSERT_NE(item(code), nullptr) << code;
        item(code)->trigger();
        ASSERT_EQ(view().currentChar(), code);
        EXPECT_EQ(lblstatus()->text(), "Currently editing character: " + QString::number(code));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Arrays, CharacterItems,
    testing::Values(ItemArray{"numbers", "mnuSwitchNumbers", 32, 64},
                    ItemArray{"uppercase", "mnuSwitchUppercaseLetters", 65, 90},
                    ItemArray{"symbols", "mnuSwitchSymbols", 91, 96},
                    ItemArray{"lowercase", "mnuSwitchLowercaseLetters", 97, 122}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(EditorTest, CommandItemsRaiseTheirHandlers) {
    platform.inputReplies = {"200", "7", ""};
    action("mnuSwitchLowerSpecial")->trigger();
    EXPECT_EQ(view().currentChar(), 200);
    action("mnuSwitchEvenMoreSymbols")->trigger();
    EXPECT_EQ(view().currentChar(), 7);
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

TEST_F(EditorTest, AccessKeysWork) {
    form->show();
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));

    QTest::keyClick(form.get(), Qt::Key_S, Qt::AltModifier);
    QMenu* opened = openedMenu();
    EXPECT_EQ(opened, menu("mnuSwitch"));
    if (opened)
        opened->close();
    EXPECT_EQ(view().currentChar(), 0) << "opening a menu runs nothing";

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
