#pragma once

#include "CellGrid.h"
#include "Editor.h"
#include "EditorView.h"
#include "FormLayout.h"

#include <QMainWindow>
#include <array>

class QGroupBox;
class QLabel;
class QPushButton;

namespace korvalin {

// The editor's one window: a 5 x 7 grid of cells to draw on, a preview, a status line,
// a Next button and the menus. It owns the editor core, forwards every event to it and
// shows what it is told.
class Form1 : public QMainWindow, public EditorView {
    Q_OBJECT

public:
    static constexpr int kCells = Editor::kCells;
    static const QString kTitle;

    explicit Form1(Platform& platform, QWidget* parent = nullptr);

    [[nodiscard]] Editor& editor() { return editor_; }
    [[nodiscard]] const Editor& editor() const { return editor_; }

    // The cells as shown, for tests; the controls are found by their names (objectName).
    [[nodiscard]] const Cell& pixelCell(int index) const { return *pixel.at(at(index)); }
    [[nodiscard]] const Cell& previewCell(int index) const { return *preview.at(at(index)); }
    // Where the controls were placed, at 96 dpi.
    [[nodiscard]] const FormLayout& formLayout() const { return layout_; }

    void ShowCell(CellBlock block, int index, OleColor colour) override;
    [[nodiscard]] OleColor CellColour(CellBlock block, int index) const override;
    void SetStatus(const std::string& text) override;
    void SetBusyPointer(bool busy) override;
    void End(int exitStatus) override;

signals:
    // The core ended the program; the application leaves its event loop on it.
    void ended(int exitStatus);

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    static std::size_t at(int index) { return static_cast<std::size_t>(index); }
    [[nodiscard]] Cell* cellOf(CellBlock block, int index) const;

    void createControls();
    void createMenus();
    void focusMenuBar();
    // What the window's font needs of the layout.
    [[nodiscard]] TextRoom textRoom() const;
    void placeControls(const FormLayout& layout);

    Editor editor_;
    FormLayout layout_;

    std::array<Cell*, kCells> pixel{};
    std::array<Cell*, kCells> preview{};
    CellGrid* pixelGrid = nullptr;
    CellGrid* previewGrid = nullptr;
    QGroupBox* Frame1 = nullptr;
    QPushButton* cmdNextChar = nullptr;
    QLabel* lblstatus = nullptr;
};

} // namespace korvalin
