#pragma once

#include "CellGrid.h"
#include "CommonDialog.h"
#include "FontSet.h"
#include "Platform.h"

#include <QMainWindow>
#include <array>
#include <map>

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

    // Start-up and New Set: reads the default font set and shows character 0. Throws
    // FileError when the default file cannot be read, and then changes nothing.
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

    // The glyph table and the editor state, for the handlers and for tests.
    FontSet fontSet;
    QString appDir;
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

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void createMenus();
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
};

} // namespace korvalin
