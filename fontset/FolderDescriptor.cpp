#include "FolderDescriptor.h"

#include "FileError.h"
#include "PathText.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace korvalin::atomic_file {
namespace fs = std::filesystem;
namespace {

#ifdef O_PATH
constexpr int kFolderFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;
#else
constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
#endif

// Walks down from the root or the working folder, so no call sees the whole path.
int openNameByName(const fs::path& folder) {
    int fd = ::open(folder.is_absolute() ? "/" : ".", kFolderFlags);
    for (const fs::path& part : folder.relative_path()) {
        if (fd < 0 || part.empty())
            continue;
        const int next = ::openat(fd, part.c_str(), kFolderFlags);
        const int error = errno;
        ::close(fd);
        errno = error;
        fd = next;
    }
    return fd;
}

int openFolder(const fs::path& target, const fs::path& folder) {
    int fd = ::open(folder.c_str(), kFolderFlags);
    if (fd < 0 && errno == ENAMETOOLONG)
        fd = openNameByName(folder);
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

FileDescriptor::~FileDescriptor() {
    if (fd_ >= 0)
        ::close(fd_);
}

FolderDescriptor::FolderDescriptor(const fs::path& target, const fs::path& folder)
    : fd_(openFolder(target, folder)) {}

void FolderDescriptor::sync() const {
    const FileDescriptor readable(::openat(fd_.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (readable.get() >= 0)
        ::fsync(readable.get());
}

} // namespace korvalin::atomic_file
