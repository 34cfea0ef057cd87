#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstddef>
#include <memory>

namespace korvalin {

// The most FreeType may hold at once for one font; a 5x7 import needs a small part of it.
constexpr std::size_t kFreeTypeBudget = std::size_t{128} << 20;

struct FreeTypeBudget;

// A FreeType library whose allocations together stay within a budget, so that a font that
// asks for more fails to load instead of exhausting the machine.
class FreeTypeLibrary {
public:
    explicit FreeTypeLibrary(std::size_t budget = kFreeTypeBudget);
    ~FreeTypeLibrary();
    FreeTypeLibrary(const FreeTypeLibrary&) = delete;
    FreeTypeLibrary& operator=(const FreeTypeLibrary&) = delete;

    // Null when FreeType did not start.
    [[nodiscard]] FT_Library get() const { return library_; }
    // Whether FreeType has been refused memory for going beyond the budget.
    [[nodiscard]] bool exhausted() const;

private:
    std::unique_ptr<FreeTypeBudget> budget_;
    FT_Library library_ = nullptr;
};

} // namespace korvalin
