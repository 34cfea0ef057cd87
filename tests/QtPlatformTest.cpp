// The real platform's Qt side: how styles and flags become Qt's boxes and dialogs, and
// the save prompt that only Yes or No can end.
#include "QtPlatform.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace korvalin {
namespace {

struct BoxStyle {
    int code;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton;
    QMessageBox::Icon icon;
};

class MessageBoxStyles : public testing::TestWithParam<BoxStyle> {};

TEST_P(MessageBoxStyles, GiveTheirButtonsAndIcon) {
    const BoxStyle& style = GetParam();
    QMessageBox box;
    configureMessageBox(box, MsgBoxStyles::fromInt(style.code));
    EXPECT_EQ(box.standardButtons(), style.buttons);
    EXPECT_EQ(box.icon(), style.icon);
    if (style.defaultButton != QMessageBox::NoButton) {
        EXPECT_EQ(static_cast<QAbstractButton*>(box.defaultButton()),
                  box.button(style.defaultButton));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Codes, MessageBoxStyles,
    testing::Values(BoxStyle{4, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes,
                             QMessageBox::NoIcon},
                    BoxStyle{16, QMessageBox::Ok, QMessageBox::NoButton, QMessageBox::Critical},
                    BoxStyle{48, QMessageBox::Ok, QMessageBox::NoButton, QMessageBox::Warning},
                    BoxStyle{0, QMessageBox::Ok, QMessageBox::NoButton, QMessageBox::NoIcon}));

TEST(QtFileDialog, AsksBeforeReplacingOnlyWithItsFlag) {
    EXPECT_FALSE(
        fileDialogOptions(FileDialogFlags::fromInt(6)).testFlag(QFileDialog::DontConfirmOverwrite));
    EXPECT_TRUE(
        fileDialogOptions(FileDialogFlags::fromInt(4)).testFlag(QFileDialog::DontConfirmOverwrite));
    EXPECT_EQ(qtFileFilter("Korvalin Fonts|*.8xfont"), "Korvalin Fonts (*.8xfont)");
    EXPECT_EQ(qtFileFilter("Fonts|*.8xfont;*.txt|All|*.*"), "Fonts (*.8xfont *.txt);;All (*.*)");
}

// Runs `user` once the box that `show` opens is up, from inside its event loop.
template <typename Show>
auto withOpenBox(Show show, std::function<void(QMessageBox&)> user) {
    QTimer::singleShot(0, [user] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        user(*box);
    });
    return show();
}

TEST(SavePrompt, OnlyYesOrNoEndsIt) {
    QtPlatform platform;
    for (const QMessageBox::StandardButton button : {QMessageBox::No, QMessageBox::Yes}) {
        bool openAfterEscape = false;
        bool openAfterClose = false;
        bool closeButton = true;
        const MsgBoxAnswer answer = withOpenBox(
            [&] {
                return platform.MsgBox("Save current font set?", MsgBoxStyle::YesNo,
                                       "Open new font set");
            },
            [&](QMessageBox& box) {
                closeButton = box.windowFlags().testFlag(Qt::WindowCloseButtonHint);
                QWidget* focused = box.focusWidget() != nullptr ? box.focusWidget() : &box;
                QTest::keyClick(focused, Qt::Key_Escape);
                openAfterEscape = box.isVisible();
                box.close();
                openAfterClose = box.isVisible();
                box.button(button)->click();
            });
        EXPECT_TRUE(openAfterEscape);
        EXPECT_TRUE(openAfterClose);
        EXPECT_FALSE(closeButton);
        EXPECT_EQ(answer, button == QMessageBox::Yes ? MsgBoxAnswer::Yes : MsgBoxAnswer::No);
    }
}

// Titles such as "Open new font set" fit in the title bar beside its buttons.
TEST(SavePrompt, IsWideEnoughForItsTitle) {
    QtPlatform platform;
    int width = 0;
    withOpenBox(
        [&] {
            return platform.MsgBox("Save current font set?", MsgBoxStyle::YesNo, "New Font Set");
        },
        [&](QMessageBox& box) {
            width = box.width();
            box.button(QMessageBox::No)->click();
        });
    QFont bold = QApplication::font("QMdiSubWindowTitleBar");
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    EXPECT_GE(width, metrics.horizontalAdvance("New Font Set") + 8 * metrics.height());
}

} // namespace
} // namespace korvalin
