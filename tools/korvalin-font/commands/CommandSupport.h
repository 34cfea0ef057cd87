#pragma once

#include "Commands.h"

#include <initializer_list>
#include <stdexcept>
#include <string>

namespace korvalin {

// A failure of the usage, told apart from a failure of the work.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Refuses to write onto any file the command reads, however it is named (a link, a hard
// link, /proc/self/fd/N, `-` for a stream redirected from or to it): a slip of the shell's
// history would otherwise replace a set with its own sheet or program. Each name is an
// argument as given.
void RefuseOverwritingInputs(const Invocation& call, const std::string& target,
                             std::initializer_list<std::string> inputs);

// The -o argument (`-` for standard output), which must be none of `inputs`.
[[nodiscard]] std::string RequiredOutput(Invocation& call,
                                         std::initializer_list<std::string> inputs);

// Runs a command's work, turning its exceptions into a message and an exit status.
template <typename Work>
int Guarded(Invocation& call, Work work) {
    try {
        work();
        return kSuccess;
    } catch (const UsageError& error) {
        return complain(call, error.what(), kUsage);
    } catch (const std::exception& error) {
        return complain(call, error.what(), kFailure);
    }
}

} // namespace korvalin
