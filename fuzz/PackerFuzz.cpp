// Packs arbitrary names and program images and reads every .8xp back with a decoder of its own.

#include "FuzzCheck.h"
#include "NameRule.h"
#include "ProgramName.h"
#include "ProgramVariable.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace korvalin {
namespace {

constexpr std::string_view kAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr std::string_view kCommentText = "Korvalin font set, drawn cell by cell; ";

struct PackCase {
    std::string name;
    std::string comment;
    std::vector<std::uint8_t> program;
};

// Byte 0 shapes the name: mostly 1 to 8 letters and digits (which may still start with a
// digit), and when its top two bits are set, 0 to 15 raw bytes. The next byte picks a
// comment of 0 to 44 bytes; the rest is the program.
PackCase splitInput(std::span<const std::uint8_t> input) {
    PackCase result;
    const std::uint8_t shape = input.front();
    input = input.subspan(1);
    const bool raw = (shape & 0xC0) == 0xC0;
    const std::size_t length =
        std::min<std::size_t>(raw ? shape & 0x0F : 1 + (shape & 0x07), input.size());
    for (const std::uint8_t byte : input.first(length))
        result.name += raw ? static_cast<char>(byte) : kAlphabet[byte % kAlphabet.size()];
    input = input.subspan(length);
    if (input.empty())
        return result;

    const std::uint8_t commentByte = input.front();
    input = input.subspan(1);
    for (std::size_t i = 0; i < (commentByte & 0x7Fu) % (kCommentSize + 3); ++i)
        result.comment += kCommentText[i % kCommentText.size()];
    if ((commentByte & 0x80) == 0 || input.empty()) {
        const auto kept = input.first(std::min(input.size(), kMaxProgramSize + 16));
        result.program.assign(kept.begin(), kept.end());
        return result;
    }
    // Mutation alone seldom grows an input to 64 KB, so a flag stretches the rest to a size
    // within 16 bytes of the largest program, where the 16-bit lengths and sums overflow.
    const std::size_t size = kMaxProgramSize - 15 + input.front() % 32;
    input = input.subspan(1);
    result.program.resize(size, 0);
    for (std::size_t i = 0; !input.empty() && i < size; ++i)
        result.program[i] = input[i % input.size()];
    return result;
}

using fuzz::followsNameRule;

// Reads the .8xp front to back; every field is checked against what went in.
class FileReader {
public:
    explicit FileReader(std::span<const std::uint8_t> file) : file_(file) {}

    std::span<const std::uint8_t> take(std::size_t count) {
        Check(count <= file_.size() - at_, "the file ends inside a field");
        const auto field = file_.subspan(at_, count);
        at_ += count;
        return field;
    }
    std::uint8_t byte() { return take(1)[0]; }
    unsigned word() {
        const auto field = take(2);
        return static_cast<unsigned>(field[0] | (field[1] << 8));
    }
    [[nodiscard]] std::size_t position() const { return at_; }
    [[nodiscard]] bool atEnd() const { return at_ == file_.size(); }

private:
    std::span<const std::uint8_t> file_;
    std::size_t at_ = 0;
};

bool sameBytes(std::span<const std::uint8_t> bytes, std::string_view text) {
    return std::equal(bytes.begin(), bytes.end(), text.begin(), text.end(),
                      [](std::uint8_t b, char c) { return b == static_cast<std::uint8_t>(c); });
}

void checkProgramFile(std::span<const std::uint8_t> file, const PackCase& input) {
    const std::size_t programSize = input.program.size();
    Check(file.size() == 8 + 3 + 42 + 2 + 19 + programSize + 2, "the file has the wrong size");
    FileReader reader(file);
    Check(sameBytes(reader.take(8), "**TI83F*"), "the signature is wrong");
    Check(sameBytes(reader.take(3), std::string_view("\x1A\x0A\x00", 3)),
          "the bytes after the signature are wrong");
    std::string comment = input.comment;
    comment.resize(kCommentSize, '\0');
    Check(sameBytes(reader.take(kCommentSize), comment), "the comment is wrong");
    const unsigned dataSize = reader.word();
    Check(dataSize == file.size() - 8 - 3 - 42 - 2 - 2, "the data section length is wrong");

    const std::size_t dataStart = reader.position();
    Check(reader.word() == 0x0D, "the entry header length is not 13");
    const unsigned variableSize = reader.word();
    Check(variableSize == programSize + 2, "the variable data length is wrong");
    Check(reader.byte() == 0x06, "the variable is not a protected program");
    std::string name;
    for (const char c : input.name)
        name += c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    name.resize(8, '\0');
    Check(sameBytes(reader.take(8), name), "the variable name is wrong");
    Check(reader.byte() == 0x00, "the version is not 0");
    Check(reader.byte() == 0x00, "the flag is not 0");
    Check(reader.word() == variableSize, "the second variable data length differs");
    Check(reader.word() == programSize, "the program length is wrong");
    const auto program = reader.take(programSize);
    Check(std::equal(program.begin(), program.end(), input.program.begin(), input.program.end()),
          "the program bytes differ from the image");
    Check(reader.position() - dataStart == dataSize, "the data section has the wrong length");

    unsigned sum = 0;
    for (const std::uint8_t byte : file.subspan(dataStart, dataSize))
        sum += byte;
    Check(reader.word() == (sum & 0xFFFF), "the checksum is wrong");
    Check(reader.atEnd(), "bytes follow the checksum");
}

} // namespace
} // namespace korvalin

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace korvalin;
    if (size == 0)
        return 0;
    const PackCase input = splitInput({data, size});
    const bool goodName = followsNameRule(input.name);
    Check(goodName == ProgramNameProblem(input.name).empty(),
          "ProgramNameProblem disagrees with the name rule");
    const bool refusable = !goodName || input.program.empty() ||
                           input.program.size() > kMaxProgramSize ||
                           input.comment.size() > kCommentSize;
    try {
        const std::vector<std::uint8_t> file =
            PackProgramVariable(input.name, input.program, input.comment);
        Check(!refusable, "PackProgramVariable packed what it should refuse");
        checkProgramFile(file, input);
    } catch (const std::invalid_argument&) {
        Check(refusable, "PackProgramVariable refused a good name, image and comment");
    } catch (const std::exception& error) {
        Check(false, std::string("PackProgramVariable threw something other than "
                                 "std::invalid_argument: ") +
                         error.what());
    }
    return 0;
}
