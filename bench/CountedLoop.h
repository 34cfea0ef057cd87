#pragma once

// A benchmark's timed loop, marked for callgrind: under it, each run of the loop writes
// its own profile whose description is "NAME ITERATIONS", so that the instructions of one
// iteration are known apart from the setup around the loop (bench/counts.py reads
// them). Outside valgrind the marks cost a few instructions a run.
//
//     for (auto _ : CountedLoop(state, "BM_ReadFontSetText"))

#include <benchmark/benchmark.h>
#include <string>
#include <valgrind/callgrind.h>

namespace korvalin {

class CountedLoop {
public:
    CountedLoop(benchmark::State& state, std::string name) : state_(state), name_(std::move(name)) {
        CALLGRIND_ZERO_STATS;
    }
    CountedLoop(const CountedLoop&) = delete;
    CountedLoop& operator=(const CountedLoop&) = delete;
    ~CountedLoop() {
        if (RUNNING_ON_VALGRIND) {
            const std::string description = name_ + " " + std::to_string(state_.iterations());
            CALLGRIND_DUMP_STATS_AT(description.c_str());
        }
    }

    [[nodiscard]] benchmark::State::StateIterator begin() { return state_.begin(); }
    [[nodiscard]] benchmark::State::StateIterator end() { return state_.end(); }

private:
    benchmark::State& state_;
    std::string name_;
};

} // namespace korvalin
