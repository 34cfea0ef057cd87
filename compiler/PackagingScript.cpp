#include "PackagingScript.h"

#include "ProgramName.h"

#include <stdexcept>

namespace korvalin {
namespace {

// How a command interpreter ends when it cannot start the command it is given.
bool packerNotStarted(int status, ScriptKind kind) {
    constexpr int kCmdNotFound = 9009;
    constexpr int kShellNotExecutable = 126;
    constexpr int kShellNotFound = 127;
    return kind == ScriptKind::Batch ? status == kCmdNotFound
                                     : status == kShellNotExecutable || status == kShellNotFound;
}

} // namespace

std::string_view PackagingScriptFileName(ScriptKind kind) {
    return kind == ScriptKind::Batch ? "temp.bat" : "temp.sh";
}

std::string PackagingScript(std::string_view name, ScriptKind kind) {
    if (const std::string problem = ProgramNameProblem(name); !problem.empty())
        throw std::invalid_argument(problem);
    const std::string n(name);
    if (kind == ScriptKind::Batch)
        return "@echo off\r\n"
               "prgforge " +
               n +
               "\r\n"
               "set status=%errorlevel%\r\n"
               "del " +
               n +
               ".bin\r\n"
               "exit /b %status%\r\n";
    // Started by hand, it runs from its own folder, where the editor left the image and keeps
    // the packer; the editor feeds it to the shell already in that folder, where $0 names the
    // shell. It ends with the packer's status, so that a failure shows. Its error output goes
    // to the editor, which may be gone by the time the shell reports the packer's end: a
    // broken pipe must not stop it before the image is removed.
    return "#!/bin/sh\n"
           "trap '' PIPE\n"
           "case $0 in */temp.sh) cd \"${0%/*}\" || exit 1 ;; esac\n"
           "./prgforge " +
           n +
           "\n"
           "status=$?\n"
           "rm -f " +
           n +
           ".bin\n"
           "exit $status\n";
}

std::string PackagingFailure(const ProcessOutcome& outcome, ScriptKind kind) {
    if (outcome.succeeded())
        return {};
    if (packerNotStarted(outcome.exitStatus, kind)) {
        const std::string notStarted = "The packer prgforge could not be started";
        // cmd.exe says why over two lines, the last of which alone makes no sense.
        if (kind == ScriptKind::Batch)
            return notStarted + ": it is neither in the program folder nor on the PATH.";
        return outcome.lastErrorLine.empty() ? notStarted + "."
                                             : notStarted + ": " + outcome.lastErrorLine;
    }
    if (!outcome.lastErrorLine.empty())
        return outcome.lastErrorLine;
    return "The packaging script ended with status " + std::to_string(outcome.exitStatus) + ".";
}

} // namespace korvalin
