#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

namespace korvalin {

// The last line a process wrote, from its output as it comes. A line longer than kMaxLine
// keeps only its beginning, so a babbling process costs no memory.
class LastLine {
public:
    static constexpr std::size_t kMaxLine = 4096;

    void add(std::string_view bytes) {
        for (const char c : bytes) {
            if (c == '\n') {
                if (!current_.empty())
                    last_ = std::exchange(current_, std::string());
            } else if (current_.size() < kMaxLine) {
                current_ += c;
            }
        }
    }

    // Without the carriage return of a CR LF line end.
    [[nodiscard]] std::string line() const {
        std::string line = current_.empty() ? last_ : current_;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        return line;
    }

private:
    std::string current_;
    std::string last_;
};

} // namespace korvalin
