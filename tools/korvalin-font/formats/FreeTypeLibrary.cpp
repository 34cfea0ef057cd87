#include "FreeTypeLibrary.h"

#include FT_MODULE_H

#include <cstdlib>
#include <cstring>

namespace korvalin {

struct FreeTypeBudget {
    FT_MemoryRec_ memory{};
    std::size_t live = 0;
    std::size_t limit = 0;
    bool exhausted = false;
};

namespace {

using Budget = FreeTypeBudget;

// Each block starts with its size, since FreeType's free does not say it.
constexpr std::size_t kHeader = alignof(std::max_align_t);

Budget& budgetOf(FT_Memory memory) {
    return *static_cast<Budget*>(memory->user);
}

bool refuse(Budget& budget, std::size_t more) {
    if (more <= budget.limit - budget.live)
        return false;
    budget.exhausted = true;
    return true;
}

void* place(void* start, std::size_t size) {
    std::memcpy(start, &size, sizeof size);
    return static_cast<char*>(start) + kHeader;
}

char* startOf(void* block, std::size_t& size) {
    char* start = static_cast<char*>(block) - kHeader;
    std::memcpy(&size, start, sizeof size);
    return start;
}

void* budgetAlloc(FT_Memory memory, long size) {
    Budget& budget = budgetOf(memory);
    const auto wanted = static_cast<std::size_t>(size);
    if (size <= 0 || refuse(budget, wanted))
        return nullptr;
    void* start = std::malloc(wanted + kHeader);
    if (!start)
        return nullptr;
    budget.live += wanted;
    return place(start, wanted);
}

void budgetFree(FT_Memory memory, void* block) {
    if (!block)
        return;
    std::size_t size = 0;
    char* start = startOf(block, size);
    budgetOf(memory).live -= size;
    std::free(start);
}

void* budgetRealloc(FT_Memory memory, long /*currentSize*/, long newSize, void* block) {
    if (!block)
        return budgetAlloc(memory, newSize);
    Budget& budget = budgetOf(memory);
    std::size_t size = 0;
    char* start = startOf(block, size);
    const auto wanted = static_cast<std::size_t>(newSize);
    if (newSize <= 0 || (wanted > size && refuse(budget, wanted - size)))
        return nullptr;
    void* moved = std::realloc(start, wanted + kHeader);
    if (!moved)
        return nullptr;
    budget.live = budget.live - size + wanted;
    return place(moved, wanted);
}

} // namespace

FreeTypeLibrary::FreeTypeLibrary(std::size_t budget) : budget_(std::make_unique<FreeTypeBudget>()) {
    budget_->limit = budget;
    budget_->memory = {budget_.get(), budgetAlloc, budgetFree, budgetRealloc};
    if (FT_New_Library(&budget_->memory, &library_) != 0) {
        library_ = nullptr;
        return;
    }
    FT_Add_Default_Modules(library_);
    // BDF and PCF have our own readers, which keep the limits as they read; with FreeType's
    // too, a file one of them refuses could still reach the other.
    for (const char* name : {"bdf", "pcf"}) {
        if (const FT_Module module = FT_Get_Module(library_, name))
            FT_Remove_Module(library_, module);
    }
    FT_Set_Default_Properties(library_);
}

FreeTypeLibrary::~FreeTypeLibrary() {
    if (library_)
        FT_Done_Library(library_);
}

bool FreeTypeLibrary::exhausted() const {
    return budget_->exhausted;
}

} // namespace korvalin
