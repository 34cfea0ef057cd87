// Start-up time and peak memory of two programs: from just before fork to the first mapping
// of a top-level window on the X display, taken in alternating runs.
//
//   startup_bench [--runs N] [--settle MS] [--json FILE] PROGRAM_A PROGRAM_B
#include "XDisplay.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <signal.h>
#include <stdexcept>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace korvalin {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr auto kTimeout = 10s;
constexpr auto kTermGrace = 2s;

struct Options {
    int runs = 15;
    // Time the window gets after mapping before it is ended, so its peak memory includes
    // the first paint and not only the mapping.
    std::chrono::milliseconds settle{250};
    std::string jsonPath;
    fs::path programs[2];
};

struct Program {
    fs::path path;
    std::vector<double> startupMs;
    std::vector<double> peakRssMB;
};

struct Summary {
    double median, min, max;
};

Summary summarize(std::vector<double> values) {
    std::ranges::sort(values);
    const std::size_t n = values.size();
    const double median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    return {median, values.front(), values.back()};
}

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

// Ends the child, politely first, and returns its peak resident memory in MB (10^6 bytes).
double stopAndReap(pid_t pid) {
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
    return static_cast<double>(usage.ru_maxrss) * 1024.0 / 1e6; // ru_maxrss is in KiB on Linux
}

[[noreturn]] void execChild(const fs::path& program, const fs::path& log) {
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
    char* const argv[] = {const_cast<char*>(program.c_str()), nullptr};
    ::execv(program.c_str(), argv);
    _exit(127);
}

// One start: the time to the window in ms and the peak memory in MB.
std::pair<double, double> timeOneStart(XDisplay& display, const fs::path& program,
                                       const fs::path& log, std::chrono::milliseconds settle) {
    display.discardPendingEvents();
    const auto start = Clock::now();
    const pid_t pid = ::fork();
    if (pid < 0)
        throw std::runtime_error(std::string("fork failed: ") + std::strerror(errno));
    if (pid == 0)
        execChild(program, log);

    const auto deadline = start + kTimeout;
    for (;;) {
        if (display.takeTopLevelMap())
            break;
        rusage usage{};
        int status = 0;
        if (::wait4(pid, &status, WNOHANG, &usage) == pid)
            throw std::runtime_error(program.string() + " " + describeEnd(status) +
                                     " before it showed a window. Its output:\n" + tail(log));
        const auto now = Clock::now();
        if (now >= deadline) {
            stopAndReap(pid);
            throw std::runtime_error(program.string() +
                                     " showed no window within 10 s. Its output:\n" + tail(log));
        }
        // Short waits, so a child that dies is noticed too; the display wakes us at once.
        display.waitForEvents(std::min<Clock::duration>(deadline - now, 20ms));
    }
    const double startupMs =
        std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    std::this_thread::sleep_for(settle);
    return {startupMs, stopAndReap(pid)};
}

Options parseOptions(int argc, char** argv) {
    Options options;
    std::vector<std::string> programs;
    const auto value = [&](int& i) -> std::string {
        if (i + 1 >= argc)
            throw std::invalid_argument(std::string(argv[i]) + " needs a value");
        return argv[++i];
    };
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--runs")
            options.runs = std::stoi(value(i));
        else if (arg == "--settle")
            options.settle = std::chrono::milliseconds(std::stoi(value(i)));
        else if (arg == "--json")
            options.jsonPath = value(i);
        else if (arg.starts_with("--"))
            throw std::invalid_argument("unknown option " + arg);
        else
            programs.push_back(arg);
    }
    if (programs.size() != 2 || options.runs < 1)
        throw std::invalid_argument(
            "usage: startup_bench [--runs N] [--settle MS] [--json FILE] PROGRAM_A PROGRAM_B");
    for (int i = 0; i < 2; ++i) {
        std::error_code error;
        options.programs[i] = fs::canonical(programs[i], error);
        if (error || ::access(options.programs[i].c_str(), X_OK) != 0)
            throw std::invalid_argument("not an executable program: " + programs[i]);
    }
    return options;
}

