#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace korvalin {

// How a started program's window shows, as Windows' ShowWindow takes it; POSIX ignores it.
enum class WindowStyle : int {
    Hidden = 0,
    ShowNoActivate = 4, // at its last size and place, leaving the caller's window active
};

// A command line in the system's own strings: wide on Windows, bytes elsewhere.
using NativeString = std::filesystem::path::string_type;

struct LaunchRequest {
    std::filesystem::path program; // an absolute path
    std::vector<NativeString> arguments;
    std::filesystem::path workingDirectory;
    WindowStyle windowStyle = WindowStyle::ShowNoActivate;
    // What the process gets as its standard input: a descriptor number on POSIX, a HANDLE
    // value on Windows (inheritable or not: the process gets a copy). The caller keeps its
    // own and may close it once Launch returns. -1: none, the process gets the standard
    // input it would get anyway (on Windows, its new console).
    std::intptr_t standardInput = -1;
    // Whether the process's error output comes back to us, so that the outcome carries its
    // last line; otherwise it goes where it would go anyway (on Windows, the console window
    // of its own).
    bool captureErrorOutput = false;
};

// A process that could not be started: what() reads "<program>: <cause>".
class LaunchError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// How a started process ended.
struct ProcessOutcome {
    // The process's exit code; 128 + N when killed by signal N; -1 when its status was lost
    // (someone else reaped it).
    int exitStatus = 0;
    std::string lastErrorLine; // the last line it wrote to its error output, if captured
    [[nodiscard]] bool succeeded() const { return exitStatus == 0; }
};

// A started process, watched without ever waiting for it. Destroying one that still runs
// does not wait either: on POSIX a thread of its own then reaps it when it ends.
class LaunchedProcess {
public:
    virtual ~LaunchedProcess() = default;

    // A descriptor (POSIX) or handle (Windows) that an event loop can watch: it becomes
    // readable or signalled when poll() may have news.
    [[nodiscard]] virtual std::intptr_t notifier() const = 0;

    // The outcome once the process has ended, nothing while it runs. Never blocks.
    [[nodiscard]] virtual std::optional<ProcessOutcome> poll() = 0;
};

// Starts `request.program` and returns at once. Throws LaunchError when it cannot start.
[[nodiscard]] std::unique_ptr<LaunchedProcess> Launch(const LaunchRequest& request);

} // namespace korvalin
