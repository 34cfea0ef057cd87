#include "AtomicFileParts.h"

#include "FileError.h"
#include "PathText.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cstdlib>
#include <system_error>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

namespace korvalin::atomic_file {
namespace fs = std::filesystem;
namespace {

constexpr std::string_view kMarker = ".saving-";
// More links than this in a row are taken for a loop, as the system does.
constexpr int kMaxLinkHops = 40;

bool allDigits(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

} // namespace

fs::path resolveLink(const fs::path& requested) {
    fs::path path = requested;
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        std::error_code error;
        if (!fs::is_symlink(path, error))
            return path;
        const fs::path linked = fs::read_symlink(path, error);
        if (error)
            return path;
        path = linked.is_absolute() ? linked : path.parent_path() / linked;
    }
    throw FileError(requested,
                    "cannot be written: " +
                        systemReason(static_cast<int>(std::errc::too_many_symbolic_link_levels)));
}

std::string hostName() {
    std::string name;
#ifdef _WIN32
    if (const char* computer = std::getenv("COMPUTERNAME"))
        name = computer;
#else
    char buffer[256] = {};
    if (::gethostname(buffer, sizeof buffer - 1) == 0)
        name = buffer;
#endif
    if (name.empty())
        name = "host";
    name.resize(std::min<std::size_t>(name.size(), 64));
    for (char& c : name) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '_';
        if (!plain)
            c = '_';
    }
    return name;
}

// Hidden and ending in neither the target's extension nor any other, so a leftover
// from a killed save never shows in an Open dialog's filter nor collides with the next.
std::string temporaryName(std::string_view targetName, std::string_view host, long pid,
                          unsigned counter) {
    const std::string tail = std::string(kMarker) + std::string(host) + "-" + std::to_string(pid) +
                             "-" + std::to_string(counter);
    const std::size_t room = kMaxNameBytes - 1 - tail.size();
    return "." + std::string(targetName.substr(0, room)) + tail;
}

fs::path temporaryPathFor(const fs::path& target) {
    static std::atomic<unsigned> counter{0};
    static const std::string host = hostName();
#ifdef _WIN32
    const long pid = _getpid();
#else
    const long pid = ::getpid();
#endif
    return target.parent_path() / temporaryName(target.filename().string(), host, pid, counter++);
}

std::optional<long> leftoverProcess(std::string_view entryName, std::string_view targetName,
                                    std::string_view host) {
    const std::string marker = std::string(kMarker) + std::string(host) + "-";
    const std::size_t at = entryName.rfind(marker);
    if (!entryName.starts_with('.') || at == std::string_view::npos || at == 0)
        return std::nullopt;
    // The name before the marker is the target's, or its start where the whole would not fit.
    const std::string_view name = entryName.substr(1, at - 1);
    if (name != targetName && !(entryName.size() == kMaxNameBytes && targetName.starts_with(name)))
        return std::nullopt;
    const std::string_view numbers = entryName.substr(at + marker.size());
    const std::size_t dash = numbers.find('-');
    if (dash == std::string_view::npos || !allDigits(numbers.substr(0, dash)) ||
        !allDigits(numbers.substr(dash + 1)))
        return std::nullopt;
    long pid = 0;
    const auto [end, error] = std::from_chars(numbers.data(), numbers.data() + dash, pid);
    if (error != std::errc{} || pid <= 0)
        return std::nullopt;
    return pid;
}

void checkFolder(const fs::path& target) {
    const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    std::error_code error;
    const auto status = fs::status(folder, error);
    if (!fs::exists(status))
        throw FileError(target, "the folder \"" + PathText(folder) + "\" does not exist");
    if (!fs::is_directory(status))
        throw FileError(target, "\"" + PathText(folder) + "\" is not a folder");
}

} // namespace korvalin::atomic_file
