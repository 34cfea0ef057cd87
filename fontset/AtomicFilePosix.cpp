// Crash-safe replacement on POSIX systems: a temporary file beside the target, flushed
// and renamed over it. Everything happens relative to the folder's descriptor, so the
// length of the whole path never matters.
#include "AtomicFile.h"
#include "AtomicFileParts.h"
#include "FileError.h"
#include "FolderDescriptor.h"
#include "PathText.h"

#include <atomic>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <signal.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#ifdef __linux__
#include <sys/xattr.h>
#endif

namespace korvalin {
namespace fs = std::filesystem;
using namespace atomic_file;

namespace {

// Returns 0 or the errno of the failed write.
int writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return errno;
        // Nothing written and no error: trying again would spin for ever.
        if (written == 0)
            return EIO;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

// Temporaries of this file that a killed save left behind, from processes of this host
// that have ended; a running save's temporary is never touched.
void removeLeftovers(int folder, const std::string& name, const std::string& host) {
    const int listing = ::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listing < 0)
        return;
    const std::unique_ptr<DIR, int (*)(DIR*)> entries(::fdopendir(listing), &::closedir);
    if (!entries) {
        ::close(listing);
        return;
    }
    while (const dirent* entry = ::readdir(entries.get())) {
        const auto pid = leftoverProcess(entry->d_name, name, host);
        if (pid && static_cast<pid_t>(*pid) == *pid && ::kill(static_cast<pid_t>(*pid), 0) != 0 &&
            errno == ESRCH)
            ::unlinkat(folder, entry->d_name, 0);
    }
}

#ifdef __linux__
// The old file's extended attributes, its access control list among them, onto the new
// one. Returns 0 or the errno of a failure that would lose access rights or user data.
int copyAttributes(int folder, const std::string& name, int to) {
    // Through the folder's descriptor, and without opening the file, which may be write-only.
    const std::string from = "/proc/self/fd/" + std::to_string(folder) + "/" + name;
    const ssize_t listSize = ::listxattr(from.c_str(), nullptr, 0);
    if (listSize < 0)
        return errno == ENOTSUP || errno == ENOENT ? 0 : errno;
    std::string names(static_cast<std::size_t>(listSize), '\0');
    const ssize_t listed = ::listxattr(from.c_str(), names.data(), names.size());
    if (listed < 0)
        return errno;
    names.resize(static_cast<std::size_t>(listed));
    for (std::size_t at = 0; at < names.size(); at = names.find('\0', at) + 1) {
        const std::string attribute = names.c_str() + at;
        const ssize_t valueSize = ::getxattr(from.c_str(), attribute.c_str(), nullptr, 0);
        if (valueSize < 0)
            return errno;
        std::string value(static_cast<std::size_t>(valueSize), '\0');
        const ssize_t got = ::getxattr(from.c_str(), attribute.c_str(), value.data(), value.size());
        if (got < 0)
            return errno;
        const bool mustKeep =
            attribute.starts_with("user.") || attribute.starts_with("system.posix_acl");
        if (::fsetxattr(to, attribute.c_str(), value.data(), static_cast<std::size_t>(got), 0) !=
                0 &&
            mustKeep)
            return errno;
    }
    return 0;
}
#else
int copyAttributes(int, const std::string&, int) {
    return 0;
}
#endif

std::string folderName(const fs::path& folder) {
    return "\"" + PathText(folder) + "\"";
}

} // namespace

void WriteFileAtomically(const fs::path& requested, std::string_view bytes, Durability durability,
                         LinkPolicy links) {
    const fs::path target = links == LinkPolicy::Follow ? resolveLink(requested) : requested;
    const fs::path folderPath = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    const std::string name = target.filename().string();
    const FolderDescriptor folder(requested, folderPath);

    // A link still in the target's place is one to replace: the rename takes the link
    // itself, and the new file owes nothing to whatever the link named.
    struct stat existing {};
    const int lookFlags = links == LinkPolicy::Replace ? AT_SYMLINK_NOFOLLOW : 0;
    bool exists = ::fstatat(folder.get(), name.c_str(), &existing, lookFlags) == 0;
    if (!exists && errno != ENOENT)
        throw FileError(requested, "cannot be written: " + systemReason(errno));
    if (exists && S_ISLNK(existing.st_mode))
        exists = false;
    if (exists) {
        if (S_ISDIR(existing.st_mode))
            throw FileError(requested, "is a folder");
        // A device, FIFO or socket would be replaced by a plain file, or block the save.
        if (!S_ISREG(existing.st_mode))
            throw FileError(requested, "is not a regular file");
        // Root may write anywhere; a file without write bits is still the user's "keep out".
        if ((existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
            throw FileError(requested, "the file is read-only");
        if (::faccessat(folder.get(), name.c_str(), W_OK, 0) != 0)
            throw FileError(requested, systemReason(errno));
    }

    static const std::string host = hostName();
    removeLeftovers(folder.get(), name, host);

    // A killed save of an earlier process with the same id may have left the name taken.
    // Until it has the old file's permissions, the new one is the owner's alone.
    static std::atomic<unsigned> counter{0};
    std::string temporary;
    int descriptor = -1;
    for (int attempt = 0; attempt < kNameAttempts && descriptor < 0; ++attempt) {
        temporary = temporaryName(name, host, ::getpid(), counter++);
        descriptor = ::openat(folder.get(), temporary.c_str(),
                              O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, exists ? 0600 : 0666);
        if (descriptor < 0 && errno != EEXIST)
            break;
    }
    FileDescriptor file(descriptor);
    if (file.get() < 0) {
        const int error = errno;
        if (error == EACCES || error == EPERM || error == EROFS)
            throw FileError(requested, "cannot be saved: the folder " + folderName(folderPath) +
                                           " does not allow new files (" + systemReason(error) +
                                           ")");
        throw FileError(requested, "cannot be written: " + systemReason(error));
    }

    const auto fail = [&](int error, const std::string& what) {
        ::unlinkat(folder.get(), temporary.c_str(), 0);
        throw FileError(requested, what + systemReason(error));
    };
    if (exists) {
        // The new file takes over the old one's owner where allowed, then its permissions
        // and attributes (an ACL sets the group bits last).
        [[maybe_unused]] const int ignored = ::fchown(file.get(), existing.st_uid, existing.st_gid);
        if (::fchmod(file.get(), existing.st_mode & 07777) != 0)
            fail(errno, "cannot keep its permissions: ");
        if (const int error = copyAttributes(folder.get(), name, file.get()))
            fail(error, "cannot keep its access list and attributes: ");
    }
    if (const int error = writeAll(file.get(), bytes))
        fail(error, "cannot be written: ");
    if (durability == Durability::Flushed && ::fsync(file.get()) != 0)
        fail(errno, "cannot be written: ");
    if (::close(file.release()) != 0)
        fail(errno, "cannot be written: ");
    if (::renameat(folder.get(), temporary.c_str(), folder.get(), name.c_str()) != 0)
        fail(errno, "cannot be written: ");
    if (durability == Durability::Flushed)
        folder.sync();
}

} // namespace korvalin
