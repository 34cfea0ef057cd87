// The yardsticks of the start-up benchmark: a bare Qt main window started like the editor,
// and (BARE_WITH_TEXT) the same with a menu and a line of text.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Bare window"));
#ifdef BARE_WITH_TEXT
    window.menuBar()->addMenu(QStringLiteral("&File"));
    window.setCentralWidget(new QLabel(QStringLiteral("A line of text"), &window));
#endif
    window.show();
    return app.exec();
}
