#include "ProgramName.h"

#include "DeviceName.h"
#include "Escaped.h"

namespace korvalin {
namespace {

bool isAsciiLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool isAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The whole character that starts at `at`, so a message never shows half of one.
std::string_view characterAt(std::string_view text, std::size_t at) {
    std::size_t end = at + 1;
    while (end < text.size() && isContinuationByte(text[end]))
        ++end;
    return text.substr(at, end - at);
}

std::string describe(std::string_view character) {
    if (character == " ")
        return "a blank";
    if (character.size() == 1 && static_cast<unsigned char>(character[0]) < 0x20)
        return "a control character";
    return "\"" + EscapedExcerpt(character, character.size(), Utf8::Kept) + "\"";
}

} // namespace

std::string CutProgramName(std::string_view reply) {
    std::size_t characters = 0;
    std::size_t end = 0;
    while (end < reply.size()) {
        if (!isContinuationByte(reply[end]) && characters++ == kMaxProgramNameLength)
            break;
        ++end;
    }
    return std::string(reply.substr(0, end));
}

std::string ProgramNameProblem(std::string_view name, FileNames files) {
    static const std::string kRule = " A program name is 1 to " +
                                     std::to_string(kMaxProgramNameLength) +
                                     " letters (A-Z, a-z) and digits, starting with a letter.";
    if (name.empty())
        return "The program name is empty." + kRule;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (!isAsciiLetter(name[i]) && !isAsciiDigit(name[i]))
            return "The program name cannot contain " + describe(characterAt(name, i)) + "." +
                   kRule;
    }
    if (name.size() > kMaxProgramNameLength)
        return "The program name \"" + std::string(name) + "\" is longer than " +
               std::to_string(kMaxProgramNameLength) + " characters." + kRule;
    if (!isAsciiLetter(name.front()))
        return "The program name \"" + std::string(name) + "\" starts with a digit." + kRule;
    if (files == FileNames::Windows && windows_files::isReservedDeviceName(name))
        return "The name \"" + std::string(name) +
               "\" is reserved: Windows keeps it for a device, so no program file can bear it. "
               "Choose another name.";
    return {};
}

} // namespace korvalin
