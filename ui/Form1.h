#pragma once

#include "CellGrid.h"
#include "CommonDialog.h"
#include "FontSet.h"
#include "Launch.h"
#include "Platform.h"

#include <QMainWindow>
#include <array>
#include <filesystem>
#include <map>
#include <string_view>

class QAction;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;

namespace korvalin {

// The editor's one window: a 5 x 7 grid of cells to draw on, a preview, a status line,
// a Next button and the menus. It owns the glyph table and the editor state.
class Form1 : public QMainWindow {
    Q_OBJECT

public:
    static constexpr int kCells = FontSet::kCellsPerGlyph;
    inline static const QString kTitle = QStringLiteral("Korvalin Font Set Creator 1.0");
    inline static const QString kStatusPrefix = QStringLiteral("Currently editing character: ");

    explicit Form1(Platform& platform, QWidget* parent = nullptr);

    // Start-up and New Set: reads the default font set and shows character 0. Throws when
    // the program folder cannot be found or the default file cannot be read (FileError),
    // and then changes nothing.
    void Form_Load();
    void ShowCharacter();

    // Selects a character code 0..255 and shows it; every navigation command ends here.
    void selectCharacter(int code);

    void pixel_Click(int index);
    void cmdNextChar_Click();
    void mnuSwitchNumbers_Click(int index);
    void mnuSwitchUppercaseLetters_Click(int index);
    void mnuSwitchSymbols_Click(int index);
    void mnuSwitchLowercaseLetters_Click(int index);
    void mnuSwitchLowerSpecial_Click();
    void mnuSwitchEvenMoreSymbols_Click();

    void mnuNew_Click();
    void mnuFileLoad_Click();
    void mnuFileSave_Click();
    void mnuFileExit_Click();
    void mnuCompile_Click();
    // Closing the window; setting `cancel` keeps it open.
    void Form_Unload(bool& cancel);

    // A read-only look at the editor state and the cells, for tests. The controls are
    // found by their names (objectName), as the handlers name them.
    class View {
    public:
        explicit View(const Form1& form) : form_(form) {}
        [[nodiscard]] const FontSet& fontSet() const { return form_.fontSet; }
        [[nodiscard]] const NativeString& appDir() const { return form_.appDir; }
        [[nodiscard]] qint16 currentChar() const { return form_.currentChar; }
        [[nodiscard]] const QString& currentFileName() const { return form_.currentFileName; }
        [[nodiscard]] bool haveFileName() const { return form_.haveFileName; }
        [[nodiscard]] const Cell& pixel(int index) const { return *form_.pixel.at(at(index)); }
        [[nodiscard]] const Cell& preview(int index) const { return *form_.preview.at(at(index)); }

    private:
        static std::size_t at(int index) { return static_cast<std::size_t>(index); }
        const Form1& form_;
    };
    [[nodiscard]] View view() const { return View(*this); }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // The one place the file state changes: the path last loaded or saved, and whether
    // Save may write to it without asking.
    void setCurrentFile(const QString& fileName, bool chosen);
    // A file in the program folder, its path built from the folder's own bytes.
    [[nodiscard]] std::filesystem::path inAppDir(std::string_view name) const;

    void createControls();
    void createMenus();
    void nameMenus();
    void focusMenuBar();
    void fitPreviewFrame();
    void fitStatusLine();
    void askForCharacter();
    // The save prompt of New Set, Load and Exit; false when the set the user asked to
    // keep could not be saved, and the command must stop.
    bool savePrompt(const QString& title);
    void prepareFileDialog();
    // Save; false when a save that was not cancelled failed.
    bool save();
    void showFailure(const QString& what, const std::exception& error);
    void LoadFontSet(const QString& path);
    void SaveFontSet();

    Platform& platform_;

    // The glyph table and the editor state.
    FontSet fontSet;
    NativeString appDir; // the program folder, ending in its separator
    qint16 currentChar = 0;
    QString currentFileName;
    bool haveFileName = false;

    std::array<Cell*, kCells> pixel{};
    std::array<Cell*, kCells> preview{};
    CellGrid* pixelGrid = nullptr;
    CellGrid* previewGrid = nullptr;
    QGroupBox* Frame1 = nullptr;
    QPushButton* cmdNextChar = nullptr;
    QLabel* lblstatus = nullptr;
    CommonDialog CommonDialog1;

    QMenu* mnuFile = nullptr;
    QAction* mnuNew = nullptr;
    QAction* mnuFileLoad = nullptr;
    QAction* mnuFileSave = nullptr;
    QAction* mnuFileExit = nullptr;
    QMenu* mnuSwitch = nullptr;
    QAction* mnuSwitchLowerSpecial = nullptr;
    QMenu* mnuSwitchSymbolNumber = nullptr;
    QMenu* mnuSwitchUppercase = nullptr;
    QMenu* mnuSwitchMoreSymbols = nullptr;
    QMenu* mnuSwitchLowercase = nullptr;
    QAction* mnuSwitchEvenMoreSymbols = nullptr;
    QAction* mnuCompile = nullptr;
    // The character items, by the code each selects.
    std::map<int, QAction*> mnuSwitchNumbers;
    std::map<int, QAction*> mnuSwitchUppercaseLetters;
    std::map<int, QAction*> mnuSwitchSymbols;
    std::map<int, QAction*> mnuSwitchLowercaseLetters;
};

} // namespace korvalin
