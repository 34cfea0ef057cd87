// Starting a process with posix_spawn and watching it through one descriptor: an epoll set
// of the process's pidfd (readable once it has ended) and of the pipe of its error output.
#include "FileError.h"
#include "LastLine.h"
#include "Launch.h"
#include "PathText.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <string_view>
#include <sys/epoll.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>

extern char** environ;

namespace korvalin {

namespace {

class Descriptor {
public:
    Descriptor() = default;
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Descriptor& operator=(Descriptor&& other) noexcept {
        reset(std::exchange(other.fd_, -1));
        return *this;
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() { reset(); }

    [[nodiscard]] int get() const { return fd_; }
    [[nodiscard]] bool valid() const { return fd_ >= 0; }
    void reset(int fd = -1) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = fd;
    }

private:
    int fd_ = -1;
};

[[noreturn]] void fail(const LaunchRequest& request, int error) {
    throw LaunchError(PathText(request.program) + ": " + systemReason(error));
}

int exitStatusOf(int status) {
    return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
}

// Waits for a process nobody watches any more, on a thread of its own, so it leaves no
// zombie. Until it ends its error output is read and dropped, so it never blocks on a full
// pipe; a child it leaves behind holding the pipe does not hold up the reaping.
void reapInTheBackground(pid_t pid, Descriptor pidfd, Descriptor errors) noexcept {
    try {
        std::thread([pid, pidfd = std::move(pidfd), errors = std::move(errors)]() mutable {
            while (pidfd.valid() && errors.valid()) {
                pollfd sources[2] = {{pidfd.get(), POLLIN, 0}, {errors.get(), POLLIN, 0}};
                if (::poll(sources, 2, -1) < 0 && errno != EINTR)
                    break;
                if (sources[0].revents != 0)
                    break;
                char buffer[4096];
                const ssize_t got = ::read(errors.get(), buffer, sizeof buffer);
                if (got == 0 || (got < 0 && errno != EINTR && errno != EAGAIN))
                    errors.reset();
            }
            int status = 0;
            while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
        }).detach();
    } catch (...) {
        // No thread to be had: the process stays a zombie until the program ends.
    }
}

class PosixProcess final : public LaunchedProcess {
public:
    PosixProcess(pid_t pid, Descriptor pidfd, Descriptor errors, Descriptor watch)
        : pid_(pid), pidfd_(std::move(pidfd)), errors_(std::move(errors)),
          watch_(std::move(watch)) {}
    PosixProcess(const PosixProcess&) = delete;
    PosixProcess& operator=(const PosixProcess&) = delete;

    ~PosixProcess() override {
        if (!outcome_)
            reapInTheBackground(pid_, std::move(pidfd_), std::move(errors_));
    }

    [[nodiscard]] std::intptr_t notifier() const override { return watch_.get(); }

    [[nodiscard]] std::optional<ProcessOutcome> poll() override {
        if (outcome_)
            return outcome_;
        drainErrors();
        int status = 0;
        pid_t reaped = 0;
        do
            reaped = ::waitpid(pid_, &status, WNOHANG);
        while (reaped < 0 && errno == EINTR);
        if (reaped == 0)
            return std::nullopt;
        // What it wrote last may still be in the pipe; a child it left behind may keep the
        // pipe open, so this reads what is there and stops.
        drainErrors();
        stopWatching(errors_);
        stopWatching(pidfd_);
        // ECHILD: someone else reaped it, and its status is lost.
        outcome_ = ProcessOutcome{reaped < 0 ? -1 : exitStatusOf(status), errorLine_.line()};
        return outcome_;
    }

private:
    void drainErrors() {
        char buffer[4096];
        while (errors_.valid()) {
            const ssize_t got = ::read(errors_.get(), buffer, sizeof buffer);
            if (got > 0)
                errorLine_.add({buffer, static_cast<std::size_t>(got)});
            else if (got < 0 && errno == EINTR)
                continue;
            else if (got < 0 && errno == EAGAIN)
                return;
            else
                stopWatching(errors_); // the end of its output, or a pipe gone bad
        }
    }

