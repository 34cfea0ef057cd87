#include "Form1.h"

#include "EditorIcon.h"
#include "KorvalinVersion.h"
#include "QtCompat.h"

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
#include <algorithm>

namespace korvalin {

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
    pixelGrid = new CellGrid(CellGrid::Kind::Pixel, client);
    pixelGrid->setObjectName(QStringLiteral("pixel"));
    connect(pixelGrid, &CellGrid::clicked, this,
            [this](int index) { editor_.Run([this, index] { editor_.pixel_Click(index); }); });

    Frame1 = new QGroupBox(QStringLiteral("Preview"), client);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFocusPolicy(Qt::NoFocus);
    // The frame's line runs through the middle of its title, as the preview's place in it
    // assumes; Fusion would put the title above the line and the cells across it. Where
    // that style is missing the frame keeps the application's. The window owns the style
    // and deletes it after the frame.
    if (QStyle* const titledFrameStyle = QStyleFactory::create(QStringLiteral("Windows"))) {
        titledFrameStyle->setParent(this);
        Frame1->setStyle(titledFrameStyle);
    }
    previewGrid = new CellGrid(CellGrid::Kind::Preview, Frame1);
    previewGrid->setObjectName(QStringLiteral("preview"));

    for (int i = 0; i < kCells; ++i) {
        pixel[at(i)] = pixelGrid->cell(i);
        preview[at(i)] = previewGrid->cell(i);
    }

    lblstatus = new QLabel(QStringLiteral("Currently editing character:"), client);
    lblstatus->setObjectName(QStringLiteral("lblstatus"));
    lblstatus->setFocusPolicy(Qt::NoFocus);

    cmdNextChar = new QPushButton(QStringLiteral("Next"), client);
    cmdNextChar->setObjectName(QStringLiteral("cmdNextChar"));
    cmdNextChar->setFocusPolicy(Qt::StrongFocus);
    // As on the editor's original platform, Return clicks the focused button as Space does.
    cmdNextChar->setAutoDefault(true);
    connect(cmdNextChar, &QPushButton::clicked, this,
            [this] { editor_.Run([this] { editor_.cmdNextChar_Click(); }); });
    setFocusProxy(cmdNextChar);
    cmdNextChar->setFocus();

    // Qt scales the whole window to the screen: the layout is the one at 96 dpi.
    placeControls(LayOutForm(kDefaultDpi, textRoom(), PreviewParent::Frame));
}

TextRoom Form1::textRoom() const {
    const QFontMetrics metrics(lblstatus->font());
    int widestDigit = 0;
    for (char digit = '0'; digit <= '9'; ++digit)
        widestDigit = std::max(widestDigit, metrics.horizontalAdvance(QLatin1Char(digit)));
    return {metrics.horizontalAdvance(toQString(Editor::kStatusPrefix)), widestDigit,
            metrics.height(), Frame1->minimumSizeHint().width()};
}

void Form1::placeControls(const FormLayout& layout) {
    layout_ = layout;
    pixelGrid->place(layout.pixel);
    Frame1->setGeometry(toQRect(layout.frame));
    previewGrid->place(layout.preview);
    cmdNextChar->setGeometry(toQRect(layout.next));
    lblstatus->setGeometry(toQRect(layout.status));
    centralWidget()->setFixedSize(layout.clientWidth, layout.clientHeight);
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
    editor_.Run([this, &cancel] { editor_.Form_Unload(cancel); });
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
