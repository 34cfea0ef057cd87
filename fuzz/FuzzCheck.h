#pragma once

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace korvalin {

// A failed check stops the run with a line that names it, so libFuzzer keeps the input as a
// crash even in a build where assert() is compiled out.
inline void Check(bool holds, std::string_view failure) {
    if (holds)
        return;
    std::fprintf(stderr, "fuzz check failed: %.*s\n", static_cast<int>(failure.size()),
                 failure.data());
    std::abort();
}

} // namespace korvalin
