#pragma once

#include "Launch.h"
#include "ProgramName.h"

#include <string>
#include <string_view>

namespace korvalin {

// A Windows command script, or a POSIX sh script elsewhere.
enum class ScriptKind { Batch, Posix };

constexpr ScriptKind kNativeScriptKind =
    kNativeFileNames == FileNames::Windows ? ScriptKind::Batch : ScriptKind::Posix;

// "temp.bat" or "temp.sh".
[[nodiscard]] std::string_view PackagingScriptFileName(ScriptKind kind);

// The script that runs the packer on NAME.bin in its own folder, then removes the image and
// ends with the packer's exit status.
// Throws std::invalid_argument unless ProgramNameProblem(name) finds nothing.
[[nodiscard]] std::string PackagingScript(std::string_view name, ScriptKind kind);

// What the user reads of a packaging script of `kind` that ended so: nothing when the packer
// made the program, else the packer's own last words, or that it could not be started.
[[nodiscard]] std::string PackagingFailure(const ProcessOutcome& outcome, ScriptKind kind);

} // namespace korvalin
