// The yardsticks of the start-up benchmark, started like the editor: a bare Qt main window,
// and (BARE_WITH_TEXT) the same with a menu bar of the editor's three entries and a line of
// text, so that it pays for the font system as every window with text does. Both have the
// editor's client size.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Bare window"));
#ifdef BARE_WITH_TEXT
    QMenuBar* bar = window.menuBar();
    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    for (const char* item : {"&New Set...", "&Load...", "&Save...", "&Exit"})
        file->addAction(QString::fromLatin1(item));
    QMenu* switchCharacter = bar->addMenu(QStringLiteral("&Switch Character"));
    switchCharacter->addAction(QStringLiteral("Lower special (0-31)"));
    QMenu* letters = switchCharacter->addMenu(QStringLiteral("Uppercase letters"));
    for (char letter = 'A'; letter <= 'Z'; ++letter)
        letters->addAction(QString(QLatin1Char(letter)));
    bar->addAction(QStringLiteral("&Compile"));
    auto* label = new QLabel(QStringLiteral("Currently editing character: 0"));
    label->setAlignment(Qt::AlignLeft | Qt::AlignBottom);
    label->setFixedSize(339, 232);
    window.setCentralWidget(label);
#else
    auto* client = new QWidget;
    client->setFixedSize(339, 232);
    window.setCentralWidget(client);
#endif
    window.show();
    return app.exec();
}
