#include "EditorFixture.h"
#include "FileError.h"

#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace korvalin {
namespace {

using test::EditorTest;

TEST_F(EditorTest, StartUpShowsCharacterZeroOfTheDefaultSet) {
    EXPECT_EQ(form->windowTitle(), "Korvalin Font Set Creator 1.0");
    EXPECT_EQ(view().currentChar(), 0);
    EXPECT_FALSE(view().haveFileName());
    EXPECT_TRUE(view().currentFileName().isEmpty());
    EXPECT_EQ(view().appDir(), dir.path().native() + '/');
    EXPECT_EQ(lblstatus()->text(), "Currently editing character: 0");
    EXPECT_EQ(view().fontSet(), test::testDefaultSet());
    for (int i = 0; i < Form1::kCells; ++i) {
        const OleColor expected = i % 2 ? kBlack : kWhite;
        EXPECT_EQ(view().pixel(i).BackColor(), expected) << "pixel " << i;
        EXPECT_EQ(view().preview(i).BackColor(), expected) << "preview " << i;
    }
}

TEST_F(EditorTest, StartUpShowsTheBusyPointerWhileItReads) {
    platform.programDirectory /= ""; // a folder given with its separator keeps just one
    ASSERT_EQ(platform.programDirectory.native().back(), '/');
    form->Form_Load();
    EXPECT_EQ(platform.busyChanges, (std::vector<bool>{true, false}));
    EXPECT_EQ(view().appDir(), dir.path().native() + '/');
}

TEST_F(EditorTest, StartUpWithoutADefaultSetFailsAndChangesNothing) {
    form->cmdNextChar_Click();
    std::filesystem::remove(dir / "default.8xfont");
    try {
        form->Form_Load();
        FAIL() << "started without a default set";
    } catch (const FileError& error) {
        EXPECT_EQ(error.path(), dir / "default.8xfont");
    }
    EXPECT_EQ(platform.busyChanges, (std::vector<bool>{true, false}));
    EXPECT_EQ(view().currentChar(), 1);
    EXPECT_EQ(view().fontSet(), test::testDefaultSet());
}

// Twips rounded to pixels at both edges: the cells keep their overlaps.
TEST_F(EditorTest, ControlsStandWhereTheLayoutPutsThem) {
    EXPECT_EQ(view().pixel(0).geometry(), QRect(4, 16, 26, 27));
    EXPECT_EQ(view().pixel(1).geometry(), QRect(29, 16, 26, 27));
    EXPECT_EQ(view().pixel(5).geometry(), QRect(4, 41, 26, 27));
    EXPECT_EQ(view().pixel(34).geometry(), QRect(104, 167, 27, 27));
    EXPECT_TRUE(view().pixel(0).geometry().intersects(view().pixel(1).geometry()));

    // The frame keeps its right edge, top and height; it is 49 pixels wide or, where its
    // title needs more, wider to the left, with the preview centred and Next below it.
    const QRect frame = Frame1()->geometry();
    EXPECT_EQ(frame.right() + 1, 337);
    EXPECT_EQ(frame.top(), 16);
    EXPECT_EQ(frame.height(), 60);
    EXPECT_GE(frame.width(), 49);
    EXPECT_GE(frame.width(), Frame1()->minimumSizeHint().width());
    EXPECT_EQ(Frame1()->title(), "Preview");
    const int shift = (frame.width() - 49) / 2;
    EXPECT_EQ(view().preview(0).grid()->parentWidget(), Frame1());
    EXPECT_EQ(view().preview(0).geometry(), QRect(11 + shift, 14, 6, 6));
    EXPECT_EQ(view().preview(34).geometry(), QRect(32 + shift, 47, 6, 6));
    EXPECT_EQ(cmdNextChar()->geometry(), QRect(frame.left(), 86, frame.width(), 21));
    EXPECT_EQ(cmdNextChar()->text(), "Next");
    EXPECT_EQ(form->centralWidget()->width(), 339);
    EXPECT_GE(form->centralWidget()->height(), 232);
}

TEST_F(EditorTest, StatusLineHoldsItsLongestTextOnOneLine) {
    form->show();
    const QLabel* status = lblstatus();
    EXPECT_EQ(status->pos(), QPoint(2, 218));
    const QFontMetrics metrics(status->font());
    EXPECT_GE(status->width(), metrics.horizontalAdvance("Currently editing character: 200"));
    EXPECT_GE(status->height(), metrics.height());
    EXPECT_LE(status->geometry().right() + 1, 337);
    EXPECT_LE(status->geometry().bottom() + 1, form->centralWidget()->height());
    EXPECT_EQ(form->size(), form->minimumSize()) << "the window is not resizable";
    EXPECT_EQ(form->size(), form->maximumSize());
}

TEST_F(EditorTest, OnlyNextTakesTheFocus) {
    form->show();
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    for (const QWidget* child : form->centralWidget()->findChildren<QWidget*>()) {
        if (child != cmdNextChar()) {
            EXPECT_EQ(child->focusPolicy(), Qt::NoFocus) << child->metaObject()->className();
        }
    }
    EXPECT_EQ(QApplication::focusWidget(), cmdNextChar());
    click(view().pixel(3));
    EXPECT_EQ(QApplication::focusWidget(), cmdNextChar());
    QTest::keyClick(cmdNextChar(), Qt::Key_Space);
    EXPECT_EQ(view().currentChar(), 1);
}

} // namespace
} // namespace korvalin
