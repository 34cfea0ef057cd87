#pragma once

#include <span>
#include <string>
#include <vector>

namespace korvalin {

// The whole program on the process's own streams. As coreutils do, standard output is
// flushed and closed at the end: output that could not be written (a full disk, a closed
// stream) is a failure, told as "korvalin-font: write error: CAUSE". A closed stream that
// nothing was written to is none.
int RunFontToolProcess(const std::vector<std::string>& arguments);
int RunFontToolProcess(std::span<char* const> arguments);

} // namespace korvalin
