#pragma once

#include "Colors.h"

#include <string>

namespace korvalin {

// The two blocks of cells: the grid the user draws on and the small preview.
enum class CellBlock { Pixel, Preview };

// What the editor shows, in whatever window a toolkit gives it. The cells are the record
// of what is shown: a cell's colour reads back exactly as it was last set.
class EditorView {
public:
    virtual ~EditorView() = default;

    virtual void ShowCell(CellBlock block, int index, OleColor colour) = 0;
    [[nodiscard]] virtual OleColor CellColour(CellBlock block, int index) const = 0;
    // UTF-8.
    virtual void SetStatus(const std::string& text) = 0;
    virtual void SetBusyPointer(bool busy) = 0;
    // Ends the program once the running handler returns; no further handler runs.
    virtual void End(int exitStatus) = 0;
};

// Shows the busy pointer for as long as it lives.
class BusyPointer {
public:
    explicit BusyPointer(EditorView& view) : view_(view) { view_.SetBusyPointer(true); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
    ~BusyPointer() { view_.SetBusyPointer(false); }

private:
    EditorView& view_;
};

} // namespace korvalin
