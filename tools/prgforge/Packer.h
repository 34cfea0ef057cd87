#pragma once

#include <filesystem>
#include <iosfwd>
#include <span>
#include <string_view>

namespace korvalin {

// The packer's command: `prgforge NAME` turns NAME.bin in `folder` into NAME.8xp there.
// --help and --version answer on `output`; each failure is one line on `errors`. Returns
// the process exit status.
int RunPacker(std::span<const std::string_view> arguments, const std::filesystem::path& folder,
              std::ostream& output, std::ostream& errors);

} // namespace korvalin
