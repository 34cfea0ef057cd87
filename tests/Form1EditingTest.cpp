#include "EditorFixture.h"

#include <QTest>

namespace korvalin {
namespace {

using test::EditorTest;

TEST_F(EditorTest, ClickInvertsACellItsPreviewAndItsValue) {
    form->selectCharacter(10); // cell 0 of character 10 is paper
    ASSERT_EQ(form->pixel[0]->BackColor(), kWhite);
    click(form->pixel[0]);
    EXPECT_EQ(form->pixel[0]->BackColor(), kBlack);
    EXPECT_EQ(form->preview[0]->BackColor(), kBlack);
    EXPECT_EQ(form->fontSet.cell(10, 0), 0);
    click(form->pixel[0]);
    EXPECT_EQ(form->pixel[0]->BackColor(), kWhite);
    EXPECT_EQ(form->preview[0]->BackColor(), kWhite);
    EXPECT_EQ(form->fontSet.cell(10, 0), 255);

    FontSet expected = test::testDefaultSet();
    EXPECT_EQ(form->fontSet, expected) << "two clicks give the cell back";
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
    form->fontSet.setCell(255, 34, c.stored);
    form->fontSet.setCell(254, 34, 77);
    form->selectCharacter(255);
    EXPECT_EQ(form->pixel[34]->BackColor(), c.shown);
    EXPECT_EQ(form->preview[34]->BackColor(), c.shown);

    click(form->pixel[34]);
    EXPECT_EQ(form->pixel[34]->BackColor(), c.afterFirst);
    EXPECT_EQ(form->preview[34]->BackColor(), c.afterFirst);
    EXPECT_EQ(form->fontSet.cell(255, 34), c.storedFirst);

    click(form->pixel[34]);
    EXPECT_EQ(form->pixel[34]->BackColor(), c.afterSecond);
    EXPECT_EQ(form->fontSet.cell(255, 34), c.storedSecond);
    EXPECT_EQ(form->fontSet.cell(254, 34), 77) << "only the current character changes";
}

INSTANTIATE_TEST_SUITE_P(Values, GreyCellClicks,
                         testing::Values(ClickCase{128, 0x808080, 0x7F7F7F, 127, 0x808080, 128},
                                         ClickCase{300, kWhite, kBlack, 0, kWhite, 255},
                                         ClickCase{1000, kWhite, kBlack, 0, kWhite, 255},
                                         ClickCase{-5, kBlack, kWhite, 255, kBlack, 0},
                                         ClickCase{1, 0x010101, 0xFEFEFE, 254, 0x010101, 1}));

TEST_F(EditorTest, PreviewAndLabelIgnoreClicks) {
    const FontSet before = form->fontSet;
    const auto colours = pixelColors();
    click(form->preview[7]);
    QTest::mouseClick(form->Frame1, Qt::LeftButton);
    QTest::mouseClick(form->lblstatus, Qt::LeftButton);
    EXPECT_EQ(form->fontSet, before);
    EXPECT_EQ(pixelColors(), colours);
    EXPECT_EQ(form->preview[7]->BackColor(), kBlack);
}

TEST_F(EditorTest, OverlapsGoToTheUpperCellAndADragIsNoClick) {
    // Cells 0 and 1 share a column of pixels; cell 1 lies on top there.
    const QRect shared = form->pixel[0]->rect() & form->pixel[1]->rect();
    ASSERT_FALSE(shared.isEmpty());
    QTest::mouseClick(form->pixelGrid, Qt::LeftButton, {}, shared.center());
    EXPECT_EQ(form->fontSet.cell(0, 1), 255) << "cell 1, ink before, is paper now";
    EXPECT_EQ(form->fontSet.cell(0, 0), 255) << "cell 0 is untouched";

    QTest::mousePress(form->pixelGrid, Qt::LeftButton, {}, form->pixel[2]->rect().center());
    QTest::mouseRelease(form->pixelGrid, Qt::LeftButton, {}, form->pixel[3]->rect().center());
    QTest::mouseClick(form->pixelGrid, Qt::RightButton, {}, form->pixel[2]->rect().center());
    EXPECT_EQ(form->fontSet.cell(0, 2), 255);
    EXPECT_EQ(form->fontSet.cell(0, 3), 0);
}

TEST_F(EditorTest, NextWrapsFrom255ToZero) {
    form->selectCharacter(254);
    form->cmdNextChar_Click();
    EXPECT_EQ(form->currentChar, 255);
    EXPECT_EQ(form->lblstatus->text(), "Currently editing character: 255");
    QTest::mouseClick(form->cmdNextChar, Qt::LeftButton);
    EXPECT_EQ(form->currentChar, 0);
    EXPECT_EQ(form->lblstatus->text(), "Currently editing character: 0");
    EXPECT_EQ(form->pixel[0]->BackColor(), kWhite);
    EXPECT_EQ(form->pixel[1]->BackColor(), kBlack);
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
        EXPECT_EQ(form->currentChar, expected);
        EXPECT_EQ(form->lblstatus->text(),
                  "Currently editing character: " + QString::number(expected));
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
    form->mnuSwitchUppercaseLetters[65]->trigger();
    const OleColor before = form->pixel[12]->BackColor();
    click(form->pixel[12]);
    form->cmdNextChar_Click();
    EXPECT_EQ(form->currentChar, 66);
    EXPECT_EQ(form->pixel[12]->BackColor(), GreyOf(test::testDefaultSet().cell(66, 12)))
        << "character 66 has its own cell 12";
    form->mnuSwitchUppercaseLetters[65]->trigger();
    EXPECT_EQ(form->pixel[12]->BackColor(), before ^ 0xFFFFFF);
    EXPECT_EQ(form->preview[12]->BackColor(), before ^ 0xFFFFFF);
}

TEST_F(EditorTest, ShowCharacterPaintsGreysOfTheStoredValues) {
    std::ranges::fill(form->fontSet.cells(), FontSet::kSet);
    form->fontSet.setCell(3, 7, 128);
    form->selectCharacter(3);
    for (int i = 0; i < Form1::kCells; ++i) {
        const OleColor expected = i == 7 ? 0x808080 : kBlack;
        EXPECT_EQ(form->pixel[i]->BackColor(), expected);
        EXPECT_EQ(form->preview[i]->BackColor(), expected);
    }
}

} // namespace
} // namespace korvalin
