// The window's layout, focus, keyboard and painting.
#include "QtCompat.h"
#include "WindowFixture.h"

#include <QFontMetrics>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <cmath>

namespace korvalin {
namespace {

using test::WindowTest;

// The title takes the project's version; start-up paints what the core shows.
TEST_F(WindowTest, StartUpShowsCharacterZeroOfTheDefaultSet) {
    EXPECT_EQ(form->windowTitle(), "Korvalin Font Set Creator 1.0");
    EXPECT_EQ(lblstatus()->text(), "Currently editing character: 0");
    for (int i = 0; i < Form1::kCells; ++i) {
        const OleColor expected = i % 2 ? kBlack : kWhite;
        EXPECT_EQ(form->pixelCell(i).BackColor(), expected) << "pixel " << i;
        EXPECT_EQ(form->previewCell(i).BackColor(), expected) << "preview " << i;
    }
}

// Every control where the core's layout for the window's font puts it, at 96 dpi: Qt
// scales the whole window. The preview lies in the frame, which shows its whole title.
TEST_F(WindowTest, ControlsStandWhereTheLayoutPutsThem) {
    const FormLayout& layout = form->formLayout();
    EXPECT_EQ(layout.dpi, 96);
    for (int i = 0; i < Form1::kCells; ++i) {
        EXPECT_EQ(form->pixelCell(i).geometry(), toQRect(layout.pixel.cellInParent(i))) << i;
        EXPECT_EQ(form->previewCell(i).geometry(), toQRect(layout.preview.cellInParent(i))) << i;
    }
    EXPECT_EQ(form->previewCell(0).grid()->parentWidget(), Frame1());
    EXPECT_EQ(Frame1()->geometry(), toQRect(layout.frame));
    EXPECT_GE(Frame1()->width(), Frame1()->minimumSizeHint().width());
    EXPECT_EQ(Frame1()->title(), "Preview");
    EXPECT_EQ(cmdNextChar()->geometry(), toQRect(layout.next));
    EXPECT_EQ(cmdNextChar()->text(), "Next");
    EXPECT_EQ(lblstatus()->geometry(), toQRect(layout.status));
    EXPECT_EQ(form->centralWidget()->size(), QSize(layout.clientWidth, layout.clientHeight));
}

TEST_F(WindowTest, StatusLineHoldsItsLongestTextOnOneLine) {
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

// Next by mouse, Space, Return and Enter, and nothing else takes the keyboard from it.
TEST_F(WindowTest, OnlyNextTakesTheFocus) {
    activate();
    for (const QWidget* child : form->centralWidget()->findChildren<QWidget*>()) {
        if (child != cmdNextChar()) {
            EXPECT_EQ(child->focusPolicy(), Qt::NoFocus) << child->metaObject()->className();
        }
    }
    EXPECT_EQ(QApplication::focusWidget(), cmdNextChar());
    click(form->pixelCell(3));
    EXPECT_EQ(QApplication::focusWidget(), cmdNextChar());
    const QSignalSpy clicks(cmdNextChar(), &QPushButton::clicked);
    QTest::mouseClick(cmdNextChar(), Qt::LeftButton);
    EXPECT_EQ(state().currentChar(), 1);
    QTest::keyClick(cmdNextChar(), Qt::Key_Space);
    EXPECT_EQ(state().currentChar(), 2);
    QTest::keyClick(cmdNextChar(), Qt::Key_Return);
    EXPECT_EQ(state().currentChar(), 3) << "Return clicks the focused button too";
    QTest::keyClick(cmdNextChar(), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(state().currentChar(), 4);
    EXPECT_EQ(clicks.count(), 4);
    EXPECT_EQ(lblstatus()->text(), "Currently editing character: 4");
}

// F10, or Alt pressed and released alone, puts the keyboard on the menu bar without
// opening a menu; Escape gives it back to Next.
TEST_F(WindowTest, F10AndALoneAltGiveTheMenuBarTheKeyboard) {
    activate();
    QMenuBar* const bar = form->menuBar();
    const QRect file = bar->actionGeometry(bar->actions().at(0));
    const QImage unmarked = bar->grab(file).toImage();
    for (const Qt::Key key : {Qt::Key_F10, Qt::Key_Alt}) {
        ASSERT_EQ(QApplication::focusWidget(), cmdNextChar());
        QTest::keyClick(cmdNextChar(), key);
        EXPECT_EQ(QApplication::focusWidget(), bar) << key;
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr) << key;
        EXPECT_NE(bar->grab(file).toImage(), unmarked) << key << ": \"File\" shows the keyboard";
        QTest::keyClick(bar, Qt::Key_Escape);
        EXPECT_EQ(QApplication::focusWidget(), cmdNextChar()) << key;
    }
}

struct ColourRun {
    QRgb colour;
    int length;
};

// The runs of one colour along a line of pixels, leaving out `background` at both ends.
std::vector<ColourRun> runsAlong(const QImage& image, QPoint from, QPoint step, QRgb background) {
    std::vector<ColourRun> runs;
    for (QPoint at = from; image.rect().contains(at); at += step) {
        const QRgb colour = image.pixel(at);
        if (!runs.empty() && runs.back().colour == colour)
            ++runs.back().length;
        else
            runs.push_back({colour, 1});
    }
    if (!runs.empty() && runs.back().colour == background)
        runs.pop_back();
    if (!runs.empty() && runs.front().colour == background)
        runs.erase(runs.begin());
    return runs;
}

struct Scale {
    const char* name;
    double factor;
    int offset; // where the grid lies in the image, in logical pixels
};

class GridAtScale : public test::WindowTest, public testing::WithParamInterface<Scale> {};

// Across each row and down each column of cells: a line, a cell's colour, a line, and so
// on, every line as wide as every other and nothing of a cell's colour outside its lines.
TEST_P(GridAtScale, LinesAreEvenAndCellsFillTheirInsides) {
    const Scale& scale = GetParam();
    CellGrid* grid = pixelGrid();
    const QSize logical = grid->size() + QSize(2 * scale.offset, 2 * scale.offset);
    QImage image((QSizeF(logical) * scale.factor).toSize(), QImage::Format_RGB32);
    image.setDevicePixelRatio(scale.factor);
    const QRgb background = qRgb(255, 0, 0);
    image.fill(background);
    grid->render(&image, QPoint(scale.offset, scale.offset));

    const QRgb line = image.pixel((QPointF(scale.offset, scale.offset) * scale.factor).toPoint());
    const auto device = [&](int logicalCoordinate) {
        return static_cast<int>((logicalCoordinate + scale.offset) * scale.factor);
    };
    std::vector<int> lineWidths;
    const auto check = [&](const std::vector<ColourRun>& runs, const std::vector<int>& cells,
                           const std::string& where) {
        ASSERT_EQ(runs.size(), 2 * cells.size() + 1) << where;
        for (std::size_t i = 0; i < runs.size(); ++i) {
            if (i % 2 == 0) {
                EXPECT_EQ(runs[i].colour, line) << where << ", run " << i;
                lineWidths.push_back(runs[i].length);
            } else {
                const OleColor colour = form->pixelCell(cells[i / 2]).BackColor();
                EXPECT_EQ(runs[i].colour, toQColor(colour).rgb()) << where << ", run " << i;
            }
        }
    };
    for (int row = 0; row < FontSet::kRows; ++row) {
        std::vector<int> cells;
        for (int column = 0; column < FontSet::kColumns; ++column)
            cells.push_back(row * FontSet::kColumns + column);
        const int y = device(form->pixelCell(cells[0]).rect().center().y());
        check(runsAlong(image, {0, y}, {1, 0}, background), cells, "row " + std::to_string(row));
    }
    for (int column = 0; column < FontSet::kColumns; ++column) {
        std::vector<int> cells;
        for (int row = 0; row < FontSet::kRows; ++row)
            cells.push_back(row * FontSet::kColumns + column);
        const int x = device(form->pixelCell(cells[0]).rect().center().x());
        check(runsAlong(image, {x, 0}, {0, 1}, background), cells,
              "column " + std::to_string(column));
    }
    ASSERT_FALSE(lineWidths.empty());
    EXPECT_EQ(std::ranges::count(lineWidths, lineWidths[0]), std::ssize(lineWidths))
        << "every line equally wide";
    EXPECT_LE(lineWidths[0], std::ceil(scale.factor));
}

INSTANTIATE_TEST_SUITE_P(Factors, GridAtScale,
                         testing::Values(Scale{"x1", 1.0, 0}, Scale{"x1_25", 1.25, 0},
                                         Scale{"x1_5", 1.5, 0}, Scale{"x2", 2.0, 0},
                                         Scale{"x1_25_shifted", 1.25, 1},
                                         Scale{"x1_5_shifted", 1.5, 1}),
                         [](const auto& test) { return std::string(test.param.name); });

// Title bars, task bars and task switchers find their sizes at the screen's scale, 16 to
// 48 pixels at 1, and a larger picture is drawn when it is asked for. The icon comes after
// the first frame, whose start its decoding would delay.
TEST_F(WindowTest, WindowIconOffersTheSizesOfTheScreensScaleOnceTheWindowIsPainted) {
    form->show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form->windowIcon().isNull(); }));
    ASSERT_EQ(form->devicePixelRatio(), 1.0);
    EXPECT_EQ(form->windowIcon().availableSizes(), (QList<QSize>{{16, 16}, {32, 32}, {48, 48}}));
    EXPECT_EQ(form->windowIcon().pixmap(QSize(256, 256)).size(), QSize(256, 256));
}

} // namespace
} // namespace korvalin
