#pragma once

#include "CellGrid.h"
#include "Editor.h"
#include "EditorView.h"
#include "FormLayout.h"
#include "Handles.h"
#include "WindowClass.h"

#include <memory>
#include <string>
#include <windows.h>

namespace korvalin::win32 {

// The editor's one window, native: a 5 x 7 grid of cells to draw on, a preview in its
// frame, a status line, a Next button and the menus. It owns the editor core, forwards
// every event to it and shows what it is told. Created hidden; the caller shows it.
class Form1 final : public EditorView, public MessageTarget {
public:
    static const std::wstring kTitle;
    // The control ID of Next, also the window's default button.
    static constexpr int kNextId = 1;

    Form1(HINSTANCE instance, Platform& platform);
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;
    ~Form1() override;

    [[nodiscard]] HWND hwnd() const { return window_.get(); }
    [[nodiscard]] Editor& editor() { return editor_; }

    // The controls, for tests.
    [[nodiscard]] HWND frame() const { return frame_; }
    [[nodiscard]] HWND nextButton() const { return next_; }
    [[nodiscard]] HWND statusLine() const { return status_; }
    [[nodiscard]] const CellGrid& grid(CellBlock block) const {
        return block == CellBlock::Pixel ? *pixel_ : *preview_;
    }
    [[nodiscard]] int dpi() const { return dpi_; }
    // Where the controls were placed, at the window's DPI.
    [[nodiscard]] const FormLayout& formLayout() const { return layout_; }
    // Whether the core ended the program, and with which status.
    [[nodiscard]] bool ended() const { return ended_; }
    [[nodiscard]] int exitStatus() const { return exitStatus_; }

    void ShowCell(CellBlock block, int index, OleColor colour) override;
    [[nodiscard]] OleColor CellColour(CellBlock block, int index) const override;
    void SetStatus(const std::string& text) override;
    void SetBusyPointer(bool busy) override;
    void End(int exitStatus) override;

    LRESULT handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void createControls();
    // Fonts and places for the window's DPI; the window keeps `origin`.
    void applyDpi(int dpi, POINT origin);
    // What the window's font needs of the layout.
    [[nodiscard]] TextRoom textRoom() const;

    HINSTANCE instance_;
    Editor editor_;
    FormLayout layout_;
    UniqueFont font_;
    UniqueIcon bigIcon_;
    UniqueIcon smallIcon_;
    int dpi_ = USER_DEFAULT_SCREEN_DPI;
    int busy_ = 0;
    bool ended_ = false;
    int exitStatus_ = 0;
    // Children of the window, which destroys them.
    HWND frame_ = nullptr;
    HWND next_ = nullptr;
    HWND status_ = nullptr;
    std::unique_ptr<CellGrid> pixel_;
    std::unique_ptr<CellGrid> preview_;
    UniqueWindow window_;
};

} // namespace korvalin::win32
