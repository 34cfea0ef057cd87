#pragma once

#include "FontSetFile.h"
#include "Form1.h"
#include "ScriptedPlatform.h"
#include "TempDir.h"
#include "TestSets.h"

#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace korvalin::test {

// The default set of every test editor, whose glyphs all differ from their neighbours.
inline FontSet testDefaultSet() {
    return alternatingSet();
}

inline QString qpath(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}
inline std::filesystem::path toStdPath(const QString& path) {
    return path.toStdString();
}

// A started editor whose program folder is a fresh temporary folder.
class EditorTest : public testing::Test {
protected:
    void SetUp() override { start(dir.path()); }

    // Starts a new editor whose program folder, holding the test's default set, is `folder`.
    void start(const std::filesystem::path& folder) {
        WriteFontSetFile(std::filesystem::path(folder) / "default.8xfont", testDefaultSet());
        platform.programDirectory = folder;
        form = std::make_unique<Form1>(platform);
        form->Form_Load();
        platform.busyChanges.clear();
    }

    [[nodiscard]] Form1::View view() const { return form->view(); }

    // A control of the window, by the name the handlers give it.
    template <typename T>
    [[nodiscard]] T* control(const QString& name) const {
        T* found = form->findChild<T*>(name);
        if (found == nullptr)
            throw std::logic_error("no control " + name.toStdString());
        return found;
    }
    [[nodiscard]] QAction* action(const QString& name) const { return control<QAction>(name); }
    [[nodiscard]] QMenu* menu(const QString& name) const { return control<QMenu>(name); }
    [[nodiscard]] QLabel* lblstatus() const { return control<QLabel>("lblstatus"); }
    [[nodiscard]] QPushButton* cmdNextChar() const { return control<QPushButton>("cmdNextChar"); }
    [[nodiscard]] QGroupBox* Frame1() const { return control<QGroupBox>("Frame1"); }
    [[nodiscard]] CellGrid* pixelGrid() const { return control<CellGrid>("pixel"); }

    // Puts `set` into the editor as a file would: through Load, answering No to its prompt.
    void loadSet(const FontSet& set) {
        const TempDir folder;
        WriteFontSetFile(folder / "set.8xfont", set);
        platform.messageAnswers.push_back(MsgBoxAnswer::No);
        platform.fileChoices.push_back(QString::fromStdString((folder / "set.8xfont").string()));
        form->mnuFileLoad_Click();
    }

    // Every file in the program folder, by name.
    [[nodiscard]] std::vector<std::string> programFiles() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(platform.programDirectory))
            names.push_back(entry.path().filename().string());
        std::ranges::sort(names);
        return names;
    }

    // A mouse click in the middle of a cell, as the user makes it.
    static void click(const Cell& cell) {
        QTest::mouseClick(cell.grid(), Qt::LeftButton, {}, cell.rect().center());
    }

    [[nodiscard]] std::vector<OleColor> pixelColors() const {
        std::vector<OleColor> colors;
        for (int i = 0; i < Form1::kCells; ++i)
            colors.push_back(view().pixel(i).BackColor());
        return colors;
    }

    TempDir dir;
    ScriptedPlatform platform;
    std::unique_ptr<Form1> form;
};

} // namespace korvalin::test
