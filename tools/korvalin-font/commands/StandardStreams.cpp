// `-` for standard input and output, wherever a file is read or written.
#include "StandardStreams.h"

#include "AtomicFile.h"
#include "FileError.h"
#include "FontImport.h"
#include "FontSetFile.h"
#include "ProgramFile.h"

#include <iostream>
#include <sstream>

namespace korvalin {

std::filesystem::path ArgumentName(const std::string& argument) {
    return IsStandardStream(argument) ? std::filesystem::path("standard input") : toPath(argument);
}

std::filesystem::path ArgumentFile(const std::string& argument, bool written) {
    if (!IsStandardStream(argument))
        return toPath(argument);
#ifdef _WIN32
    (void)written;
    return {};
#else
    return written ? "/dev/stdout" : "/dev/stdin";
#endif
}

std::string ReadStandardInput(const std::filesystem::path& name, std::size_t limit) {
    std::string text;
    char buffer[4096];
    while (std::cin.read(buffer, sizeof buffer) || std::cin.gcount() > 0) {
        text.append(buffer, static_cast<std::size_t>(std::cin.gcount()));
        if (text.size() > limit)
            throw FileError(name, "is larger than " + std::to_string(limit) + " bytes");
    }
    const bool failed = std::cin.bad();
    std::cin.clear();
    if (failed)
        throw FileError(name, "could not be read to its end");
    return text;
}

FontSet ReadSetArgument(const std::string& argument) {
    FontSet table;
    if (!IsStandardStream(argument)) {
        ReadSetOrProgram(toPath(argument), table);
        return table;
    }
    const std::filesystem::path name = ArgumentName(argument);
    const std::string bytes = ReadStandardInput(name, kMaxFontFileSize);
    if (IsTiVariableFile(bytes))
        return ReadFontProgram(bytes, name);
    std::istringstream text(bytes);
    ReadFontSet(text, name, table);
    return table;
}

void WriteOutput(Invocation& call, const std::string& argument, std::string_view bytes) {
    if (!IsStandardStream(argument)) {
        WriteFileAtomically(toPath(argument), bytes);
        return;
    }
    call.out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    call.out.flush();
}

} // namespace korvalin
