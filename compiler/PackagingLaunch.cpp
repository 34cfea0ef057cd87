#include "PackagingLaunch.h"

#include "AtomicFile.h"
#include "FileError.h"

#ifndef _WIN32
#include <cerrno>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#endif

namespace korvalin {

namespace {

#ifndef _WIN32
// The script file as it is now, opened for the shell; -1 when it no longer holds `text`,
// because another editor replaced it after we wrote it, or a link took its place.
int openIfItHolds(const std::filesystem::path& script, std::string_view text) {
    const int fd = ::open(script.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0 && errno == ELOOP)
        return -1;
    if (fd < 0)
        throw FileError(script, systemReason(errno));
    std::string found(text.size() + 1, '\0');
    ssize_t got = 0;
    do
        got = ::pread(fd, found.data(), found.size(), 0);
    while (got < 0 && errno == EINTR);
    if (got < 0) {
        const int error = errno;
        ::close(fd);
        throw FileError(script, systemReason(error));
    }
    found.resize(static_cast<std::size_t>(got));
    if (found == text)
        return fd;
    ::close(fd);
    return -1;
}
#endif

} // namespace

PackagingLaunch::PackagingLaunch(const std::filesystem::path& script, std::string_view text,
                                 const std::filesystem::path& folder) {
    request_.workingDirectory = folder;
    request_.windowStyle = WindowStyle::ShowNoActivate;
    // The packer's last words come back, for the notice that tells the user what went wrong.
    request_.captureErrorOutput = true;
#ifdef _WIN32
    // The launch runs a .bat through cmd.exe.
    WriteFileAtomically(script, text, Durability::Transient, LinkPolicy::Replace);
    request_.program = script;
#else
    request_.program = "/bin/sh";
    request_.arguments = {"-s"};
    // Two editors may write the one script at once; each starts its own or none.
    constexpr int kAttempts = 3;
    for (int attempt = 0; attempt < kAttempts && request_.standardInput < 0; ++attempt) {
        WriteFileAtomically(script, text, Durability::Transient, LinkPolicy::Replace);
        request_.standardInput = openIfItHolds(script, text);
    }
    if (request_.standardInput < 0)
        throw FileError(script, "another program keeps replacing it");
#endif
}

PackagingLaunch::~PackagingLaunch() {
#ifndef _WIN32
    if (request_.standardInput >= 0)
        ::close(static_cast<int>(request_.standardInput));
#endif
}

} // namespace korvalin
