#pragma once

#include "Commands.h"
#include "ImportOptions.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace korvalin {

// A failure of the usage, told apart from a failure of the work.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Every file argument the command reads, as its declaration names them: the leading
// positional arguments it counts as files and each option whose value is a file read,
// given or taken by default.
[[nodiscard]] std::vector<std::string> InputArguments(const Invocation& call);

// Refuses two inputs that are one descriptor (`-` and /dev/stdin, say): its bytes can be
// read only once, and the second input would read nothing. Throws UsageError.
void RefuseReadingAStreamTwice(const Invocation& call);

// Refuses to write `target` onto any file the command reads, however either is named (a
// link, a hard link, /proc/self/fd/N, `-` for a stream redirected from or to it): a slip
// of the shell's history would otherwise replace a set with its own sheet or program.
void RefuseOverwritingInputs(const Invocation& call, const std::string& target);

// The -o argument (`-` for standard output), which must be none of the inputs.
[[nodiscard]] std::string RequiredOutput(Invocation& call);

// Runs a command's work, turning its exceptions into a message and an exit status.
template <typename Work>
int Guarded(Invocation& call, Work work) {
    try {
        work();
        return kSuccess;
    } catch (const UsageError& error) {
        return complain(call, error.what(), kUsage);
    } catch (const InapplicableOption& error) {
        return complain(call, error.what(), kUsage);
    } catch (const std::exception& error) {
        return complain(call, error.what(), kFailure);
    }
}

} // namespace korvalin
