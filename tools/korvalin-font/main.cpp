// korvalin-font: the editor's companion on the command line.
#include "StandardOutput.h"

#include <algorithm>

#ifdef _WIN32
#include <QCoreApplication>
#endif

int main(int argc, char** argv) {
#ifdef _WIN32
    // Only the application object reads the wide command line there.
    const QCoreApplication application(argc, argv);
    return korvalin::RunFontToolProcess(QCoreApplication::arguments().mid(1));
#else
    // Without the application object, which takes longer to make than the work takes.
    return korvalin::RunFontToolProcess(
        std::span<char* const>(argv + 1, static_cast<std::size_t>(std::max(argc - 1, 0))));
#endif
}
