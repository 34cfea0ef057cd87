#include "FolderDescriptor.h"

#include "FileError.h"
#include "PathText.h"

#include <cerrno>
#include <fcntl.h>
#include <iterator>
#include <unistd.h>

namespace korvalin::atomic_file {
namespace fs = std::filesystem;
namespace {

constexpr int kReadableFolder = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
#ifdef O_PATH
constexpr int kFolderFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;
#else
constexpr int kFolderFlags = kReadableFolder;
#endif

// Walks down from the root or the working folder, so no call sees the whole path; the
// last name is opened with `lastFlags`.
int openNameByName(const fs::path& folder, int lastFlags) {
    int fd = ::open(folder.is_absolute() ? "/" : ".", kFolderFlags);
    const fs::path relative = folder.relative_path();
    for (auto part = relative.begin(); part != relative.end(); ++part) {
        if (fd < 0 || part->empty())
            continue;
        const int flags = std::next(part) == relative.end() ? lastFlags : kFolderFlags;
        const int next = ::openat(fd, part->c_str(), flags);
        const int error = errno;
        ::close(fd);
        errno = error;
        fd = next;
    }
    return fd;
}

int openWith(const fs::path& folder, int flags) {
    const int fd = ::open(folder.c_str(), flags);
    return fd < 0 && errno == ENAMETOOLONG ? openNameByName(folder, flags) : fd;
}

int openFolder(const fs::path& target, const fs::path& folder, bool& readable) {
    int fd = openWith(folder, kReadableFolder);
    readable = fd >= 0;
    if (fd < 0 && errno == EACCES)
        fd = openWith(folder, kFolderFlags);
    if (fd >= 0)
        return fd;
    if (errno == ENOENT)
        throw FileError(target, "the folder \"" + PathText(folder) + "\" does not exist");
    if (errno == ENOTDIR)
        throw FileError(target, "\"" + PathText(folder) + "\" is not a folder");
    throw FileError(target, "cannot be written: the folder \"" + PathText(folder) +
                                "\" cannot be opened: " + systemReason(errno));
}

} // namespace

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = other.release();
    }
    return *this;
}

FileDescriptor::~FileDescriptor() {
    if (fd_ >= 0)
        ::close(fd_);
}

FolderDescriptor::FolderDescriptor(const fs::path& target, const fs::path& folder) {
    fd_ = FileDescriptor(openFolder(target, folder, readable_));
}

void FolderDescriptor::sync() const {
    // A folder opened only by its path (O_PATH) cannot be flushed, nor reopened for it.
    if (readable_)
        ::fsync(fd_.get());
}

} // namespace korvalin::atomic_file