// A's median start-up over B's, and A's median peak memory less B's.
struct Comparison {
    double ratio;
    double extraMB;
};

Comparison compare(const Program (&programs)[2]) {
    return {summarize(programs[0].startupMs).median / summarize(programs[1].startupMs).median,
            summarize(programs[0].peakRssMB).median - summarize(programs[1].peakRssMB).median};
}

void printTable(const Program (&programs)[2]) {
    std::printf("%-24s %10s %10s %10s %13s\n", "program", "median ms", "min ms", "max ms",
                "peak RSS MB");
    for (const Program& program : programs) {
        const Summary time = summarize(program.startupMs);
        std::printf("%-24s %10.1f %10.1f %10.1f %13.1f\n", program.path.filename().c_str(),
                    time.median, time.min, time.max, summarize(program.peakRssMB).median);
    }
    const Comparison comparison = compare(programs);
    std::printf("start-up A/B (medians): %.2fx   peak RSS A-B (medians): %+.1f MB\n",
                comparison.ratio, comparison.extraMB);
}

void writeJson(const Program (&programs)[2], const std::string& path) {
    std::ofstream out(path);
    const auto list = [&](const std::vector<double>& values) {
        out << '[';
        for (std::size_t i = 0; i < values.size(); ++i)
            out << (i ? ", " : "") << values[i];
        out << ']';
    };
    out << "{\"programs\": [";
    for (int i = 0; i < 2; ++i) {
        const Summary time = summarize(programs[i].startupMs);
        out << (i ? ", " : "") << "{\"path\": \"" << programs[i].path.string()
            << "\", \"median_ms\": " << time.median << ", \"min_ms\": " << time.min
            << ", \"max_ms\": " << time.max
            << ", \"median_peak_rss_mb\": " << summarize(programs[i].peakRssMB).median
            << ", \"startup_ms\": ";
        list(programs[i].startupMs);
        out << ", \"peak_rss_mb\": ";
        list(programs[i].peakRssMB);
        out << '}';
    }
    const Comparison comparison = compare(programs);
    out << "], \"ratio\": " << comparison.ratio << ", \"extra_peak_rss_mb\": " << comparison.extraMB
        << "}\n";
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

// The file the children write to, kept only for the error message of a failed start.
class ChildLog {
public:
    ChildLog()
        : path_(fs::temp_directory_path() /
                ("startup-bench-" + std::to_string(::getpid()) + ".log")) {}
    ChildLog(const ChildLog&) = delete;
    ChildLog& operator=(const ChildLog&) = delete;
    ~ChildLog() {
        std::error_code ignored;
        fs::remove(path_, ignored);
    }
    [[nodiscard]] const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

int run(int argc, char** argv) {
    const Options options = parseOptions(argc, argv);
    XDisplay display;
    const ChildLog log;
    Program programs[2] = {{options.programs[0], {}, {}}, {options.programs[1], {}, {}}};

    const bool showProgress = ::isatty(STDERR_FILENO) != 0;

    // One start of each first, unmeasured: it fills the file cache and the font caches.
    for (const Program& program : programs)
        timeOneStart(display, program.path, log.path(), options.settle);
    for (int i = 0; i < options.runs; ++i) {
        for (Program& program : programs) {
            const auto [ms, mb] = timeOneStart(display, program.path, log.path(), options.settle);
            program.startupMs.push_back(ms);
            program.peakRssMB.push_back(mb);
        }
        if (showProgress)
            std::fprintf(stderr, "\rrun %d of %d", i + 1, options.runs);
    }
    if (showProgress)
        std::fprintf(stderr, "\n");

    printTable(programs);
    if (!options.jsonPath.empty())
        writeJson(programs, options.jsonPath);
    return 0;
}

} // namespace
} // namespace korvalin

int main(int argc, char** argv) {
    try {
        return korvalin::run(argc, argv);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "startup_bench: %s\n", error.what());
        return 1;
    }
}
