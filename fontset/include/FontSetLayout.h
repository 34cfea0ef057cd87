#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace korvalin {

// Where font set text that the reader takes would not be read as its writer meant, each
// as "line N: ..." in plain words: a line of several values in a file of one value a line,
// as the editor writes it (" 2 55 " is two cells, and every later cell moves by one), and
// whatever follows the 8960th value, which the reader never reads. Empty for text read as
// written, or that the reader refuses anyway.
[[nodiscard]] std::vector<std::string> FontSetLayoutProblems(std::string_view text);

} // namespace korvalin
