// Cell clicks, the display of a glyph and navigation, on the core with a recording view.
#include "EditorFixture.h"

namespace korvalin {
namespace {

using test::EditorTest;

TEST_F(EditorTest, ClickInvertsACellItsPreviewAndItsValue) {
    select(10); // cell 0 of character 10 is paper
    ASSERT_EQ(view.pixel[0], kWhite);
    editor->pixel_Click(0);
    EXPECT_EQ(view.pixel[0], kBlack);
    EXPECT_EQ(view.preview[0], kBlack);
    EXPECT_EQ(state().fontSet().cell(10, 0), 0);
    editor->pixel_Click(0);
    EXPECT_EQ(view.pixel[0], kWhite);
    EXPECT_EQ(view.preview[0], kWhite);
    EXPECT_EQ(state().fontSet().cell(10, 0), 255);
    EXPECT_EQ(state().fontSet(), test::testDefaultSet()) << "two clicks give the cell back";
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
    select(255);
    EXPECT_EQ(view.pixel[34], c.shown);
    EXPECT_EQ(view.preview[34], c.shown);

    editor->pixel_Click(34);
    EXPECT_EQ(view.pixel[34], c.afterFirst);
    EXPECT_EQ(view.preview[34], c.afterFirst);
    EXPECT_EQ(state().fontSet().cell(255, 34), c.storedFirst);

    editor->pixel_Click(34);
    EXPECT_EQ(view.pixel[34], c.afterSecond);
    EXPECT_EQ(state().fontSet().cell(255, 34), c.storedSecond);
    EXPECT_EQ(state().fontSet().cell(254, 34), 77) << "only the current character changes";
}

INSTANTIATE_TEST_SUITE_P(Values, GreyCellClicks,
                         testing::Values(ClickCase{128, 0x808080, 0x7F7F7F, 127, 0x808080, 128},
                                         ClickCase{300, kWhite, kBlack, 0, kWhite, 255},
                                         ClickCase{1000, kWhite, kBlack, 0, kWhite, 255},
                                         ClickCase{-5, kBlack, kWhite, 255, kBlack, 0},
                                         ClickCase{1, 0x010101, 0xFEFEFE, 254, 0x010101, 1}));

// The view is the record of what is shown: a click inverts the colour on screen, not the
// stored value.
TEST_F(EditorTest, ClickInvertsTheColourTheViewShows) {
    view.pixel[5] = 0x404040;
    editor->pixel_Click(5);
    EXPECT_EQ(view.pixel[5], 0xBFBFBFu);
    EXPECT_EQ(view.preview[5], 0xBFBFBFu);
    EXPECT_EQ(state().fontSet().cell(0, 5), 0xBF);
}

TEST_F(EditorTest, NextWrapsFrom255ToZero) {
    select(254);
    editor->cmdNextChar_Click();
    EXPECT_EQ(state().currentChar(), 255);
    EXPECT_EQ(view.status, "Currently editing character: 255");
    editor->cmdNextChar_Click();
    EXPECT_EQ(state().currentChar(), 0);
    EXPECT_EQ(view.status, "Currently editing character: 0");
    EXPECT_EQ(view.pixel[0], kWhite);
    EXPECT_EQ(view.pixel[1], kBlack);
}

struct PromptReply {
    std::string reply;
    int selected; // -1: nothing changes
};

class NumberPrompt : public EditorTest, public testing::WithParamInterface<PromptReply> {};

TEST_P(NumberPrompt, SelectsCodesZeroTo255AndIgnoresTheRest) {
    for (auto handler :
         {&Editor::mnuSwitchLowerSpecial_Click, &Editor::mnuSwitchEvenMoreSymbols_Click}) {
        editor->mnuSwitchNumbers_Click(42);
        platform.inputReplies = {GetParam().reply};
        ((*editor).*handler)();
        const int expected = GetParam().selected < 0 ? 42 : GetParam().selected;
        EXPECT_EQ(state().currentChar(), expected);
        EXPECT_EQ(view.status, "Currently editing character: " + std::to_string(expected));
    }
    ASSERT_EQ(platform.inputBoxes.size(), 2u);
    EXPECT_EQ(platform.inputBoxes[0].first, "Enter number of character to edit:");
    EXPECT_EQ(platform.inputBoxes[0].second, "Switch Character");
    EXPECT_TRUE(platform.messages.empty()) << "a refused reply shows no message";
}

INSTANTIATE_TEST_SUITE_P(
    Replies, NumberPrompt,
    testing::Values(PromptReply{"0", 0}, PromptReply{"255", 255}, PromptReply{"200", 200},
                    PromptReply{"65", 65}, PromptReply{" 7 ", 7}, PromptReply{"+9", 9},
                    PromptReply{"\t12\r\n", 12},
                    PromptReply{"\xc2\xa0"
                                "13\xe3\x80\x80",
                                13},
                    PromptReply{"-0", 0}, PromptReply{"0099", 99}, PromptReply{"256", -1},
                    PromptReply{"-1", -1}, PromptReply{"32768", -1}, PromptReply{"abc", -1},
                    PromptReply{"1.5", -1}, PromptReply{"", -1}, PromptReply{"+-5", -1},
                    PromptReply{"+", -1}, PromptReply{"1 2", -1}, PromptReply{"0x10", -1}));

TEST_F(EditorTest, AnEditSurvivesNavigation) {
    editor->mnuSwitchUppercaseLetters_Click(65);
    const OleColor before = view.pixel[12];
    editor->pixel_Click(12);
    editor->cmdNextChar_Click();
    EXPECT_EQ(state().currentChar(), 66);
    EXPECT_EQ(view.pixel[12], GreyOf(test::testDefaultSet().cell(66, 12)))
        << "character 66 has its own cell 12";
    editor->mnuSwitchUppercaseLetters_Click(65);
    EXPECT_EQ(view.pixel[12], before ^ 0xFFFFFF);
    EXPECT_EQ(view.preview[12], before ^ 0xFFFFFF);
}

TEST_F(EditorTest, ShowCharacterPaintsGreysOfTheStoredValues) {
    FontSet set;
    std::ranges::fill(set.cells(), FontSet::kSet);
    set.setCell(3, 7, 128);
    loadSet(set);
    select(3);
    for (std::size_t i = 0; i < Editor::kCells; ++i) {
        const OleColor expected = i == 7 ? 0x808080 : kBlack;
        EXPECT_EQ(view.pixel[i], expected);
        EXPECT_EQ(view.preview[i], expected);
    }
}

// Every character item of the menu table selects its own code, and only those do.
TEST_F(EditorTest, EachCharacterItemOfTheMenuTableSelectsItsCode) {
    std::vector<int> codes;
    for (const MenuEntry& entry : MenuTable()) {
        if (entry.argument < 0)
            continue;
        select(entry.argument == 0 ? 1 : 0);
        editor->Choose(entry);
        ASSERT_EQ(state().currentChar(), entry.argument) << entry.objectName;
        EXPECT_EQ(view.status, "Currently editing character: " + std::to_string(entry.argument));
        codes.push_back(entry.argument);
    }
    std::vector<int> expected(122 - 32 + 1);
    std::ranges::generate(expected, [code = 32]() mutable { return code++; });
    EXPECT_EQ(codes, expected) << "32 to 122, in order";
    EXPECT_TRUE(platform.inputBoxes.empty());
}

} // namespace
} // namespace korvalin
