#include "Form1.h"
#include "KorvalinVersion.h"
#include "QtPlatform.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // Wayland compositors and task switchers match the window to its desktop entry by this.
    QGuiApplication::setDesktopFileName(QLatin1String(korvalin::kDesktopId));
    QCoreApplication::setApplicationVersion(QLatin1String(korvalin::kVersion));
    korvalin::QtPlatform platform;
    korvalin::Form1 window(platform);
    QObject::connect(&window, &korvalin::Form1::ended, &app,
                     [](int exitStatus) { QCoreApplication::exit(exitStatus); });
    // A failed start's box belongs to no window: the window is never shown then.
    if (!window.editor().Start())
        return 1;
    platform.setWindow(&window);
    window.show();
    return app.exec();
}
