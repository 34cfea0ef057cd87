#include "ProgramVariable.h"

#include "ProgramName.h"
#include "VariableFile.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace korvalin {
namespace {

using namespace variable_file;

void appendWord(std::vector<std::uint8_t>& out, std::size_t value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

} // namespace

std::vector<std::uint8_t> PackProgramVariable(std::string_view name,
                                              std::span<const std::uint8_t> program,
                                              std::string_view comment) {
    if (const std::string problem = ProgramNameProblem(name); !problem.empty())
        throw std::invalid_argument(problem);
    if (program.empty())
        throw std::invalid_argument("the program image is empty");
    if (program.size() > kMaxProgramSize)
        throw std::invalid_argument("the program image has " + std::to_string(program.size()) +
                                    " bytes; at most " + std::to_string(kMaxProgramSize) +
                                    " fit a program");
    if (comment.size() > kCommentSize)
        throw std::invalid_argument("the comment is longer than " + std::to_string(kCommentSize) +
                                    " bytes");

    const std::size_t variableSize = 2 + program.size();
    // The entry's header with its own length before it and the variable's length after it.
    const std::size_t dataSize = 2 + kEntryHeaderLength + 2 + variableSize;

    std::vector<std::uint8_t> file(kSignature.begin(), kSignature.end());
    file.reserve(kHeaderSize + dataSize + kChecksumSize);
    file.insert(file.end(), comment.begin(), comment.end());
    file.resize(file.size() + kCommentSize - comment.size(), 0);
    appendWord(file, dataSize);

    const std::size_t dataStart = file.size();
    appendWord(file, kEntryHeaderLength);
    appendWord(file, variableSize);
    file.push_back(kProtectedProgram);
    for (std::size_t i = 0; i < kNameSize; ++i)
        file.push_back(i < name.size() ? static_cast<std::uint8_t>(upper(name[i])) : 0);
    file.push_back(0x00); // version
    file.push_back(0x00); // flag: in RAM
    appendWord(file, variableSize);
    appendWord(file, program.size());
    file.insert(file.end(), program.begin(), program.end());

    unsigned checksum = 0;
    for (auto byte = file.begin() + static_cast<std::ptrdiff_t>(dataStart); byte != file.end();
         ++byte)
        checksum += *byte;
    appendWord(file, checksum & 0xFFFF);
    return file;
}

} // namespace korvalin
