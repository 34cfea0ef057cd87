// `-` and the descriptors the system names as files, wherever a file is read or written.
#include "StandardStreams.h"

#include "AtomicFile.h"
#include "FileError.h"
#include "FontImport.h"
#include "FontSetFile.h"
#include "InputFile.h"
#include "ProgramFile.h"
#include "Utf8.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <climits>
#include <ostream>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace korvalin {
namespace {

// All that `in` gives, at most `limit` bytes.
std::string readAll(InputStream& in, const std::filesystem::path& name, std::size_t limit) {
    std::string bytes;
    std::array<char, 64 * 1024> buffer;
    try {
        for (std::size_t got = in.read(buffer); got > 0; got = in.read(buffer)) {
            if (got > limit - bytes.size())
                throw FileError(name, "is larger than " + std::to_string(limit) + " bytes");
            bytes.append(buffer.data(), got);
        }
    } catch (const std::system_error& error) {
        throw FileError(name, std::string(bytes.empty() ? "could not be read: "
                                                        : "could not be read to its end: ") +
                                  systemReason(error.code().value()));
    }
    return bytes;
}

void writeDescriptor(int descriptor, std::string_view bytes, const std::filesystem::path& name) {
    while (!bytes.empty()) {
#ifdef _WIN32
        const int written =
            _write(descriptor, bytes.data(),
                   static_cast<unsigned>(std::min<std::size_t>(bytes.size(), INT_MAX)));
#else
        const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
#endif
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            throw FileError(name, "could not be written: " + systemReason(errno));
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

} // namespace

std::optional<int> ArgumentDescriptor(std::string_view argument, Direction direction) {
    if (IsStandardStream(argument))
        return direction == Direction::Read ? 0 : 1;
#ifdef _WIN32
    return std::nullopt;
#else
    const std::pair<std::string_view, int> standard[] = {
        {"/dev/stdin", 0}, {"/dev/stdout", 1}, {"/dev/stderr", 2}};
    for (const auto& [name, descriptor] : standard)
        if (argument == name)
            return descriptor;
    for (const std::string_view folder : {"/dev/fd/", "/proc/self/fd/"}) {
        if (!argument.starts_with(folder))
            continue;
        const std::string_view digits = argument.substr(folder.size());
        int descriptor = -1;
        const auto [end, error] =
            std::from_chars(digits.data(), digits.data() + digits.size(), descriptor);
        if (error == std::errc() && end == digits.data() + digits.size() && !digits.empty() &&
            digits.front() != '-' && digits.front() != '+')
            return descriptor;
    }
    return std::nullopt;
#endif
}

std::filesystem::path ArgumentName(const std::string& argument, Direction direction) {
    if (!IsStandardStream(argument))
        return toPath(argument);
    return direction == Direction::Read ? "standard input" : "standard output";
}

std::filesystem::path ArgumentFile(const std::string& argument, Direction direction) {
    const std::optional<int> descriptor = ArgumentDescriptor(argument, direction);
    if (!descriptor)
        return toPath(argument);
#ifdef _WIN32
    return {};
#else
    return "/dev/fd/" + std::to_string(*descriptor);
#endif
}

std::string ReadArgument(Invocation& call, const std::string& argument, std::size_t limit) {
    const std::filesystem::path name = ArgumentName(argument);
    const std::optional<int> descriptor = ArgumentDescriptor(argument, Direction::Read);
    if (!descriptor)
        return ReadWholeFile(name, limit);
    if (*descriptor == 0)
        return readAll(call.in, name, limit);
    DescriptorInput other(*descriptor);
    return readAll(other, name, limit);
}

FontSet ReadSetArgument(Invocation& call, const std::string& argument) {
    return SetFromBytes(ReadArgument(call, argument, kMaxFontFileSize), ArgumentName(argument));
}

FontSet SetFromBytes(const std::string& bytes, const std::filesystem::path& name) {
    if (IsTiVariableFile(bytes))
        return ReadFontProgram(bytes, name);
    if (const std::string kind = FileKindOf(bytes); !kind.empty())
        throw FileError(name, "is " + kind +
                                  ", not a font set; korvalin-font import makes a set "
                                  "of it");
    if (WithoutByteOrderMark(bytes).size() != bytes.size())
        throw FileError(name, "starts with a byte order mark, which the editor does not read; "
                              "save the set without it");
    FontSet table;
    ReadFontSet(bytes, name, table);
    return table;
}

void WriteOutput(Invocation& call, const std::string& argument, std::string_view bytes) {
    const std::optional<int> descriptor = ArgumentDescriptor(argument, Direction::Write);
    if (!descriptor) {
        WriteFileAtomically(toPath(argument), bytes);
        return;
    }
    // The two streams the program writes its own text to keep their order with it.
    if (*descriptor == 1 || *descriptor == 2) {
        std::ostream& stream = *descriptor == 1 ? call.out : call.err;
        stream.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        stream.flush();
        return;
    }
    writeDescriptor(*descriptor, bytes, ArgumentName(argument, Direction::Write));
}

std::size_t DescriptorInput::read(std::span<char> buffer) {
    while (true) {
#ifdef _WIN32
        const int got = _read(descriptor_, buffer.data(),
                              static_cast<unsigned>(std::min<std::size_t>(buffer.size(), INT_MAX)));
#else
        const ssize_t got = ::read(descriptor_, buffer.data(), buffer.size());
#endif
        if (got >= 0)
            return static_cast<std::size_t>(got);
        if (errno != EINTR)
            throw std::system_error(errno, std::generic_category());
    }
}

} // namespace korvalin
