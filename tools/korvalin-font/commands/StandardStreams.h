#pragma once

#include "Commands.h"
#include "FontSet.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace korvalin {

// `-` for a file read is standard input, for a file written standard output.
[[nodiscard]] inline bool IsStandardStream(std::string_view argument) {
    return argument == "-";
}

enum class Direction { Read, Write };

// The descriptor a file argument stands for: `-`, and on POSIX systems /dev/stdin,
// /dev/stdout, /dev/stderr, /dev/fd/N and /proc/self/fd/N. Such an argument is read or
// written through the descriptor as the shell opened it (appending after `>>`, into a
// pipe), never by replacing the file behind it.
[[nodiscard]] std::optional<int> ArgumentDescriptor(std::string_view argument, Direction direction);

// How messages name a file argument: `-` is "standard input" or "standard output".
[[nodiscard]] std::filesystem::path ArgumentName(const std::string& argument,
                                                 Direction direction = Direction::Read);

// What a file argument is on disk, for telling whether two name the same file: for a
// descriptor the file behind it (none where the system cannot tell).
[[nodiscard]] std::filesystem::path ArgumentFile(const std::string& argument, Direction direction);

// All of a file argument, at most `limit` bytes: the file, or what its descriptor gives.
// Throws FileError naming the argument.
[[nodiscard]] std::string ReadArgument(Invocation& call, const std::string& argument,
                                       std::size_t limit);

// The set of a set file or a font program. Throws FileError naming the argument, and
// saying what a file of another kind is and what to do with it.
[[nodiscard]] FontSet ReadSetArgument(Invocation& call, const std::string& argument);
// The same for the bytes of a file read as `name`.
[[nodiscard]] FontSet SetFromBytes(const std::string& bytes, const std::filesystem::path& name);

// Writes `bytes` as the whole file `argument`, or to the descriptor it stands for.
void WriteOutput(Invocation& call, const std::string& argument, std::string_view bytes);

// A descriptor of the process read as it comes, standard input (0) for the whole program.
class DescriptorInput final : public InputStream {
public:
    explicit DescriptorInput(int descriptor) : descriptor_(descriptor) {}
    [[nodiscard]] std::size_t read(std::span<char> buffer) override;

private:
    int descriptor_;
};

} // namespace korvalin
