#pragma once

#include <string>
#include <vector>

namespace korvalin::test {

// The words of a command line as posix_spawn takes them, valid while this lives.
class Argv {
public:
    explicit Argv(std::vector<std::string> words) : words_(std::move(words)) {
        for (std::string& word : words_)
            pointers_.push_back(word.data());
        pointers_.push_back(nullptr);
    }
    Argv(const Argv&) = delete;
    Argv& operator=(const Argv&) = delete;

    [[nodiscard]] char* const* get() { return pointers_.data(); }
    [[nodiscard]] const std::string& program() const { return words_.front(); }

private:
    std::vector<std::string> words_;
    std::vector<char*> pointers_;
};

} // namespace korvalin::test
