// korvalin-font: the editor's companion on the command line.
#include "Commands.h"

#include <iostream>

#ifdef _WIN32
#include <QCoreApplication>
#endif

int main(int argc, char** argv) {
    QStringList arguments;
#ifdef _WIN32
    // Only the application object reads the wide command line there.
    const QCoreApplication application(argc, argv);
    arguments = QCoreApplication::arguments();
#else
    // Without the application object, which takes longer to make than the work takes.
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
#endif
    return korvalin::RunFontTool(arguments.mid(1), std::cout, std::cerr);
}
