#pragma once

#include "FontSetFile.h"
#include "Form1.h"
#include "ScriptedPlatform.h"
#include "TempDir.h"
#include "TestSets.h"

#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace korvalin::test {

// Character c of the test's default set: cell i is ink when (c + i) is odd, so every
// glyph differs from its neighbours; cell 34 of character 255 holds paper.
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
    void SetUp() override {
        WriteFontSetFile(dir / "default.8xfont", testDefaultSet());
        platform.programDirectory = qpath(dir.path());
        form = std::make_unique<Form1>(platform);
        form->Form_Load();
        platform.busyChanges.clear();
    }

    // Every file in the program folder, by name.
    [[nodiscard]] std::vector<std::string> programFiles() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
            names.push_back(entry.path().filename().string());
        std::ranges::sort(names);
        return names;
    }

    // A mouse click in the middle of a cell, as the user makes it.
    static void click(const Cell* cell) {
        QTest::mouseClick(cell->grid(), Qt::LeftButton, {}, cell->rect().center());
    }

    [[nodiscard]] std::vector<OleColor> pixelColors() const {
        std::vector<OleColor> colors;
        for (const Cell* cell : form->pixel)
            colors.push_back(cell->BackColor());
        return colors;
    }

    TempDir dir;
    ScriptedPlatform platform;
    std::unique_ptr<Form1> form;
};

} // namespace korvalin::test
