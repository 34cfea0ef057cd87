// korvalin-font: the editor's companion on the command line.
#include "Commands.h"

#include <QCoreApplication>
#include <iostream>

int main(int argc, char** argv) {
    const QCoreApplication application(argc, argv);
    return korvalin::RunFontTool(QCoreApplication::arguments().mid(1), std::cout, std::cerr);
}
