#include "StartedProgram.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace korvalin {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr auto kTermGrace = 2s;

// What the child wrote, for the error message when it did not show a window.
std::string tail(const fs::path& log) {
    std::ifstream in(log);
    std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    constexpr std::size_t kKeep = 2000;
    return text.size() > kKeep ? "..." + text.substr(text.size() - kKeep) : text;
}

// How a child that ended by itself ended, for the error message.
std::string describeEnd(int status) {
    if (WIFSIGNALED(status))
        return "was killed by signal " + std::to_string(WTERMSIG(status));
    return "exited with status " + std::to_string(WEXITSTATUS(status));
}

double milliseconds(const timeval& time) {
    return static_cast<double>(time.tv_sec) * 1e3 + static_cast<double>(time.tv_usec) / 1e3;
}

// Ends the child, politely first (valgrind writes its profile then), and fills in what the
// run used.
void stopAndReap(pid_t pid, StartFigures& figures) {
    rusage usage{};
    int status = 0;
    ::kill(pid, SIGTERM);
    const auto giveUp = Clock::now() + kTermGrace;
    while (::wait4(pid, &status, WNOHANG, &usage) == 0) {
        if (Clock::now() >= giveUp) {
            ::kill(pid, SIGKILL);
            ::wait4(pid, &status, 0, &usage);
            break;
        }
        std::this_thread::sleep_for(2ms);
    }
    // ru_maxrss is in KiB on Linux.
    figures.peakRssMB = static_cast<double>(usage.ru_maxrss) * 1024.0 / 1e6;
    figures.cpuMs = milliseconds(usage.ru_utime) + milliseconds(usage.ru_stime);
}

// User and system time of the process so far, in clock ticks; -1 once it is gone.
long cpuTicks(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(in, line))
        return -1;
    // The name in brackets may hold blanks; the fields after it are numbers.
    std::istringstream fields(line.substr(line.rfind(')') + 2));
    std::string field;
    long ticks = 0;
    for (int number = 3; number <= 15 && fields >> field; ++number) {
        if (number >= 14)
            ticks += std::stol(field);
    }
    return ticks;
}

// Returns once the child has used no CPU time for `quiet`: it waits for events then, the
// first frame drawn and what that frame set off done.
bool waitUntilIdle(pid_t pid, std::chrono::milliseconds quiet, Clock::time_point giveUp) {
    long last = cpuTicks(pid);
    auto since = Clock::now();
    while (Clock::now() < giveUp) {
        std::this_thread::sleep_for(std::min<std::chrono::milliseconds>(quiet / 4, 50ms));
        const long now = cpuTicks(pid);
        if (now < 0)
            return false;
        if (now != last) {
            last = now;
            since = Clock::now();
        } else if (Clock::now() - since >= quiet) {
            return true;
        }
    }
    return false;
}

[[noreturn]] void execChild(const fs::path& program, const fs::path& log,
                            const std::vector<std::string>& wrapper) {
    // The editor finds its default set beside itself; its folder is the working folder too.
    if (::chdir(program.parent_path().c_str()) != 0)
        _exit(126);
    const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (out >= 0) {
        ::dup2(out, STDOUT_FILENO);
        ::dup2(out, STDERR_FILENO);
        ::close(out);
    }
    // A window on the X display is what is timed, whatever the caller's Qt would pick.
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    std::vector<std::string> words = wrapper;
    words.push_back(program.string());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    ::execvp(argv[0], argv.data());
    _exit(127);
}

} // namespace

StartFigures StartOnce(XDisplay& display, const fs::path& program, const fs::path& log,
                       const StartOptions& options) {
    display.discardPendingEvents();
    const auto start = Clock::now();
    const pid_t pid = ::fork();
    if (pid < 0)
        throw std::runtime_error(std::string("fork failed: ") + std::strerror(errno));
    if (pid == 0)
        execChild(program, log, options.wrapper);

    const auto deadline = start + options.timeout;
    for (;;) {
        if (display.takeTopLevelMap())
            break;
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid)
            throw std::runtime_error(program.string() + " " + describeEnd(status) +
                                     " before it showed a window. Its output:\n" + tail(log));
        const auto now = Clock::now();
        if (now >= deadline) {
            StartFigures ignored;
            stopAndReap(pid, ignored);
            throw std::runtime_error(program.string() + " showed no window in time. Its output:\n" +
                                     tail(log));
        }
        // Short waits, so a child that dies is noticed too; the display wakes us at once.
        display.waitForEvents(std::min<Clock::duration>(deadline - now, 20ms));
    }
    StartFigures figures;
    figures.pid = pid;
    figures.startupMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    const bool idle = waitUntilIdle(pid, options.quiet, Clock::now() + options.timeout);
    stopAndReap(pid, figures);
    if (!idle)
        throw std::runtime_error(program.string() +
                                 " did not become idle after its window "
                                 "showed. Its output:\n" +
                                 tail(log));
    return figures;
}

std::uint64_t CallgrindTotal(const fs::path& profile) {
    std::ifstream in(profile);
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with("totals: "))
            return std::stoull(line.substr(8));
    }
    throw std::runtime_error("no totals in the profile " + profile.string());
}

} // namespace korvalin
