#pragma once

#include "Platform.h"

#include <QProcess>
#include <deque>
#include <memory>
#include <optional>
#include <vector>

namespace korvalin::test {

// A platform whose user answers from a script and whose every request is recorded.
class ScriptedPlatform : public Platform {
public:
    struct Message {
        QString prompt;
        MsgBoxStyles style;
        QString title;
    };
    struct Launch {
        QString program;
        QStringList arguments;
        QString workingDirectory;
        int windowStyle;
    };

    // Answers, taken in order; running out of them fails the test through an exception.
    std::deque<MsgBoxAnswer> messageAnswers;
    std::deque<QString> inputReplies;
    std::deque<std::optional<QString>> fileChoices;
    bool launchSucceeds = true;
    bool runLaunches = false; // really start launched processes, to wait for them

    std::vector<Message> messages;
    std::vector<std::pair<QString, QString>> inputBoxes; // prompt, title
    std::vector<FileDialogRequest> fileDialogs;
    std::vector<Launch> launches;
    std::vector<std::unique_ptr<QProcess>> processes;
    std::vector<bool> busyChanges;
    std::vector<int> ends;
    std::filesystem::path programDirectory;

    MsgBoxAnswer MsgBox(const QString& prompt, MsgBoxStyles style, const QString& title) override {
        messages.push_back({prompt, style, title});
        return take(messageAnswers, "message box");
    }
    QString InputBox(const QString& prompt, const QString& title) override {
        inputBoxes.emplace_back(prompt, title);
        return take(inputReplies, "input box");
    }
    std::optional<QString> ShowFileDialog(const FileDialogRequest& request) override {
        fileDialogs.push_back(request);
        return take(fileChoices, "file dialog");
    }
    bool StartProcess(const QString& program, const QStringList& arguments,
                      const QString& workingDirectory, int windowStyle) override {
        launches.push_back({program, arguments, workingDirectory, windowStyle});
        if (runLaunches && launchSucceeds) {
            auto process = std::make_unique<QProcess>();
            process->setWorkingDirectory(workingDirectory);
            process->start(program, arguments);
            processes.push_back(std::move(process));
        }
        return launchSucceeds;
    }
    void SetBusyPointer(bool busy) override { busyChanges.push_back(busy); }
    std::filesystem::path ProgramDirectory() override { return programDirectory; }
    void End(int exitStatus) override { ends.push_back(exitStatus); }

    [[nodiscard]] bool allAnswersUsed() const {
        return messageAnswers.empty() && inputReplies.empty() && fileChoices.empty();
    }

private:
    template <typename T>
    static T take(std::deque<T>& answers, const char* what) {
        if (answers.empty())
            throw std::logic_error(std::string("unexpected ") + what);
        T answer = std::move(answers.front());
        answers.pop_front();
        return answer;
    }
};

} // namespace korvalin::test
