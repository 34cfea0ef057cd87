// Crash-safe replacement on POSIX systems: a temporary file beside the target, flushed
// and renamed over it.
#include "AtomicFile.h"
#include "AtomicFileParts.h"
#include "FileError.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace korvalin {
namespace fs = std::filesystem;
using namespace atomic_file;

namespace {
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    [[nodiscard]] int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

// Returns 0 or the errno of the failed write.
int writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

void syncFolder(const fs::path& folder) {
    const Descriptor dir(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_CLOEXEC));
    if (dir.get() >= 0)
        ::fsync(dir.get());
}

} // namespace

void WriteFileAtomically(const fs::path& requested, std::string_view bytes, Durability durability) {
    const fs::path target = resolveLink(requested);
    checkFolder(target);

    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (!exists && errno != ENOENT)
        throw FileError(requested, systemReason(errno));
    if (exists) {
        if (S_ISDIR(existing.st_mode))
            throw FileError(requested, "is a folder");
        // Root may write anywhere; a file without write bits is still the user's "keep out".
        if ((existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
            throw FileError(requested, "the file is read-only");
        if (::access(target.c_str(), W_OK) != 0)
            throw FileError(requested, systemReason(errno));
    }

    // A killed save of an earlier process with the same id may have left the name taken.
    fs::path temporary;
    int descriptor = -1;
    for (int attempt = 0; attempt < kNameAttempts && descriptor < 0; ++attempt) {
        temporary = temporaryPathFor(target);
        descriptor = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor < 0 && errno != EEXIST)
            break;
    }
    Descriptor file(descriptor);
    if (file.get() < 0)
        throw FileError(requested, "cannot be written: " + systemReason(errno));

    const auto fail = [&](int error) {
        ::unlink(temporary.c_str());
        throw FileError(requested, "cannot be written: " + systemReason(error));
    };
    if (exists) {
        // The new file takes over the old one's permissions and, where allowed, owner.
        ::fchmod(file.get(), existing.st_mode & 07777);
        [[maybe_unused]] const int ignored = ::fchown(file.get(), existing.st_uid, existing.st_gid);
    }
    if (const int error = writeAll(file.get(), bytes))
        fail(error);
    if (durability == Durability::Flushed && ::fsync(file.get()) != 0)
        fail(errno);
    if (::close(file.release()) != 0)
        fail(errno);
    if (::rename(temporary.c_str(), target.c_str()) != 0)
        fail(errno);
    if (durability == Durability::Flushed)
        syncFolder(target.parent_path());
}

} // namespace korvalin
