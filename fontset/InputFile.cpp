#include "InputFile.h"

#include "FileError.h"

#include <algorithm>
#include <cerrno>
#include <span>
#include <string>

#ifdef _WIN32
#include "WindowsFiles.h"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace korvalin {
namespace fs = std::filesystem;

#ifdef _WIN32

struct InputFile::Handle {
    explicit Handle(HANDLE opened) : file(opened) {}
    windows_files::Handle file;
};

InputFile::InputFile(fs::path path) : path_(std::move(path)) {
    // Opening a pipe connects to its server and a device may wait: refused by name first.
    if (windows_files::namesADevice(path_))
        throw FileError(path_, "is not a regular file");
    // Folders open too, so that they are named as such.
    const HANDLE opened = CreateFileW(path_.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (opened == INVALID_HANDLE_VALUE)
        throw FileError(path_, "cannot be opened: " + windowsReason(GetLastError()));
    handle_ = std::make_unique<Handle>(opened);
    if (!windows_files::isOnDisk(opened))
        throw FileError(path_, "is not a regular file");
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(opened, &information))
        throw FileError(path_, "cannot be opened: " + windowsReason(GetLastError()));
    if ((information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        throw FileError(path_, "is a folder");
}

InputFile::~InputFile() = default;

std::size_t InputFile::read(std::span<char> buffer) {
    constexpr std::size_t kChunk = 1u << 30;
    std::size_t filled = 0;
    while (filled < buffer.size()) {
        const std::size_t left = buffer.size() - filled;
        const auto size = static_cast<DWORD>(left < kChunk ? left : kChunk);
        DWORD got = 0;
        if (!ReadFile(handle_->file.get(), buffer.data() + filled, size, &got, nullptr))
            throw FileError(path_,
                            "could not be read to its end: " + windowsReason(GetLastError()));
        if (got == 0)
            break;
        filled += got;
    }
    return filled;
}

#else

struct InputFile::Handle {
    int fd = -1;
    ~Handle() {
        if (fd >= 0)
            ::close(fd);
    }
};

namespace {

// Names what the path is when opening it failed for a reason its kind explains best
// (a socket cannot be opened at all).
[[noreturn]] void failOpen(const fs::path& path, int reason) {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode))
        throw FileError(path, S_ISDIR(info.st_mode) ? "is a folder" : "is not a regular file");
    throw FileError(path, "cannot be opened: " + systemReason(reason));
}

} // namespace

InputFile::InputFile(fs::path path) : path_(std::move(path)), handle_(std::make_unique<Handle>()) {
    // Without O_NONBLOCK, opening a FIFO waits for a writer that may never come.
    handle_->fd = ::open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (handle_->fd < 0)
        failOpen(path_, errno);
    struct stat info {};
    if (::fstat(handle_->fd, &info) != 0)
        throw FileError(path_, "cannot be opened: " + systemReason(errno));
    if (S_ISDIR(info.st_mode))
        throw FileError(path_, "is a folder");
    if (!S_ISREG(info.st_mode))
        throw FileError(path_, "is not a regular file");
    const int flags = ::fcntl(handle_->fd, F_GETFL);
    if (flags < 0 || ::fcntl(handle_->fd, F_SETFL, flags & ~O_NONBLOCK) != 0)
        throw FileError(path_, "cannot be opened: " + systemReason(errno));
}

InputFile::~InputFile() = default;

std::size_t InputFile::read(std::span<char> buffer) {
    std::size_t filled = 0;
    while (filled < buffer.size()) {
        const ssize_t count = ::read(handle_->fd, buffer.data() + filled, buffer.size() - filled);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            throw FileError(path_, "could not be read to its end: " + systemReason(errno));
        if (count == 0)
            break;
        filled += static_cast<std::size_t>(count);
    }
    return filled;
}

#endif

std::string ReadWholeFile(const fs::path& path, std::size_t limit) {
    InputFile file(path);
    // Grown as the file turns out longer: a generous limit must not cost its whole size in
    // zeroed memory for a file of a few kilobytes.
    std::string bytes;
    std::size_t filled = 0;
    for (std::size_t size = std::min<std::size_t>(limit, 64 * 1024) + 1;;
         size = std::min(2 * size, limit + 1)) {
        bytes.resize(size);
        filled += file.read(std::span<char>(bytes).subspan(filled));
        if (filled < size || size == limit + 1)
            break;
    }
    bytes.resize(filled);
    if (bytes.size() > limit)
        throw FileError(path, "is larger than " + std::to_string(limit) + " bytes");
    return bytes;
}

} // namespace korvalin
