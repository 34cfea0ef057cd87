#pragma once

#include "FontSetFile.h"
#include "Form1.h"
#include "ScriptedPlatform.h"
#include "TempDir.h"
#include "TestSets.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace korvalin::test {

// A started window over the scripted platform, in a fresh program folder.
class WindowTest : public testing::Test {
protected:
    void SetUp() override {
        WriteFontSetFile(dir / "default.8xfont", alternatingSet());
        platform.programDirectory = dir.path();
        form = std::make_unique<Form1>(platform);
        form->editor().Form_Load();
    }

    [[nodiscard]] Editor::State state() const { return form->editor().state(); }

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
    [[nodiscard]] CellGrid* previewGrid() const { return control<CellGrid>("preview"); }

    // A mouse click in the middle of a cell, as the user makes it.
    static void click(const Cell& cell) {
        QTest::mouseClick(cell.grid(), Qt::LeftButton, {}, cell.rect().center());
    }

    [[nodiscard]] std::vector<OleColor> pixelColors() const {
        std::vector<OleColor> colors;
        for (int i = 0; i < Form1::kCells; ++i)
            colors.push_back(form->pixelCell(i).BackColor());
        return colors;
    }

    // Shows the window and gives it the keyboard.
    void activate() {
        form->show();
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }

    TempDir dir;
    ScriptedPlatform platform;
    std::unique_ptr<Form1> form;
};

} // namespace korvalin::test
