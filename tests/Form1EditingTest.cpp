#include "EditorFixture.h"

#include <QTest>

namespace korvalin {
namespace {

using test::EditorTest;

TEST_F(EditorTest, ClickInvertsACellItsPreviewAndItsValue) {
    form->selectCharacter(10); // cell 0 of character 10 is paper
    ASSERT_EQ(view().pixel(0).BackColor(), kWhite);
    click(view().pixel(0));
    EXPECT_EQ(view().pixel(0).BackColor(), kBlack);
    EXPECT_EQ(view().preview(0).BackColor(), kBlack);
    EXPECT_EQ(view().fontSet().cell(10, 0), 0);
    click(view().pixel(0));
    EXPECT_EQ(view().pixel(0).BackColor(), kWhite);
    EXPECT_EQ(view().preview(0).BackColor(), kWhite);
    EXPECT_EQ(view().fontSet().cell(10, 0), 255);

    FontSet expected = test::testDefaultSet();
    EXPECT_EQ(view().fontSet(), expected) << "two clicks give the cell back";
}

struct ClickCase {
    CellValue stored;
    OleColor shown;
    OleColor afterFirst;
    CellValue storedFirst;
    OleColor afterSecond;
    CellValue storedSecond;
};

class GreyCellClicks : public EditorTest, public testing::WithParamInterface<ClickCase> {};

// Values other than 0 and 255 come from files; a click turns the grey it shows into
// its opposite and stores that.
TEST_P(GreyCellClicks, FollowTheColourShown) {
    const ClickCase& c = GetParam();
    FontSet set = test::testDefaultSet();
    set.setCell(255, 34, c.stored);
    set.setCell(254, 34, 77);
    loadSet(set);
    form->selectCharacter(255);
    EXPECT_EQ(view().pixel(34).BackColor(), c.shown);
    EXPECT_EQ(view().preview(34).BackColor(), c.shown);

    click(view().pixel(34));
    EXPECT_EQ(view().pixel(34).BackColor(), c.afterFirst);
    EXPECT_EQ(view().preview(34).BackColor(), c.afterFirst);
    EXPECT_EQ(view().fontSet().cell(255, 34), c.storedFirst);

    click(view().pixel(34));
    EXPECT_EQ(view().pixel(34).BackColor(), c.afterSecond);
    EXPECT_EQ(view().fontSet().cell(255, 34), c.storedSecond);
    EXPECT_EQ(view().fontSet().cell(254, 34), 77) << "only the current character changes";
}

INSTANTIATE_TEST_SUITE_P(Values, GreyCellClicks,
                         testing::Values(ClickCase{128, 0x808080, 0x7F7F7F, 127, 0x808080, 128},
                                         ClickCase{300, kWhite, kBlack, 0, kWhite, 255},
                                         ClickCase{1000, kWhite, kBlack, 0, kWhite, 255},
                                         ClickCase{-5, kBlack, kWhite, 255, kBlack, 0},
                                         ClickCase{1, 0x010101, 0xFEFEFE, 254, 0x010101, 1}));

TEST_F(EditorTest, PreviewAndLabelIgnoreClicks) {
    const FontSet before = view().fontSet();
    const auto colours = pixelColors();
    click(view().preview(7));
    QTest::mouseClick(Frame1(), Qt::LeftButton);
    QTest::mouseClick(lblstatus(), Qt::LeftButton);
    EXPECT_EQ(view().fontSet(), before);
    EXPECT_EQ(pixelColors(), colours);
    EXPECT_EQ(view().preview(7).BackColor(), kBlack);
}

TEST_F(EditorTest, OverlapsGoToTheUpperCellAndADragIsNoClick) {
    // Cells 0 and 1 share a column of pixels; cell 1 lies on top there.
    const QRect shared = view().pixel(0).rect() & view().pixel(1).rect();
    ASSERT_FALSE(shared.isEmpty());
    QTest::mouseClick(pixelGrid(), Qt::LeftButton, {}, shared.center());
    EXPECT_EQ(view().fontSet().cell(0, 1), 255) << "cell 1, ink before, is paper now";
    EXPECT_EQ(view().fontSet().cell(0, 0), 255) << "cell 0 is untouched";

    QTest::mousePress(pixelGrid(), Qt::LeftButton, {}, view().pixel(2).rect().center());
    QTest::mouseRelease(pixelGrid(), Qt::LeftButton, {}, view().pixel(3).rect().center());
    QTest::mouseClick(pixelGrid(), Qt::RightButton, {}, view().pixel(2).rect().center());
    EXPECT_EQ(view().fontSet().cell(0, 2), 255);
    EXPECT_EQ(view().fontSet().cell(0, 3), 0);
}

TEST_F(EditorTest, NextWrapsFrom255ToZero) {
    form->selectCharacter(254);
    form->cmdNextChar_Click();
    EXPECT_EQ(view().currentChar(), 255);
    EXPECT_EQ(lblstatus()->text(), "Currently editing character: 255");
    QTest::mouseClick(cmdNextChar(), Qt::LeftButton);
    EXPECT_EQ(view().currentChar(), 0);
    EXPECT_EQ(lblstatus()->text(), "Currently editing character: 0");
    EXPECT_EQ(view().pixel(0).BackColor(), kWhite);
    EXPECT_EQ(view().pixel(1).BackColor(), kBlack);
}

struct PromptReply {
    QString reply;
    int selected; // -1: nothing changes
};

class NumberPrompt : public EditorTest, public testing::WithParamInterface<PromptReply> {};

TEST_P(NumberPrompt, SelectsCodesZeroTo255AndIgnoresTheRest) {
    form->selectCharacter(42);
    for (auto handler :
         {&Form1::mnuSwitchLowerSpecial_Click, &Form1::mnuSwitchEvenMoreSymbols_Click}) {
        form->selectCharacter(42);
        platform.inputReplies = {GetParam().reply};
        ((*form).*handler)();
        const int expected = GetParam().selected < 0 ? 42 : GetParam().selected;
        EXPECT_EQ(view().currentChar(), expected);
        EXPECT_EQ(lblstatus()->text(), "Currently editing character: " + QString::number(expected));
    }
    ASSERT_EQ(platform.inputBoxes.size(), 2u);
    EXPECT_EQ(platform.inputBoxes[0].first, "Enter number of character to edit:");
    EXPECT_EQ(platform.inputBoxes[0].second, "Switch Character");
    EXPECT_TRUE(platform.messages.empty()) << "a refused reply shows no message";
}

INSTANTIATE_TEST_SUITE_P(Replies, NumberPrompt,
                         testing::Values(PromptReply{"0", 0}, PromptReply{"255", 255},
                                         PromptReply{"200", 200}, PromptReply{"65", 65},
                                         PromptReply{" 7 ", 7}, PromptReply{"+9", 9},
                                         PromptReply{"256", -1}, PromptReply{"-1", -1},
                                         PromptReply{"32768", -1}, PromptReply{"abc", -1},
                                         PromptReply{"1.5", -1}, PromptReply{"", -1}));

TEST_F(EditorTest, AnEditSurvivesNavigation) {
    action("mnuSwitchUppercaseLetters(65)")->trigger();
    const OleColor before = view().pixel(12).BackColor();
    click(view().pixel(12));
    form->cmdNextChar_Click();
    EXPECT_EQ(view().currentChar(), 66);
    EXPECT_EQ(view().pixel(12).BackColor(), GreyOf(test::testDefaultSet().cell(66, 12)))
        << "character 66 has its own cell 12";
    action("mnuSwitchUppercaseLetters(65)")->trigger();
    EXPECT_EQ(view().pixel(12).BackColor(), before ^ 0xFFFFFF);
    EXPECT_EQ(view().preview(12).BackColor(), before ^ 0xFFFFFF);
}

TEST_F(EditorTest, ShowCharacterPaintsGreysOfTheStoredValues) {
    FontSet set;
    std::ranges::fill(set.cells(), FontSet::kSet);
    set.setCell(3, 7, 128);
    loadSet(set);
    form->selectCharacter(3);
    for (int i = 0; i < Form1::kCells; ++i) {
        const OleColor expected = i == 7 ? 0x808080 : kBlack;
        EXPECT_EQ(view().pixel(i).BackColor(), expected);
        EXPECT_EQ(view().preview(i).BackColor(), expected);
    }
}

} // namespace
} // namespace korvalin
