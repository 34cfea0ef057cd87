#include "EditorIcon.h"

#include <QApplication>
#include <QFile>
#include <QIcon>

namespace korvalin {

void GiveTheApplicationItsIcon() {
    static bool given = false;
    if (given)
        return;
    given = true;
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        const QString file = QStringLiteral(":/icon-%1.png").arg(size);
        if (QFile::exists(file))
            icon.addFile(file, QSize(size, size));
    }
    QApplication::setWindowIcon(icon);
}

} // namespace korvalin
