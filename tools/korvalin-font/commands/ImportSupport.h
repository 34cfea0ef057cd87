#pragma once

#include "Commands.h"
#include "FontImport.h"

#include <string>
#include <vector>

namespace korvalin {

// The options of import that render, screen and preview take too, for a font given in
// place of a set.
[[nodiscard]] std::vector<CommandOption> ImportOptionDeclarations();

// The import options given, checked; a usage error for a value out of range.
[[nodiscard]] ImportOptions ImportOptionsGiven(Invocation& call);

// The set of a set file or font program as it is, or the set that import makes of any
// other source with the options given.
[[nodiscard]] FontSet SetOrFontArgument(Invocation& call, const std::string& argument);

} // namespace korvalin
