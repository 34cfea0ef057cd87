// What a lint of set files finds that the reader, which must read what the editor reads,
// takes without a word.
#include "FontSetLayout.h"

#include "Escaped.h"
#include "FontSet.h"

#include <algorithm>
#include <cstddef>

namespace korvalin {
namespace {

// More lines of several values than a reader of the messages needs.
constexpr std::size_t kNamedLines = 10;

struct Line {
    int number;
    std::string_view text;
    int values; // fields, whole numbers or not, between blanks, tabs and commas
};

int fieldsOf(std::string_view text) {
    int fields = 0;
    bool inField = false;
    for (const char c : text) {
        const bool separator = c == ' ' || c == '\t' || c == ',';
        fields += !separator && !inField ? 1 : 0;
        inField = !separator;
    }
    return fields;
}

// The lines that hold fields, numbered as the reader counts lines: CR LF, CR or LF ends one.
std::vector<Line> linesWithFields(std::string_view text) {
    std::vector<Line> lines;
    int number = 1;
    for (std::size_t at = 0; at < text.size(); ++number) {
        const std::size_t end = std::min(text.find_first_of("\r\n", at), text.size());
        const std::string_view line = text.substr(at, end - at);
        if (const int fields = fieldsOf(line); fields > 0)
            lines.push_back({number, line, fields});
        at = end + (text.substr(end).starts_with("\r\n") ? 2 : 1);
    }
    return lines;
}

} // namespace

std::vector<std::string> FontSetLayoutProblems(std::string_view text) {
    const std::vector<Line> lines = linesWithFields(text);
    // The line that holds the last value the reader reads.
    std::size_t last = 0;
    for (int read = 0; last < lines.size(); ++last) {
        read += lines[last].values;
        if (read >= FontSet::kCellCount)
            break;
    }
    if (last == lines.size())
        return {};
    std::vector<std::string> problems;
    std::size_t ones = 0;
    for (std::size_t i = 0; i <= last; ++i)
        ones += lines[i].values == 1 ? 1 : 0;
    // A file of one value a line is read so only where each line holds one.
    if (2 * ones > last + 1) {
        std::size_t several = 0;
        for (std::size_t i = 0; i <= last; ++i) {
            const Line& line = lines[i];
            if (line.values == 1 || ++several > kNamedLines)
                continue;
            problems.push_back("line " + std::to_string(line.number) + ": \"" +
                               EscapedExcerpt(line.text, 24) + "\" holds " +
                               std::to_string(line.values) + " values, which the editor reads as " +
                               std::to_string(line.values) + " cells; it writes one a line");
        }
        if (several > kNamedLines)
            problems.push_back(std::to_string(several - kNamedLines) +
                               " more lines hold several values");
    }
    int read = 0;
    for (std::size_t i = 0; i < last; ++i)
        read += lines[i].values;
    const bool moreOnLast = read + lines[last].values > FontSet::kCellCount;
    if (moreOnLast || last + 1 < lines.size())
        problems.push_back("line " + std::to_string(lines[moreOnLast ? last : last + 1].number) +
                           ": more follows the 8960th value, which the editor never reads");
    return problems;
}

} // namespace korvalin
