#pragma once

#include "Editor.h"

#include <array>
#include <string>
#include <vector>

namespace korvalin::test {

// A view that keeps what it is told to show, as a window's cells and status line would.
class RecordingView : public EditorView {
public:
    std::array<OleColor, Editor::kCells> pixel = filled();
    std::array<OleColor, Editor::kCells> preview = filled();
    std::string status;
    std::vector<bool> busyChanges;
    std::vector<int> ends;

    void ShowCell(CellBlock block, int index, OleColor colour) override {
        cells(block).at(static_cast<std::size_t>(index)) = colour;
    }
    [[nodiscard]] OleColor CellColour(CellBlock block, int index) const override {
        return cells(block).at(static_cast<std::size_t>(index));
    }
    void SetStatus(const std::string& text) override { status = text; }
    void SetBusyPointer(bool busy) override { busyChanges.push_back(busy); }
    void End(int exitStatus) override { ends.push_back(exitStatus); }

private:
    static std::array<OleColor, Editor::kCells> filled() {
        std::array<OleColor, Editor::kCells> colours{};
        colours.fill(kWhite);
        return colours;
    }
    std::array<OleColor, Editor::kCells>& cells(CellBlock block) {
        return block == CellBlock::Pixel ? pixel : preview;
    }
    [[nodiscard]] const std::array<OleColor, Editor::kCells>& cells(CellBlock block) const {
        return block == CellBlock::Pixel ? pixel : preview;
    }
};

} // namespace korvalin::test
