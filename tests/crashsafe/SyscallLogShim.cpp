// Preloaded into a program that writes files: logs, in order, the calls that decide whether a
// replaced file survives a power cut and who may read it meanwhile, for paths under
// $KORVALIN_SYSCALL_WATCH, one a line into $KORVALIN_SYSCALL_LOG: "create PATH<TAB>MODE" (the
// mode asked for, in octal), "write PATH", "fsync PATH", "rename FROM<TAB>TO".
#include <cerrno>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <string>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

std::string pathOfDescriptor(int fd) {
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    char name[PATH_MAX];
    const ssize_t length = ::readlink(link, name, sizeof name - 1);
    return length > 0 ? std::string(name, static_cast<std::size_t>(length)) : std::string();
}

std::string pathAt(int folder, const char* name) {
    if (name[0] == '/')
        return name;
    std::string base;
    if (folder == AT_FDCWD) {
        char cwd[PATH_MAX];
        if (::getcwd(cwd, sizeof cwd) != nullptr)
            base = cwd;
    } else {
        base = pathOfDescriptor(folder);
    }
    return base + "/" + name;
}

bool watched(const std::string& path) {
    const char* watch = std::getenv("KORVALIN_SYSCALL_WATCH");
    return watch != nullptr && *watch != '\0' && path.starts_with(watch);
}

// Straight to the kernel, so that the log's own writes are not logged, and errno stays.
void log(const std::string& line) {
    const char* logPath = std::getenv("KORVALIN_SYSCALL_LOG");
    if (logPath == nullptr)
        return;
    const int saved = errno;
    const auto fd = static_cast<int>(
        ::syscall(SYS_openat, AT_FDCWD, logPath, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600));
    if (fd >= 0) {
        const std::string text = line + "\n";
        [[maybe_unused]] const long written = ::syscall(SYS_write, fd, text.data(), text.size());
        ::syscall(SYS_close, fd);
    }
    errno = saved;
}

void logDescriptor(const char* call, int fd) {
    if (const std::string path = pathOfDescriptor(fd); watched(path))
        log(std::string(call) + " " + path);
}

void logRename(const std::string& from, const std::string& to) {
    if (watched(from) || watched(to))
        log("rename " + from + "\t" + to);
}

template <typename Function>
Function next(const char* name) {
    return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" {

ssize_t write(int fd, const void* data, size_t size) {
    static const auto real = next<ssize_t (*)(int, const void*, size_t)>("write");
    logDescriptor("write", fd);
    return real(fd, data, size);
}

int fsync(int fd) {
    static const auto real = next<int (*)(int)>("fsync");
    logDescriptor("fsync", fd);
    return real(fd);
}

int fdatasync(int fd) {
    static const auto real = next<int (*)(int)>("fdatasync");
    logDescriptor("fsync", fd);
    return real(fd);
}

int rename(const char* from, const char* to) {
    static const auto real = next<int (*)(const char*, const char*)>("rename");
    logRename(pathAt(AT_FDCWD, from), pathAt(AT_FDCWD, to));
    return real(from, to);
}

int openat(int folder, const char* name, int flags, ...) {
    static const auto real = next<int (*)(int, const char*, int, ...)>("openat");
    mode_t mode = 0;
    if ((flags & O_CREAT) != 0) {
        va_list arguments;
        va_start(arguments, flags);
        mode = va_arg(arguments, mode_t);
        va_end(arguments);
        if (const std::string path = pathAt(folder, name); watched(path)) {
            char octal[16];
            std::snprintf(octal, sizeof octal, "%04o", static_cast<unsigned>(mode));
            log("create " + path + "\t" + octal);
        }
    }
    return real(folder, name, flags, mode);
}

int renameat(int fromFolder, const char* from, int toFolder, const char* to) {
    static const auto real = next<int (*)(int, const char*, int, const char*)>("renameat");
    logRename(pathAt(fromFolder, from), pathAt(toFolder, to));
    return real(fromFolder, from, toFolder, to);
}

} // extern "C"
