#include "Form1.h"

#include "Twips.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QStyleFactory>

namespace korvalin {

namespace {

constexpr int kClientWidth = 5085;
constexpr int kClientHeight = 3474;
// Margins of the status line: from the client area's right edge, and below it.
constexpr int kStatusRightMargin = 27;
constexpr int kStatusBottomMargin = kClientHeight - (3267 + 171);

} // namespace

Form1::Form1(Platform& platform, QWidget* parent)
    : QMainWindow(parent), CommonDialog1(platform), platform_(platform) {
    setWindowTitle(kTitle);
    QIcon icon;
    // The sizes a title bar and a task switcher show; larger ones only cost start-up time.
    for (const int size : {16, 32, 48})
        icon.addFile(QStringLiteral(":/icon-%1.png").arg(size), QSize(size, size));
    setWindowIcon(icon);
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
    connect(pixelGrid, &CellGrid::clicked, this, &Form1::pixel_Click);

    Frame1 = new QGroupBox(QStringLiteral("Preview"), client);
    Frame1->setGeometry(twipsRect(4320, 243, 738, 900));
    Frame1->setFocusPolicy(Qt::NoFocus);
    // The frame's line runs through the middle of its title, as the preview's place in it
    // assumes; Fusion would put the title above the line and the cells across it.
    static QStyle* const titledFrameStyle = QStyleFactory::create(QStringLiteral("Windows"));
    Frame1->setStyle(titledFrameStyle);
    previewGrid = new CellGrid(CellGrid::Kind::Preview, previewCells, Frame1);

    for (int i = 0; i < kCells; ++i) {
        pixel[i] = pixelGrid->cell(i);
        preview[i] = previewGrid->cell(i);
    }

    lblstatus = new QLabel(QStringLiteral("Currently editing character:"), client);
    lblstatus->setGeometry(twipsRect(27, 3267, 2331, 171));
    lblstatus->setFocusPolicy(Qt::NoFocus);

    cmdNextChar = new QPushButton(QStringLiteral("Next"), client);
    cmdNextChar->setGeometry(twipsRect(4320, 1296, 738, 306));
    cmdNextChar->setFocusPolicy(Qt::StrongFocus);
    cmdNextChar->setAutoDefault(false);
    connect(cmdNextChar, &QPushButton::clicked, this, &Form1::cmdNextChar_Click);
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
    const int needed = metrics.horizontalAdvance(kStatusPrefix) + 3 * widestDigit + 2;
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

void Form1::closeEvent(QCloseEvent* event) {
    bool cancel = false;
    Form_Unload(cancel);
    if (cancel)
        event->ignore();
    else
        event->accept();
}

} // namespace korvalin
