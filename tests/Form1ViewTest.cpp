// The window forwards the user's events to the core and paints what it is told.
#include "QtCompat.h"
#include "WindowFixture.h"

#include <QPaintEvent>
#include <QSignalSpy>

namespace korvalin {
namespace {

using test::WindowTest;

// Counts the paint events of one widget.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

// The colour painted at the middle of `cell`.
QRgb paintedAt(const Cell& cell) {
    return cell.grid()
        ->grab(cell.rect())
        .toImage()
        .pixel(cell.rect().width() / 2, cell.rect().height() / 2);
}

TEST_F(WindowTest, ACellClickReachesTheCoreAndBothGridsRepaint) {
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    QCoreApplication::processEvents();
    const QSignalSpy clicked(pixelGrid(), &CellGrid::clicked);
    PaintCounter pixelPaints(pixelGrid());
    PaintCounter previewPaints(previewGrid());
    ASSERT_EQ(form->pixelCell(3).BackColor(), kBlack);

    click(form->pixelCell(3));
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(clicked.at(0).at(0).toInt(), 3);
    EXPECT_EQ(state().fontSet().cell(0, 3), 255);
    EXPECT_TRUE(QTest::qWaitFor([&] { return pixelPaints.paints > 0 && previewPaints.paints > 0; }))
        << "both grids paint again";
    EXPECT_EQ(paintedAt(form->pixelCell(3)), toQColor(kWhite).rgb());
    EXPECT_EQ(paintedAt(form->previewCell(3)), toQColor(kWhite).rgb());
}

TEST_F(WindowTest, PreviewAndLabelIgnoreClicks) {
    const FontSet before = state().fontSet();
    const auto colours = pixelColors();
    const QSignalSpy clicked(previewGrid(), &CellGrid::clicked);
    click(form->previewCell(7));
    QTest::mouseClick(Frame1(), Qt::LeftButton);
    QTest::mouseClick(lblstatus(), Qt::LeftButton);
    EXPECT_EQ(clicked.count(), 0);
    EXPECT_EQ(state().fontSet(), before);
    EXPECT_EQ(pixelColors(), colours);
    EXPECT_EQ(form->previewCell(7).BackColor(), kBlack);
}

TEST_F(WindowTest, OverlapsGoToTheUpperCellAndADragIsNoClick) {
    // Cells 0 and 1 share a column of pixels; cell 1 lies on top there.
    const QRect shared = form->pixelCell(0).rect() & form->pixelCell(1).rect();
    ASSERT_FALSE(shared.isEmpty());
    QTest::mouseClick(pixelGrid(), Qt::LeftButton, {}, shared.center());
    EXPECT_EQ(state().fontSet().cell(0, 1), 255) << "cell 1, ink before, is paper now";
    EXPECT_EQ(state().fontSet().cell(0, 0), 255) << "cell 0 is untouched";

    const QSignalSpy clicked(pixelGrid(), &CellGrid::clicked);
    QTest::mousePress(pixelGrid(), Qt::LeftButton, {}, form->pixelCell(2).rect().center());
    QTest::mouseRelease(pixelGrid(), Qt::LeftButton, {}, form->pixelCell(3).rect().center());
    QTest::mouseClick(pixelGrid(), Qt::RightButton, {}, form->pixelCell(2).rect().center());
    EXPECT_EQ(clicked.count(), 0);
    EXPECT_EQ(state().fontSet().cell(0, 2), 255);
    EXPECT_EQ(state().fontSet().cell(0, 3), 0);
}

// Closing asks the core, which may keep the window open; when it ends the program, the
// window says so to the application.
TEST_F(WindowTest, ClosingRunsFormUnloadAndCanBeCancelled) {
    form->show();
    const QSignalSpy ended(form.get(), &Form1::ended);

    // Yes, and the save to the chosen file fails: the window stays.
    platform.messageAnswers = {MsgBoxAnswer::Yes, MsgBoxAnswer::Ok};
    platform.fileChoices = {dir / "gone" / "x.8xfont"};
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(ended.count(), 0);

    platform.messageAnswers = {MsgBoxAnswer::No};
    EXPECT_TRUE(form->close());
    EXPECT_FALSE(form->isVisible());
    ASSERT_EQ(ended.count(), 1);
    EXPECT_EQ(ended.at(0).at(0).toInt(), 0);
    ASSERT_EQ(platform.messages.size(), 3u);
    EXPECT_EQ(platform.messages[2].prompt, "Save current font set?");
    EXPECT_EQ(platform.messages[2].title, "Exit");
    EXPECT_TRUE(platform.allAnswersUsed());
}

// A failure that a handler leaves uncaught does not leave the slot: the core says it in a
// message box and ends the program, and no later event reaches a handler.
TEST_F(WindowTest, AFailureLeftUncaughtIsSaidAndEndsTheProgram) {
    const QSignalSpy ended(form.get(), &Form1::ended);
    platform.messageAnswers = {MsgBoxAnswer::Ok};
    action("mnuSwitchLowerSpecial")->trigger(); // the scripted platform has no reply to give
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].prompt, "unexpected input box");
    EXPECT_EQ(platform.messages[0].style, MsgBoxStyle::OkOnly | MsgBoxStyle::Critical);
    ASSERT_EQ(ended.count(), 1);
    EXPECT_EQ(ended.at(0).at(0).toInt(), 1);
    QTest::mouseClick(cmdNextChar(), Qt::LeftButton);
    EXPECT_EQ(state().currentChar(), 0);
}

} // namespace
} // namespace korvalin
