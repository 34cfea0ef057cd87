#include "QtPlatform.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QProcess>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace korvalin {

namespace {

QString titleOrDefault(const QString& title) {
    return title.isEmpty() ? kApplicationTitle : title;
}

QMessageBox::Icon iconOf(int style) {
    switch (style & 0x70) {
    case msgbox::Critical:
        return QMessageBox::Critical;
    case msgbox::Exclamation:
        return QMessageBox::Warning;
    default:
        return QMessageBox::NoIcon;
    }
}

} // namespace

QString qtFileFilter(const QString& filter) {
    const QStringList parts = filter.split('|');
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        entries << parts[i] + QStringLiteral(" (") + patterns.replace(';', ' ') + ')';
    }
    return entries.join(QStringLiteral(";;"));
}

int QtPlatform::MsgBox(const QString& prompt, int style, const QString& title) {
    QMessageBox box(iconOf(style), titleOrDefault(title), prompt, QMessageBox::NoButton, window_);
    if ((style & 0x7) == msgbox::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return msgbox::AnswerYes;
    case QMessageBox::No:
        return msgbox::AnswerNo;
    default:
        return msgbox::AnswerOk;
    }
}

QString QtPlatform::InputBox(const QString& prompt, const QString& title) {
    QInputDialog dialog(window_);
    dialog.setWindowTitle(titleOrDefault(title));
    dialog.setLabelText(prompt);
    dialog.setInputMode(QInputDialog::TextInput);
    return dialog.exec() == QDialog::Accepted ? dialog.textValue() : QString();
}

std::optional<QString> QtPlatform::ShowFileDialog(const FileDialogRequest& request) {
    QFileDialog::Options options;
    if ((request.flags & 2) == 0)
        options |= QFileDialog::DontConfirmOverwrite;
    const QString filter = qtFileFilter(request.filter);
    const QString chosen = request.kind == FileDialogKind::Open
                               ? QFileDialog::getOpenFileName(window_, QString(), request.fileName,
                                                              filter, nullptr, options)
                               : QFileDialog::getSaveFileName(window_, QString(), request.fileName,
                                                              filter, nullptr, options);
    if (chosen.isEmpty())
        return std::nullopt;
    return chosen;
}

bool QtPlatform::StartProcess(const QString& program, const QStringList& arguments,
                              const QString& workingDirectory, [[maybe_unused]] int windowStyle) {
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setWorkingDirectory(workingDirectory);
#ifdef Q_OS_WIN
    process.setCreateProcessArgumentsModifier(
        [windowStyle](QProcess::CreateProcessArguments* args) {
            args->flags |= CREATE_NEW_CONSOLE;
            args->startupInfo->dwFlags |= STARTF_USESHOWWINDOW;
            args->startupInfo->wShowWindow = static_cast<WORD>(windowStyle);
        });
#endif
    return process.startDetached();
}

void QtPlatform::SetBusyPointer(bool busy) {
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

QString QtPlatform::ProgramDirectory() {
    return QCoreApplication::applicationDirPath();
}

void QtPlatform::End(int exitStatus) {
    QCoreApplication::exit(exitStatus);
}

} // namespace korvalin
