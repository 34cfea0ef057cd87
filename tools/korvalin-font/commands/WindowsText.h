#pragma once

#include "Commands.h"

#include <memory>
#include <streambuf>
#include <string>
#include <vector>

namespace korvalin {

// The tool's text on Windows, which speaks UTF-16 where the tool speaks UTF-8.

// The wide command line's arguments after the program's name, as UTF-8: argv holds them in
// the ANSI code page, which has no room for most of the names a user can give.
[[nodiscard]] std::vector<std::string> Utf8Arguments();

enum class StandardStream { Output, Error };

// A buffer that writes the tool's UTF-8 text to the Windows console behind `stream` as
// UTF-16, with WriteConsoleW, so that cmd.exe shows every name and symbol whatever its
// code page; null when the stream goes to a file or a pipe, which take the UTF-8 bytes.
[[nodiscard]] std::unique_ptr<std::streambuf> ConsoleBufferFor(StandardStream stream);

// Standard input as the user types it at a console, as UTF-8 with LF line ends up to Ctrl+Z;
// null when standard input is no console, whose bytes are read as they are.
[[nodiscard]] std::unique_ptr<InputStream> ConsoleInput();

} // namespace korvalin
