#include "QtPlatform.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

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

std::unique_ptr<LaunchedProcess> QtPlatform::StartProcess(const LaunchRequest& request) {
    return Launch(request);
}

void QtPlatform::ShowNotice(const QString& text, const QString& title) {
    // Not modal: the user reads it while going on with the editor.
    auto* box = new QMessageBox(QMessageBox::Warning, titleOrDefault(title), text, QMessageBox::Ok,
                                window_);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
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
