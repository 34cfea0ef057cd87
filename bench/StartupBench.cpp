// Start-up of two programs, each round starting both in turns of which goes first: the time
// from just before fork to the first mapping of a top-level window on the X display, the
// peak memory, and the CPU time until the program is idle after its first frame. The
// comparison is the median of the rounds' own ratios, so that a slow moment of the machine
// weighs on both sides of one ratio instead of on one side of the medians. With
// --callgrind N, N more rounds run each program under callgrind up to the same point and
// count its instructions, which a busy machine does not change.
//
//   startup_bench [--runs N] [--callgrind N] [--json FILE] PROGRAM_A PROGRAM_B
#include "StartedProgram.h"
#include "XDisplay.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace korvalin {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

struct Options {
    int runs = 31;
    int callgrindRuns = 0;
    std::string jsonPath;
    fs::path programs[2];
};

struct Program {
    fs::path path;
    std::vector<double> startupMs;
    std::vector<double> peakRssMB;
    std::vector<double> cpuMs;
    std::vector<double> instructions;
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
        else if (arg == "--callgrind")
            options.callgrindRuns = std::stoi(value(i));
        else if (arg == "--json")
            options.jsonPath = value(i);
        else if (arg.starts_with("--"))
            throw std::invalid_argument("unknown option " + arg);
        else
            programs.push_back(arg);
    }
    if (programs.size() != 2 || options.runs < 1 || options.callgrindRuns < 0)
        throw std::invalid_argument("usage: startup_bench [--runs N] [--callgrind N] [--json FILE] "
                                    "PROGRAM_A PROGRAM_B");
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
    double ratioOfMedians;       // for reference only: it mixes rounds of different loads
    double instructionRatio = 0; // of the medians, which vary little; 0 without callgrind
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
    if (!programs[0].instructions.empty())
        comparison.instructionRatio =
            summarize(programs[0].instructions).median / summarize(programs[1].instructions).median;
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
    std::printf("CPU time until idle A/B, median of the rounds' ratios: %.3fx (medians %.1f / "
                "%.1f ms)\n",
                comparison.cpuRatio, summarize(programs[0].cpuMs).median,
                summarize(programs[1].cpuMs).median);
    if (comparison.instructionRatio > 0)
        std::printf("instructions until idle A/B, callgrind: %.3fx (medians %.2fM / %.2fM)\n",
                    comparison.instructionRatio, summarize(programs[0].instructions).median / 1e6,
                    summarize(programs[1].instructions).median / 1e6);
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
        if (!programs[i].instructions.empty()) {
            out << ", \"median_instructions\": " << summarize(programs[i].instructions).median
                << ", \"instructions\": ";
            list(programs[i].instructions);
        }
        out << '}';
    }
    const Comparison comparison = compare(programs);
    out << "], \"ratio\": " << comparison.ratio << ", \"extra_peak_rss_mb\": " << comparison.extraMB
        << ", \"cpu_ratio\": " << comparison.cpuRatio;
    if (comparison.instructionRatio > 0)
        out << ", \"instruction_ratio\": " << comparison.instructionRatio;
    out << ", \"ratio_of_medians\": " << comparison.ratioOfMedians << ", \"round_ratios\": ";
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

// One run under callgrind: the instructions up to the idleness after the first frame.
double countInstructions(XDisplay& display, const fs::path& program, const fs::path& log) {
    const fs::path folder =
        fs::temp_directory_path() / ("startup-bench-callgrind-" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    // Under valgrind a start takes fifty times as long: idle is a whole second without CPU.
    const StartOptions options{
        {"valgrind", "--tool=callgrind", "--callgrind-out-file=" + (folder / "%p.out").string()},
        1000ms,
        600s};
    const StartFigures start = StartOnce(display, program, log, options);
    const std::uint64_t total = CallgrindTotal(folder / (std::to_string(start.pid) + ".out"));
    fs::remove_all(folder);
    return static_cast<double>(total);
}

int run(int argc, char** argv) {
    const Options options = parseOptions(argc, argv);
    XDisplay display;
    const ChildLog log;
    Program programs[2] = {{options.programs[0]}, {options.programs[1]}};
    const StartOptions bare;

    const bool showProgress = ::isatty(STDERR_FILENO) != 0;
    const auto progress = [&](const char* what, int done, int of) {
        if (showProgress)
            std::fprintf(stderr, "\r%s %d of %d", what, done, of);
    };

    // One start of each first, unmeasured: it fills the file cache and the font caches.
    for (const Program& program : programs)
        StartOnce(display, program.path, log.path(), bare);
    for (int i = 0; i < options.runs; ++i) {
        // Who goes first takes turns, so neither always finds the other's caches warm.
        for (const int which : i % 2 ? std::array{1, 0} : std::array{0, 1}) {
            Program& program = programs[which];
            const StartFigures start = StartOnce(display, program.path, log.path(), bare);
            program.startupMs.push_back(start.startupMs);
            program.peakRssMB.push_back(start.peakRssMB);
            program.cpuMs.push_back(start.cpuMs);
        }
        progress("run", i + 1, options.runs);
    }
    for (int i = 0; i < options.callgrindRuns; ++i) {
        for (Program& program : programs)
            program.instructions.push_back(countInstructions(display, program.path, log.path()));
        progress("callgrind run", i + 1, options.callgrindRuns);
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
