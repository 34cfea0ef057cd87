#include "PackagingScript.h"

#include "ProgramName.h"

#include <stdexcept>

namespace korvalin {

std::string_view PackagingScriptFileName(ScriptKind kind) {
    return kind == ScriptKind::Batch ? "temp.bat" : "temp.sh";
}

std::string PackagingScript(std::string_view name, ScriptKind kind) {
    if (const std::string problem = ProgramNameProblem(name); !problem.empty())
        throw std::invalid_argument(problem);
    const std::string n(name);
    if (kind == ScriptKind::Batch)
        return "@echo off\r\nprgforge " + n + "\r\ndel " + n + ".bin\r\n";
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

} // namespace korvalin
