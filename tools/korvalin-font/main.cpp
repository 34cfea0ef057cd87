// korvalin-font: the editor's companion on the command line.
#include "Commands.h"

#include <algorithm>
#include <iostream>

#ifdef _WIN32
#include <QCoreApplication>
#endif

int main(int argc, char** argv) {
#ifdef _WIN32
    // Only the application object reads the wide command line there.
    const QCoreApplication application(argc, argv);
    return korvalin::RunFontTool(QCoreApplication::arguments().mid(1), std::cout, std::cerr);
#else
    // Without the application object, which takes longer to make than the work takes.
    return korvalin::RunFontTool(
        std::span<char* const>(argv + 1, static_cast<std::size_t>(std::max(argc - 1, 0))),
        std::cout, std::cerr);
#endif
}
