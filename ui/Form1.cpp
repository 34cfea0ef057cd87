#include "Form1.h"

#include "EditorIcon.h"
#include "KorvalinVersion.h"
#include "QtCompat.h"
#include "Twips.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QStyle>
#include <QStyleFactory>
#include <QTimer>

namespace korvalin {

namespace {

constexpr int kClientWidth = 5085;
constexpr int kClientHeight = 3474;
// Margins of the status line: from the client area's right edge, and below it.
constexpr int kStatusRightMargin = 27;
constexpr int kStatusBottomMargin = kClientHeight - (3267 + 171);

} // namespace

const QString Form1::kTitle =
    QStringLiteral("Korvalin Font Set Creator ") + QLatin1String(kVersion.data(), kVersion.size());

Form1::Form1(Platform& platform, QWidget* parent) : QMainWindow(parent), editor_(*this, platform) {
    setWindowTitle(kTitle);
    createControls();
    createMenus();
    // The window takes the size of its fixed client area plus the menu bar.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void Form1::createControls() {
    auto* client = new QWidget(this);
    setCentralWidget(client);

    // Cells, frame and label never take the focus.
    std::vector<QRect> pixelCells;
    std::vector<QRect> previewCells;
    for (int i = 0; i < kCells; ++i) {
        const int row = i / FontSet::kColumns;
        const int column = i % FontSet::kColumns;
        const int size = i == 0 ? 400 : 396;
        pixelCells.push_back(twipsRect(54 + 378 * column, 243 + 378 * row, size, size));
        previewCells.push_back(twipsRect(162 + 81 * column, 216 + 81 * row, 90, 90));
    }
    pixelGrid = new CellGrid(CellGrid::Kind::Pixel, pixelCells, client);
    pixelGrid->setObjectName(QStringLiteral("pixel"));
    connect(pixelGrid, &CellGrid::clicked, this, [this](int index) { editor_.pixel_Click(index); });

    Frame1 = new QGroupBox(QStringLiteral("Preview"), client);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(twipsRect(4320, 243, 738, 900));
    Frame1->setFocusPolicy(Qt::NoFocus);
    // The frame's line runs through the middle of its title, as the preview's place in it
    // assumes; Fusion would put the title above the line and the cells across it. Where
    // that style is missing the frame keeps the application's. The window owns the style
    // and deletes it after the frame.
    if (QStyle* const titledFrameStyle = QStyleFactory::create(QStringLiteral("Windows"))) {
        titledFrameStyle->setParent(this);
        Frame1->setStyle(titledFrameStyle);
    }
    previewGrid = new CellGrid(CellGrid::Kind::Preview, previewCells, Frame1);
    previewGrid->setObjectName(QStringLiteral("preview"));

    for (int i = 0; i < kCells; ++i) {
        pixel[i] = pixelGrid->cell(i);
        preview[i] = previewGrid->cell(i);
    }

    lblstatus = new QLabel(QStringLiteral("Currently editing character:"), client);
    lblstatus->setObjectName(QStringLiteral("lblstatus"));
    lblstatus->setGeometry(twipsRect(27, 3267, 2331, 171));
    lblstatus->setFocusPolicy(Qt::NoFocus);

    cmdNextChar = new QPushButton(QStringLiteral("Next"), client);
    cmdNextChar->setObjectName(QStringLiteral("cmdNextChar"));
    cmdNextChar->setGeometry(twipsRect(4320, 1296, 738, 306));
    cmdNextChar->setFocusPolicy(Qt::StrongFocus);
    // As on the editor's original platform, Return clicks the focused button as Space does.
    cmdNextChar->setAutoDefault(true);
    connect(cmdNextChar, &QPushButton::clicked, this, [this] { editor_.cmdNextChar_Click(); });
    setFocusProxy(cmdNextChar);
    cmdNextChar->setFocus();

    client->setFixedSize(twipsToPixels(kClientWidth), twipsToPixels(kClientHeight));
    fitPreviewFrame();
    fitStatusLine();
}

// Like the status line, the frame was sized for a smaller font: where its title does not
// fit, the frame and the Next button below it grow to the left, and the preview stays
// centred in the frame.
void Form1::fitPreviewFrame() {
    const int grow = std::max(0, Frame1->minimumSizeHint().width() - Frame1->width());
    if (grow == 0)
        return;
    for (QWidget* control : {static_cast<QWidget*>(Frame1), static_cast<QWidget*>(cmdNextChar)})
        control->setGeometry(control->geometry().adjusted(-grow, 0, 0, 0));
    previewGrid->move(previewGrid->pos() + QPoint(grow / 2, 0));
}

// The status line was sized for a smaller default font than most desktops have: it keeps
// its place and grows to hold its longest text on one line, and the window with it.
void Form1::fitStatusLine() {
    const QFontMetrics metrics(lblstatus->font());
    int widestDigit = 0;
    for (char digit = '0'; digit <= '9'; ++digit)
        widestDigit = std::max(widestDigit, metrics.horizontalAdvance(QLatin1Char(digit)));
    const int needed =
        metrics.horizontalAdvance(toQString(Editor::kStatusPrefix)) + 3 * widestDigit + 2;
    const int rightLimit = twipsToPixels(kClientWidth - kStatusRightMargin);

    QRect box = lblstatus->geometry();
    box.setWidth(std::clamp(needed, box.width(), rightLimit - box.left()));
    box.setHeight(std::max(box.height(), metrics.height()));
    lblstatus->setGeometry(box);

    QWidget* client = centralWidget();
    const int clientHeight =
        std::max(client->height(), box.bottom() + 1 + twipsToPixels(kStatusBottomMargin));
    client->setFixedSize(client->width(), clientHeight);
}

// The icon comes once the first frame is painted, so its decoding never delays it.
bool Form1::event(QEvent* event) {
    const bool handled = QMainWindow::event(event);
    if (event->type() == QEvent::Paint)
        QTimer::singleShot(0, this, &GiveTheApplicationItsIcon);
    return handled;
}

void Form1::closeEvent(QCloseEvent* event) {
    bool cancel = false;
    editor_.Form_Unload(cancel);
    if (cancel)
        event->ignore();
    else
        event->accept();
}

Cell* Form1::cellOf(CellBlock block, int index) const {
    return (block == CellBlock::Pixel ? pixel : preview).at(at(index));
}

void Form1::ShowCell(CellBlock block, int index, OleColor colour) {
    cellOf(block, index)->setBackColor(colour);
}

OleColor Form1::CellColour(CellBlock block, int index) const {
    return cellOf(block, index)->BackColor();
}

void Form1::SetStatus(const std::string& text) {
    lblstatus->setText(toQString(text));
}

void Form1::SetBusyPointer(bool busy) {
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void Form1::End(int exitStatus) {
    emit ended(exitStatus);
}

} // namespace korvalin
