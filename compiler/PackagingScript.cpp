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
    // Run from the script's own folder, where the editor left the image and keeps the packer.
    return "#!/bin/sh\n"
           "case $0 in */*) cd \"${0%/*}\" || exit 1 ;; esac\n"
           "./prgforge " +
           n +
           "\n"
           "rm -f " +
           n + ".bin\n";
}

} // namespace korvalin
