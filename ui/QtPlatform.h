#pragma once

#include "Platform.h"

#include <QFileDialog>
#include <QPointer>
#include <QWidget>

class QMessageBox;

namespace korvalin {

// The platform of the real program: Qt's dialogs, processes and cursor.
class QtPlatform : public Platform {
public:
    // Dialogs are modal to this window.
    void setWindow(QWidget* window) { window_ = window; }

    MsgBoxAnswer MsgBox(const QString& prompt, MsgBoxStyles style, const QString& title) override;
    QString InputBox(const QString& prompt, const QString& title) override;
    std::optional<QString> ShowFileDialog(const FileDialogRequest& request) override;
    std::unique_ptr<LaunchedProcess> StartProcess(const LaunchRequest& request) override;
    void ShowNotice(const QString& text, const QString& title) override;
    void SetBusyPointer(bool busy) override;
    std::filesystem::path ProgramDirectory() override;
    void End(int exitStatus) override;

private:
    QPointer<QWidget> window_;
};

// "Korvalin Fonts|*.8xfont" in Qt's form, "Korvalin Fonts (*.8xfont)".
QString qtFileFilter(const QString& filter);

// The buttons, default button and icon of a message box of `style`.
void configureMessageBox(QMessageBox& box, MsgBoxStyles style);

// The options of Qt's file dialog that carry out `flags`.
QFileDialog::Options fileDialogOptions(FileDialogFlags flags);

} // namespace korvalin
