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
#include <mutex>
#include <set>
#include <signal.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#ifdef __linux__
#include <sys/auxv.h>
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

// Calls `visit` with the name of each entry of the folder. The listing goes on until the
// system answers nothing, the one sure sign of its end: a folder's listing may come in parts.
template <typename Visit>
void forEachEntry(const FolderDescriptor& folder, Visit visit) {
    if (!folder.readable())
        return;
#ifdef __linux__
    // Straight from the descriptor the save holds, where opendir would open, examine and
    // close one more.
    alignas(dirent64) char buffer[32 * 1024];
    for (;;) {
        const ssize_t filled = ::getdents64(folder.get(), buffer, sizeof buffer);
        if (filled <= 0)
            return;
        for (ssize_t at = 0; at < filled;) {
            const auto* entry = reinterpret_cast<const dirent64*>(buffer + at);
            visit(entry->d_name);
            at += entry->d_reclen;
        }
    }
#else
    const int listing = ::openat(folder.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listing < 0)
        return;
    const std::unique_ptr<DIR, int (*)(DIR*)> entries(::fdopendir(listing), &::closedir);
    if (!entries) {
        ::close(listing);
        return;
    }
    while (const dirent* entry = ::readdir(entries.get()))
        visit(entry->d_name);
#endif
}

// Temporaries of this file that a killed save left behind, from processes of this host
// that have ended; a running save's temporary is never touched.
void removeLeftovers(const FolderDescriptor& folder, const std::string& name,
                     const std::string& host) {
    forEachEntry(folder, [&](const char* entry) {
        const auto pid = leftoverProcess(entry, name, host);
        if (pid && static_cast<pid_t>(*pid) == *pid && ::kill(static_cast<pid_t>(*pid), 0) != 0 &&
            errno == ESRCH)
            ::unlinkat(folder.get(), entry, 0);
    });
}

// The user the process acts as, which a save compares with the old file's owner. On Linux
// it comes from what the kernel handed the program at its start, without a system call:
// our programs never change it.
uid_t effectiveUser() {
#ifdef __linux__
    return static_cast<uid_t>(::getauxval(AT_EUID));
#else
    return ::geteuid();
#endif
}

// Whether this is the run's first save of `name` in `folder`. Leftovers come from saves
// that were killed, so once a run has looked for those of a file, its later saves of it
// need not list the folder again.
bool firstSaveOf(const fs::path& folder, const std::string& name) {
    static std::mutex guard;
    static std::set<std::pair<std::string, std::string>> saved;
    const std::lock_guard lock(guard);
    return saved.emplace(folder.string(), name).second;
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
    if (listSize == 0)
        return 0;
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

// The name a save replaces, looked at without following a link, in the folder it lies in.
struct Place {
    fs::path folderPath;
    FolderDescriptor folder;
    std::string name;
    struct stat existing {};
    bool exists = false;
};

Place look(const fs::path& requested, const fs::path& target, bool followLast) {
    fs::path folderPath = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    FolderDescriptor folder(requested, folderPath);
    Place place{std::move(folderPath), std::move(folder), target.filename().string()};
    place.exists = ::fstatat(place.folder.get(), place.name.c_str(), &place.existing,
                             followLast ? 0 : AT_SYMLINK_NOFOLLOW) == 0;
    if (!place.exists && errno != ENOENT)
        throw FileError(requested, "cannot be written: " + systemReason(errno));
    return place;
}

} // namespace

// The calls a save makes beyond the eight that make a replacement durable (open the folder,
// create, write, flush and close the file, rename it, flush and close the folder) are each
// given their reason below.
void WriteFileAtomically(const fs::path& requested, std::string_view bytes, Durability durability,
                         LinkPolicy links) {
    // One look at the name tells whether the file exists, what it is and whose it is. A link
    // in its place is rare: only then is the link followed and the place looked at again. A
    // link to replace goes as a file that does not exist, and the rename takes the link
    // itself, so the new file owes nothing to whatever the link named.
    Place place = look(requested, requested, false);
    if (place.exists && S_ISLNK(place.existing.st_mode)) {
        if (links == LinkPolicy::Follow)
            place = look(requested, resolveLink(requested), true);
        else
            place.exists = false;
    }
    const FolderDescriptor& folder = place.folder;
    const std::string& name = place.name;
    const struct stat& existing = place.existing;
    const bool exists = place.exists && !S_ISLNK(existing.st_mode);
    const bool ours = exists && existing.st_uid == effectiveUser();
    if (exists) {
        if (S_ISDIR(existing.st_mode))
            throw FileError(requested, "is a folder");
        // A device, FIFO or socket would be replaced by a plain file, or block the save.
        if (!S_ISREG(existing.st_mode))
            throw FileError(requested, "is not a regular file");
        // Root may write anywhere; a file without write bits is still the user's "keep out".
        if ((existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
            throw FileError(requested, "the file is read-only");
        // For the process's own file the owner's bits say whether it may be written, and
        // root may write any; for another user's file the system decides, asked once,
        // groups and access lists included.
        if (ours) {
            if ((existing.st_mode & S_IWUSR) == 0 && existing.st_uid != 0)
                throw FileError(requested, systemReason(EACCES));
        } else if (effectiveUser() != 0 && ::faccessat(folder.get(), name.c_str(), W_OK, 0) != 0) {
            throw FileError(requested, systemReason(errno));
        }
    }

    // The computer's name (one call for the whole run) and the process's id make the
    // temporary's name, which a later save recognises when this one is killed; the listing
    // finds those that killed saves left.
    static const std::string host = hostName();
    if (firstSaveOf(place.folderPath, name))
        removeLeftovers(folder, name, host);

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
            throw FileError(requested,
                            "cannot be saved: the folder " + folderName(place.folderPath) +
                                " does not allow new files (" + systemReason(error) + ")");
        throw FileError(requested, "cannot be written: " + systemReason(error));
    }

    const auto fail = [&](int error, const std::string& what) {
        ::unlinkat(folder.get(), temporary.c_str(), 0);
        throw FileError(requested, what + systemReason(error));
    };
    if (exists) {
        // The new file takes over the old one's owner where allowed, then its permissions
        // and attributes (an access list sets the group bits last). The group may differ even
        // for the process's own file, in a folder that gives new files its group.
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
