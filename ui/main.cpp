#include "Form1.h"
#include "KorvalinVersion.h"
#include "QtCompat.h"
#include "QtPlatform.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // Wayland compositors and task switchers match the window to its desktop entry by this.
    QGuiApplication::setDesktopFileName(QLatin1String(korvalin::kDesktopId));
    QCoreApplication::setApplicationVersion(QLatin1String(korvalin::kVersion));
    korvalin::QtPlatform platform;
    korvalin::Form1 window(platform);
    // Boxes shown before the window, such as a failed start's, carry the editor's icon too.
    QApplication::setWindowIcon(window.windowIcon());
    platform.setWindow(&window);
    try {
        window.Form_Load();
    } catch (const std::exception& error) {
        platform.setWindow(nullptr);
        platform.MsgBox(QStringLiteral("The Korvalin Font Set Creator cannot start.\n\n") +
                            korvalin::fromCore(error.what()),
                        korvalin::MsgBoxStyle::OkOnly | korvalin::MsgBoxStyle::Critical, QString());
        return 1;
    }
    window.show();
    return app.exec();
}
