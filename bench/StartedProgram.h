#pragma once

// One start of a program with a window, for the start-up benchmark: from just before fork
// to the first mapping of a top-level window on the X display, then on until the program
// waits for events with nothing left to do, when it is ended.

#include "XDisplay.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace korvalin {

struct StartOptions {
    // A program that runs the one started, with its arguments (valgrind and its tool); empty
    // to start the program itself.
    std::vector<std::string> wrapper;
    // Using no CPU time for this long is being idle.
    std::chrono::milliseconds quiet{100};
    // For the window to show, and again for the program to become idle.
    std::chrono::seconds timeout{10};
};

struct StartFigures {
    double startupMs = 0; // to the window
    double peakRssMB = 0; // 10^6 bytes
    // User and system time of the whole run, which ends once the program is idle after its
    // first frame: far steadier than wall time on a busy machine.
    double cpuMs = 0;
    int pid = 0; // the process started, which a wrapper such as valgrind becomes
};

// Starts `program` in its own folder, its output going to `log`. Throws std::runtime_error
// when it ends, or shows no window, or does not become idle in time.
StartFigures StartOnce(XDisplay& display, const std::filesystem::path& program,
                       const std::filesystem::path& log, const StartOptions& options);

// The instructions that callgrind counted in a profile. Only the started process's own
// profile counts: a child it forks (libdbus forks one to look for a session bus where there
// is none) starts its profile with its parent's counts up to the fork.
std::uint64_t CallgrindTotal(const std::filesystem::path& profile);

} // namespace korvalin
