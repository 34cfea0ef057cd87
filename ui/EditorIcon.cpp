#include "EditorIcon.h"

#include <QApplication>
#include <QFile>
#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <algorithm>
#include <map>
#include <vector>

namespace korvalin {
namespace {

// The largest picture a window offers at a device pixel ratio of 1: a task switcher's, the
// largest place a window manager shows a window's own icon (docks and menus take the
// installed theme's). Screens at a higher ratio get the sizes it scales to.
constexpr int kLargestOffered = 48;

QString pictureOf(int side) {
    return QStringLiteral(":/icon-%1.png").arg(side);
}

// The editor's icon from the square pictures the resources hold, each decoded only once it
// is asked for: a window manager on X11 is sent every size offered, and the largest two took
// longer to decode than the window takes to appear.
class EditorIconEngine : public QIconEngine {
public:
    EditorIconEngine() {
        for (const int side : {16, 32, 48, 64, 128, 256}) {
            if (QFile::exists(pictureOf(side)))
                sides_.push_back(side);
        }
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
        const int side = sideFor(size);
        return QSize(side, side).scaled(size, Qt::KeepAspectRatio);
    }

    // The picture nearest the size asked for, at or above it; only a size between two
    // pictures is scaled. The mode and state change nothing: a window icon has neither.
    QPixmap pixmap(const QSize& size, QIcon::Mode, QIcon::State) override {
        const int side = sideFor(size);
        if (side == 0)
            return {};
        QPixmap& picture = decoded_[side];
        if (picture.isNull())
            picture.load(pictureOf(side), "PNG");
        if (picture.size() == size)
            return picture;
        return picture.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        const qreal ratio = painter->device()->devicePixelRatio();
        QPixmap picture = pixmap(rect.size() * ratio, mode, state);
        picture.setDevicePixelRatio(ratio);
        painter->drawPixmap(rect, picture);
    }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        const qreal ratio = qApp != nullptr ? qApp->devicePixelRatio() : 1.0;
        QList<QSize> offered;
        for (const int side : sides_) {
            if (side <= kLargestOffered * ratio || side == sides_.front())
                offered.append(QSize(side, side));
        }
        return offered;
    }

    QIconEngine* clone() const override { return new EditorIconEngine(*this); }
    QString key() const override { return QStringLiteral("KorvalinEditorIcon"); }

private:
    int sideFor(const QSize& size) const {
        const int wanted = std::max(size.width(), size.height());
        const auto fits = std::ranges::find_if(sides_, [&](int side) { return side >= wanted; });
        return fits != sides_.end() ? *fits : (sides_.empty() ? 0 : sides_.back());
    }

    std::vector<int> sides_;
    std::map<int, QPixmap> decoded_;
};

} // namespace

void GiveTheApplicationItsIcon() {
    static bool given = false;
    if (given)
        return;
    given = true;
    QApplication::setWindowIcon(QIcon(new EditorIconEngine));
}

} // namespace korvalin
