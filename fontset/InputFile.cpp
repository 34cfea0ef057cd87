#include "InputFile.h"

#include "FileError.h"

#include <algorithm>
#include <cerrno>
#include <span>
#include <string>

#ifdef _WIN32
#include <fstream>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace korvalin {
namespace fs = std::filesystem;

#ifdef _WIN32

struct InputFile::Handle {
    std::ifstream in;
};

InputFile::InputFile(fs::path path) : path_(std::move(path)), handle_(std::make_unique<Handle>()) {
    std::error_code error;
    const fs::file_status status = fs::status(path_, error);
    if (fs::is_directory(status))
        throw FileError(path_, "is a folder");
    if (fs::exists(status) && !fs::is_regular_file(status))
        throw FileError(path_, "is not a regular file");
    errno = 0;
    handle_->in.open(path_, std::ios::binary);
    if (!handle_->in) {
        const int reason = errno ? errno : (fs::exists(status) ? EACCES : ENOENT);
        throw FileError(path_, "cannot be opened: " + systemReason(reason));
    }
}

InputFile::~InputFile() = default;

std::size_t InputFile::read(std::span<char> buffer) {
    handle_->in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    if (handle_->in.bad())
        throw FileError(path_, "could not be read to its end");
    return static_cast<std::size_t>(handle_->in.gcount());
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
