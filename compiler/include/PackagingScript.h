#pragma once

#include <string>
#include <string_view>

namespace korvalin {

// A Windows command script, or a POSIX sh script elsewhere.
enum class ScriptKind { Batch, Posix };

#ifdef _WIN32
constexpr ScriptKind kNativeScriptKind = ScriptKind::Batch;
#else
constexpr ScriptKind kNativeScriptKind = ScriptKind::Posix;
#endif

// "temp.bat" or "temp.sh".
[[nodiscard]] std::string_view PackagingScriptFileName(ScriptKind kind);

// The script that runs the packer on NAME.bin in its own folder and then removes the image;
// the POSIX one ends with the packer's exit status.
// Throws std::invalid_argument unless ProgramNameProblem(name) finds nothing.
[[nodiscard]] std::string PackagingScript(std::string_view name, ScriptKind kind);

} // namespace korvalin
