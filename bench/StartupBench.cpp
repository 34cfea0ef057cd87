// Start-up time and peak memory of two programs: from just before fork to the first mapping
// of a top-level window on the X display. Each round starts both, in turns of which goes
// first, and the comparison is the median of the rounds' own ratios, so that a slow moment
// of the machine weighs on both sides of one ratio instead of on one side of the medians.
//
//   startup_bench [--runs N] [--settle MS] [--json FILE] PROGRAM_A PROGRAM_B
#include "XDisplay.h"

#include <algorithm>
#include <array>
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
    int runs = 31;
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
    // User and system time of the whole run: far steadier than wall time on a busy machine,
    // though it also counts the settling and the ending.
    std::vector<double> cpuMs;
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

struct Usage {
    double peakRssMB; // 10^6 bytes
    double cpuMs;
};

double milliseconds(const timeval& time) {
    return static_cast<double>(time.tv_sec) * 1e3 + static_cast<double>(time.tv_usec) / 1e3;
}

// Ends the child, politely first, and returns what it used.
Usage stopAndReap(pid_t pid) {
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
    return {static_cast<double>(usage.ru_maxrss) * 1024.0 / 1e6, // ru_maxrss is in KiB on Linux
            milliseconds(usage.ru_utime) + milliseconds(usage.ru_stime)};
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

struct Start {
    double startupMs;
    Usage usage;
};

// One start: the time to the window, and what the run used.
Start timeOneStart(XDisplay& display, const fs::path& program, const fs::path& log,
                   std::chrono::milliseconds settle) {
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

// The median of the rounds' start-up ratios A/B and of their peak memory differences A-B,
// with the rounds' ratios themselves.
struct Comparison {
    std::vector<double> roundRatios;
    double ratio;
    double cpuRatio;
    double extraMB;
    double ratioOfMedians; // for reference only: it mixes rounds of different loads
};

Comparison compare(const Program (&programs)[2]) {
    Comparison comparison;
    std::vector<double> extras;
    std::vector<double> cpuRatios;
    for (std::size_t i = 0; i < programs[0].startupMs.size(); ++i) {
        comparison.roundRatios.push_back(programs[0].startupMs[i] / programs[1].startupMs[i]);
        cpuRatios.push_back(programs[0].cpuMs[i] / programs[1].cpuMs[i]);
        extras.push_back(programs[0].peakRssMB[i] - programs[1].peakRssMB[i]);
    }
    comparison.ratio = summarize(comparison.roundRatios).median;
    comparison.extraMB = summarize(extras).median;
    comparison.cpuRatio = summarize(cpuRatios).median;
    comparison.ratioOfMedians =
        summarize(programs[0].startupMs).median / summarize(programs[1].startupMs).median;
    return comparison;
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
    const Summary ratios = summarize(comparison.roundRatios);
    std::printf("start-up A/B, median of the rounds' ratios: %.3fx (rounds %.3fx to %.3fx; "
                "ratio of the medians %.3fx)\n",
                comparison.ratio, ratios.min, ratios.max, comparison.ratioOfMedians);
    std::printf("peak RSS A-B, median of the rounds' differences: %+.2f MB\n", comparison.extraMB);
    std::printf("CPU time of the run A/B, median of the rounds' ratios: %.3fx (medians %.1f / "
                "%.1f ms)\n",
                comparison.cpuRatio, summarize(programs[0].cpuMs).median,
                summarize(programs[1].cpuMs).median);
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
        out << ", \"median_cpu_ms\": " << summarize(programs[i].cpuMs).median << ", \"cpu_ms\": ";
        list(programs[i].cpuMs);
        out << '}';
    }
    const Comparison comparison = compare(programs);
    out << "], \"ratio\": " << comparison.ratio << ", \"extra_peak_rss_mb\": " << comparison.extraMB
        << ", \"cpu_ratio\": " << comparison.cpuRatio
        << ", \"ratio_of_medians\": " << comparison.ratioOfMedians << ", \"round_ratios\": ";
    list(comparison.roundRatios);
    out << "}\n";
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
    Program programs[2] = {{options.programs[0], {}, {}, {}}, {options.programs[1], {}, {}, {}}};

    const bool showProgress = ::isatty(STDERR_FILENO) != 0;

    // One start of each first, unmeasured: it fills the file cache and the font caches.
    for (const Program& program : programs)
        timeOneStart(display, program.path, log.path(), options.settle);
    for (int i = 0; i < options.runs; ++i) {
        // Who goes first takes turns, so neither always finds the other's caches warm.
        for (const int which : i % 2 ? std::array{1, 0} : std::array{0, 1}) {
            Program& program = programs[which];
            const Start start = timeOneStart(display, program.path, log.path(), options.settle);
            program.startupMs.push_back(start.startupMs);
            program.peakRssMB.push_back(start.usage.peakRssMB);
            program.cpuMs.push_back(start.usage.cpuMs);
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
