#include "AtomicFileParts.h"

#include "FileError.h"

#include <atomic>
#include <string>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

namespace korvalin::atomic_file {
namespace fs = std::filesystem;

fs::path resolveLink(const fs::path& requested) {
    std::error_code error;
    if (!fs::is_symlink(requested, error))
        return requested;
    fs::path resolved = fs::weakly_canonical(requested, error);
    return error ? requested : resolved;
}

// Hidden and ending in neither the target's extension nor any other, so a leftover
// from a killed save never shows in an Open dialog's filter nor collides with the next.
fs::path temporaryPathFor(const fs::path& target) {
    static std::atomic<unsigned> counter{0};
#ifdef _WIN32
    const auto pid = _getpid();
#else
    const auto pid = getpid();
#endif
    return target.parent_path() / ("." + target.filename().string() + ".saving-" +
                                   std::to_string(pid) + "-" + std::to_string(counter++));
}

void checkFolder(const fs::path& target) {
    const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    std::error_code error;
    const auto status = fs::status(folder, error);
    if (!fs::exists(status))
        throw FileError(target, "the folder \"" + folder.string() + "\" does not exist");
    if (!fs::is_directory(status))
        throw FileError(target, "\"" + folder.string() + "\" is not a folder");
}

} // namespace korvalin::atomic_file
