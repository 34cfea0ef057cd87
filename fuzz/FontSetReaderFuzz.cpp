// Feeds arbitrary bytes to ReadFontSet, through a stream and in memory, and compares the
// outcome with a small reference reader.

#include "FileError.h"
#include "FontSet.h"
#include "FontSetFile.h"
#include "FuzzCheck.h"

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>

namespace korvalin {
namespace {

constexpr std::string_view kSource = "fuzz-input.8xfont";

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool endsField(char c) {
    return isBlank(c) || c == ',' || c == '\r' || c == '\n';
}

// An optional sign and at least one digit, within the range of a cell value.
std::optional<CellValue> wholeNumber(std::string_view field) {
    bool negative = false;
    if (!field.empty() && (field.front() == '+' || field.front() == '-')) {
        negative = field.front() == '-';
        field.remove_prefix(1);
    }
    if (field.empty() || field.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    long magnitude = 0;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), magnitude);
    if (error != std::errc{} || end != field.data() + field.size())
        return std::nullopt;
    const long value = negative ? -magnitude : magnitude;
    if (value < -32768 || value > 32767)
        return std::nullopt;
    return static_cast<CellValue>(value);
}

// The reader's rule written the plain way, over the whole text at once: fields split by
// one comma or line end (CR LF, CR, LF) and/or blanks, 8960 of them, the rest ignored.
std::optional<FontSet> referenceRead(std::string_view text) {
    FontSet table;
    std::size_t at = 0;
    const auto skipBlanks = [&] {
        while (at < text.size() && isBlank(text[at]))
            ++at;
    };
    const auto cells = table.cells();
    for (std::size_t i = 0; i < cells.size(); ++i) {
        skipBlanks();
        if (i > 0 && at < text.size()) {
            if (text[at] == ',' || text[at] == '\n') {
                ++at;
            } else if (text[at] == '\r') {
                ++at;
                if (at < text.size() && text[at] == '\n')
                    ++at;
            }
            skipBlanks();
        }
        const std::size_t start = at;
        while (at < text.size() && !endsField(text[at]))
            ++at;
        const auto value = wholeNumber(text.substr(start, at - start));
        if (!value)
            return std::nullopt;
        cells[i] = *value;
    }
    return table;
}

// Something other than all-paper, with negative and odd values, so that a reader which
// touched the table before failing would show.
FontSet patternedTable() {
    FontSet table;
    std::uint32_t state = 0x9E3779B9u;
    for (CellValue& cell : table.cells()) {
        state = state * 1664525u + 1013904223u;
        cell = static_cast<CellValue>(static_cast<std::int32_t>(state >> 16) - 32768);
    }
    return table;
}

} // namespace
} // namespace korvalin

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace korvalin;
    static const FontSet kBefore = patternedTable();
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::optional<FontSet> expected = referenceRead(text);

    // The text read where it lies must come out as through a stream, in chunks: the same
    // values, or the same message and the table untouched.
    FontSet inMemory = kBefore;
    std::string inMemoryMessage;
    try {
        ReadFontSet(text, kSource, inMemory);
    } catch (const FileError& error) {
        inMemoryMessage = error.what();
    }

    FontSet table = kBefore;
    std::istringstream in{std::string(text)};
    try {
        ReadFontSet(in, kSource, table);
    } catch (const FileError& error) {
        Check(inMemoryMessage == error.what() && inMemory == kBefore,
              "text in memory fails otherwise than through a stream");
        Check(!expected.has_value(), "ReadFontSet refused a text the reference reads");
        Check(table == kBefore, "ReadFontSet changed the table and then failed");
        const std::string_view what = error.what();
        Check(what.starts_with(std::string(kSource) + ": "), "the message does not start with "
                                                             "the file's name");
        Check(!error.cause().empty(), "the message gives no cause");
        Check(error.path() == kSource, "the error names another file");
        return 0;
    } catch (const std::exception& error) {
        Check(false,
              std::string("ReadFontSet threw something other than FileError: ") + error.what());
    } catch (...) {
        Check(false, "ReadFontSet threw something that is not a std::exception");
    }
    Check(expected.has_value(), "ReadFontSet read a text the reference refuses");
    Check(table == *expected, "ReadFontSet read other values than the reference");
    Check(inMemoryMessage.empty() && inMemory == table,
          "text in memory reads otherwise than through a stream");
    return 0;
}
