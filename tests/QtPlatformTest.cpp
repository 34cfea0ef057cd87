// The real platform's Qt side: how styles and flags become Qt's boxes and dialogs, and
// the save prompt that only Yes or No can end.
#include "QtPlatform.h"

#include "ScriptWatcher.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
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

TEST(QtPlatformNotice, ShowsWithoutHoldingUpTheEditor) {
    QtPlatform platform;
    platform.ShowNotice("The program FONT1 was not made.", std::string());
    QMessageBox* shown = nullptr;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* box = qobject_cast<QMessageBox*>(window); box && box->isVisible())
            shown = box;
    ASSERT_NE(shown, nullptr) << "the notice is on screen once the call returns";
    EXPECT_EQ(shown->windowModality(), Qt::NonModal);
    EXPECT_TRUE(shown->testAttribute(Qt::WA_ShowWithoutActivating)) << "the editor keeps the keys";
    EXPECT_EQ(shown->text(), "The program FONT1 was not made.");
    EXPECT_EQ(shown->windowTitle(), "Korvalin Font Creator");
    shown->close();
}

#ifndef _WIN32
// A process that exits with `status` and says why on its error output.
LaunchRequest exiting(int status) {
    LaunchRequest request;
    request.program = "/bin/sh";
    request.arguments = {"-c", "echo gone >&2; exit " + std::to_string(status)};
    request.workingDirectory = std::filesystem::temp_directory_path();
    request.captureErrorOutput = true;
    return request;
}

// The watcher tells the event loop, without waiting, how the process ended.
TEST(ScriptWatcher, SaysOnceHowTheProcessEnded) {
    auto* watcher = new ScriptWatcher(Launch(exiting(3)), nullptr);
    QSignalSpy finished(watcher, &ScriptWatcher::finished);
    QSignalSpy destroyed(watcher, &QObject::destroyed);
    ASSERT_TRUE(finished.wait(10'000));
    EXPECT_EQ(finished.count(), 1);
    EXPECT_EQ(watcher->outcome()->exitStatus, 3);
    EXPECT_EQ(watcher->outcome()->lastErrorLine, "gone");
    EXPECT_TRUE(destroyed.wait(10'000)) << "it goes once it has said so";
}

TEST(QtPlatformProcess, ReportsTheEndFromTheEventLoop) {
    QtPlatform platform;
    std::vector<ProcessOutcome> ends;
    platform.StartProcess(exiting(0),
                          [&](const ProcessOutcome& outcome) { ends.push_back(outcome); });
    EXPECT_TRUE(ends.empty()) << "the start returns at once";
    EXPECT_TRUE(QTest::qWaitFor([&] { return !ends.empty(); }, 10'000));
    ASSERT_EQ(ends.size(), 1u);
    EXPECT_TRUE(ends[0].succeeded());
}

TEST(QtPlatformProcess, RefusesWhatCannotStart) {
    QtPlatform platform;
    LaunchRequest request = exiting(0);
    request.program = std::filesystem::temp_directory_path() / "no-such-korvalin-program";
    EXPECT_THROW(platform.StartProcess(request, [](const ProcessOutcome&) {}), LaunchError);
}
#endif

} // namespace
} // namespace korvalin
