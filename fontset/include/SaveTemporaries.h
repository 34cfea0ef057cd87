#pragma once

// The names of the temporary files a save makes beside its target, which a later save of
// the same file removes once their process has ended: part of what a save leaves on disk.

#include <string>
#include <string_view>

namespace korvalin::atomic_file {

// This computer's name as it goes into a temporary name: letters, digits, '.', '-', '_'.
[[nodiscard]] std::string hostName();

// The hidden name ".NAME.saving-HOST-PID-N" of a temporary file beside `targetName`. Where
// it would pass the longest file name, NAME is cut so that it just fits.
[[nodiscard]] std::string temporaryName(std::string_view targetName, std::string_view host,
                                        long pid, unsigned counter);

} // namespace korvalin::atomic_file
