#pragma once

// A program run as a child process and waited for, its standard streams, folder,
// environment and limits where a test puts them: the one way the tests start a program.
#include "Argv.h"
#include "TempDir.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace korvalin::test {

// Where a child's standard output or error goes.
enum class Stdout { Null, Full, Closed, BrokenPipe, Inherit, File, Appended, Descriptor };

struct Output {
    Stdout to = Stdout::Null;
    std::filesystem::path file = {}; // for Stdout::File, made empty first; Appended, as >>
    int descriptor = -1;             // for Stdout::Descriptor, one of the caller's
};

struct Limit {
    int resource; // RLIMIT_AS, RLIMIT_CPU, ...
    rlim_t soft;
    rlim_t hard;
};

struct Child {
    std::filesystem::path program;
    std::vector<std::string> arguments = {};
    std::filesystem::path input = "/dev/null";
    Output out = {};
    Output err = {Stdout::Inherit};
    std::filesystem::path folder = {}; // where it runs; empty: here
    // "NAME=value" each; nothing: this process's own.
    std::optional<std::vector<std::string>> environment = std::nullopt;
    std::vector<Limit> limits = {};
};

struct ProcessRun {
    int status;      // the exit status, or -1 when a signal ended it
    int signal;      // the signal that ended it, or 0
    std::string err; // its standard error, where that went to a file
    double cpuSeconds = 0;
    std::size_t peakBytes = 0;
};

// This process's environment, with `extra` ("NAME=value" each) in place of any of the same name.
inline std::vector<std::string> environmentWith(const std::vector<std::string>& extra = {}) {
    std::vector<std::string> variables;
    for (char** variable = environ; *variable != nullptr; ++variable) {
        const std::string_view inherited(*variable);
        const std::string_view name = inherited.substr(0, inherited.find('=') + 1);
        if (std::none_of(extra.begin(), extra.end(),
                         [&](const std::string& added) { return added.starts_with(name); }))
            variables.emplace_back(inherited);
    }
    variables.insert(variables.end(), extra.begin(), extra.end());
    return variables;
}

namespace detail {

// Between fork and exec only calls that are safe in a child of a threaded process.
inline bool openAs(int descriptor, const char* path, int flags) {
    const int opened = ::open(path, flags, 0600);
    if (opened < 0)
        return false;
    if (opened == descriptor)
        return true;
    const bool moved = ::dup2(opened, descriptor) == descriptor;
    ::close(opened);
    return moved;
}

inline bool sendTo(int descriptor, Stdout to, const char* file, int given) {
    constexpr int kWrite = O_WRONLY | O_CREAT | O_TRUNC;
    switch (to) {
    case Stdout::Inherit:
        return true;
    case Stdout::Null:
        return openAs(descriptor, "/dev/null", O_WRONLY);
    case Stdout::Full:
        return openAs(descriptor, "/dev/full", O_WRONLY);
    case Stdout::Closed:
        return ::close(descriptor) == 0;
    case Stdout::BrokenPipe:
    case Stdout::Descriptor:
        return ::dup2(given, descriptor) == descriptor;
    case Stdout::File:
        return openAs(descriptor, file, kWrite);
    case Stdout::Appended:
        return openAs(descriptor, file, O_WRONLY | O_APPEND);
    }
    return false;
}

// The write end of a pipe whose reader is gone before the child starts.
inline int brokenPipe(const Output& output) {
    if (output.to != Stdout::BrokenPipe)
        return -1;
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0)
        throw std::runtime_error("no pipe");
    ::close(ends[0]);
    return ends[1];
}

} // namespace detail

// Starts `child` and returns its process id once it runs the program. Throws when it cannot
// be started at all.
inline pid_t start(const Child& child) {
    std::vector<std::string> words{child.program.string()};
    words.insert(words.end(), child.arguments.begin(), child.arguments.end());
    Argv argv(std::move(words));
    Argv envp(child.environment ? *child.environment : environmentWith());
    const std::string input = child.input.string();
    const std::string outFile = child.out.file.string();
    const std::string errFile = child.err.file.string();
    const std::string folder = child.folder.string();
    const int outPipe = detail::brokenPipe(child.out);
    const int errPipe = detail::brokenPipe(child.err);
    const int outGiven = child.out.to == Stdout::Descriptor ? child.out.descriptor : outPipe;
    const int errGiven = child.err.to == Stdout::Descriptor ? child.err.descriptor : errPipe;
    // The child writes the errno of a failed start here; a successful exec closes it.
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0)
        throw std::runtime_error("no pipe");

    const pid_t pid = ::fork();
    if (pid == 0) {
        struct sigaction defaults {};
        defaults.sa_handler = SIG_DFL; // SIGPIPE's default, whatever the test runner set
        ::sigaction(SIGPIPE, &defaults, nullptr);
        bool ready = true;
        for (const Limit& limit : child.limits) {
            const rlimit value{limit.soft, limit.hard};
            ready = ready && ::setrlimit(limit.resource, &value) == 0;
        }
        ready = ready && (folder.empty() || ::chdir(folder.c_str()) == 0) &&
                detail::openAs(STDIN_FILENO, input.c_str(), O_RDONLY) &&
                detail::sendTo(STDOUT_FILENO, child.out.to, outFile.c_str(), outGiven) &&
                detail::sendTo(STDERR_FILENO, child.err.to, errFile.c_str(), errGiven);
        if (ready)
            ::execve(argv.program().c_str(), argv.get(), envp.get());
        const int error = errno;
        static_cast<void>(::write(report[1], &error, sizeof error));
        ::_exit(127);
    }
    for (const int end : {outPipe, errPipe, report[1]}) {
        if (end >= 0)
            ::close(end);
    }
    int error = 0;
    const bool failed = pid > 0 && ::read(report[0], &error, sizeof error) == sizeof error;
    ::close(report[0]);
    if (pid < 0)
        throw std::runtime_error("cannot start " + argv.program() + ": no fork");
    if (failed) {
        while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
        }
        throw std::runtime_error("cannot start " + argv.program() + ": " + std::strerror(error));
    }
    return pid;
}

// Runs `child` to its end. Throws when it cannot be started at all.
inline ProcessRun run(const Child& child) {
    const pid_t pid = start(child);
    int wait = 0;
    rusage usage{};
    while (::wait4(pid, &wait, 0, &usage) < 0 && errno == EINTR) {
    }
    const auto seconds = [](const timeval& time) {
        return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
    };
    return {WIFEXITED(wait) ? WEXITSTATUS(wait) : -1, WIFSIGNALED(wait) ? WTERMSIG(wait) : 0,
            child.err.to == Stdout::File ? readFile(child.err.file) : std::string(),
            seconds(usage.ru_utime) + seconds(usage.ru_stime),
            static_cast<std::size_t>(usage.ru_maxrss) * 1024};
}

// Runs `program ARGUMENTS...`; its standard error goes to `errorFile`, read back after; its
// standard input comes from `input`.
inline ProcessRun runProcess(const std::filesystem::path& program,
                             const std::vector<std::string>& arguments, Stdout out,
                             const std::filesystem::path& errorFile,
                             const std::filesystem::path& input = "/dev/null") {
    return run({.program = program,
                .arguments = arguments,
                .input = input,
                .out = {out},
                .err = {Stdout::File, errorFile}});
}

} // namespace korvalin::test