    // Takes a descriptor out of the set, so a finished source no longer wakes the watcher.
    void stopWatching(Descriptor& source) {
        if (!source.valid())
            return;
        ::epoll_ctl(watch_.get(), EPOLL_CTL_DEL, source.get(), nullptr);
        source.reset();
    }

    pid_t pid_;
    Descriptor pidfd_;
    Descriptor errors_;
    Descriptor watch_;
    LastLine errorLine_;
    std::optional<ProcessOutcome> outcome_;
};

// The spawn's file actions and attributes, released however the spawn ends.
struct SpawnSetup {
    posix_spawn_file_actions_t actions{};
    posix_spawnattr_t attributes{};

    SpawnSetup() {
        ::posix_spawn_file_actions_init(&actions);
        ::posix_spawnattr_init(&attributes);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;
    ~SpawnSetup() {
        ::posix_spawnattr_destroy(&attributes);
        ::posix_spawn_file_actions_destroy(&actions);
    }
};

bool watchForInput(int watch, int source) {
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.fd = source;
    return ::epoll_ctl(watch, EPOLL_CTL_ADD, source, &event) == 0;
}

} // namespace

std::unique_ptr<LaunchedProcess> Launch(const LaunchRequest& request) {
    // posix_spawn reports a folder it cannot enter as if the program were at fault.
    if (!request.workingDirectory.empty() && ::access(request.workingDirectory.c_str(), X_OK) != 0)
        throw LaunchError(PathText(request.program) + ": cannot enter " +
                          PathText(request.workingDirectory) + ": " + systemReason(errno));
    SpawnSetup setup;
    if (!request.workingDirectory.empty())
        if (const int error = ::posix_spawn_file_actions_addchdir_np(
                &setup.actions, request.workingDirectory.c_str());
            error != 0)
            fail(request, error);
    if (request.standardInput >= 0)
        ::posix_spawn_file_actions_adddup2(&setup.actions, static_cast<int>(request.standardInput),
                                           STDIN_FILENO);

    Descriptor errorsRead;
    Descriptor errorsWrite;
    if (request.captureErrorOutput) {
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) != 0)
            fail(request, errno);
        errorsRead.reset(ends[0]);
        errorsWrite.reset(ends[1]);
        // Only our end is non-blocking; the process writes as it always does.
        ::fcntl(errorsRead.get(), F_SETFL, O_NONBLOCK);
        ::posix_spawn_file_actions_adddup2(&setup.actions, errorsWrite.get(), STDERR_FILENO);
    }

    // The process starts with no signal blocked and a broken pipe ending it, whatever the
    // editor's event loop has set up for itself.
    sigset_t signals;
    sigemptyset(&signals);
    ::posix_spawnattr_setsigmask(&setup.attributes, &signals);
    sigaddset(&signals, SIGPIPE);
    ::posix_spawnattr_setsigdefault(&setup.attributes, &signals);
    ::posix_spawnattr_setflags(&setup.attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    Descriptor watch(::epoll_create1(EPOLL_CLOEXEC));
    if (!watch.valid())
        fail(request, errno);

    std::vector<char*> argv;
    std::string program = request.program.native();
    std::vector<NativeString> arguments = request.arguments;
    argv.push_back(program.data());
    for (NativeString& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    pid_t pid = 0;
    if (const int error = ::posix_spawn(&pid, program.c_str(), &setup.actions, &setup.attributes,
                                        argv.data(), environ);
        error != 0)
        fail(request, error);
    errorsWrite.reset();

    // pidfds are always close-on-exec. Without one, or without the set to watch it in, the
    // process runs unwatched: it is reaped in the background and reported as not started.
    Descriptor pidfd(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)));
    if (!pidfd.valid() || !watchForInput(watch.get(), pidfd.get()) ||
        (errorsRead.valid() && !watchForInput(watch.get(), errorsRead.get()))) {
        const int error = errno;
        reapInTheBackground(pid, std::move(pidfd), std::move(errorsRead));
        fail(request, error);
    }
    return std::make_unique<PosixProcess>(pid, std::move(pidfd), std::move(errorsRead),
                                          std::move(watch));
}

} // namespace korvalin
