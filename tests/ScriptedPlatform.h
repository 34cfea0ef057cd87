#pragma once

#include "Platform.h"

#include <deque>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <unistd.h>
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
    struct StartedLaunch {
        LaunchRequest request;
        std::string standardInput; // what the process was given to read, from its start
    };

    // Answers, taken in order; running out of them fails the test through an exception.
    std::deque<MsgBoxAnswer> messageAnswers;
    std::deque<QString> inputReplies;
    std::deque<std::optional<QString>> fileChoices;
    bool launchSucceeds = true;
    bool runLaunches = false;   // really start launched processes, to wait for them
    bool holdLaunches = false;  // start them only when release() says so
    ProcessOutcome fakeOutcome; // what a launch that is not really started reports at once

    std::vector<Message> messages;
    std::vector<std::pair<QString, QString>> inputBoxes; // prompt, title
    std::vector<FileDialogRequest> fileDialogs;
    std::vector<StartedLaunch> launches;
    std::vector<std::pair<QString, QString>> notices; // text, title
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
    std::unique_ptr<LaunchedProcess> StartProcess(const LaunchRequest& request) override {
        launches.push_back({request, contentOf(request.standardInput)});
        if (!launchSucceeds)
            throw LaunchError(request.program.string() + ": refused by the test");
        if (holdLaunches)
            return std::make_unique<HeldProcess>(
                held_.emplace_back(std::make_shared<Held>(request)));
        if (runLaunches)
            return korvalin::Launch(request);
        return std::make_unique<FakeProcess>(fakeOutcome);
    }
    void ShowNotice(const QString& text, const QString& title) override {
        notices.emplace_back(text, title);
    }
    // Really starts the held launch `index` (in the order of holding) now.
    void release(std::size_t index) { held_.at(index)->start(); }
    void SetBusyPointer(bool busy) override { busyChanges.push_back(busy); }
    std::filesystem::path ProgramDirectory() override { return programDirectory; }
    void End(int exitStatus) override { ends.push_back(exitStatus); }

    [[nodiscard]] bool allAnswersUsed() const {
        return messageAnswers.empty() && inputReplies.empty() && fileChoices.empty();
    }

private:
    // Descriptors that close with their owner.
    struct Fd {
        int fd;
        explicit Fd(int descriptor) : fd(descriptor) {}
        Fd(const Fd&) = delete;
        Fd& operator=(const Fd&) = delete;
        ~Fd() {
            if (fd >= 0)
                ::close(fd);
        }
    };

    static std::string contentOf(std::intptr_t descriptor) {
        std::string content;
        char buffer[4096];
        ssize_t got = 0;
        for (off_t at = 0; descriptor >= 0 && (got = ::pread(static_cast<int>(descriptor), buffer,
                                                             sizeof buffer, at)) > 0;
             at += got)
            content.append(buffer, static_cast<std::size_t>(got));
        return content;
    }

    // Ended from the start, with the outcome it was given.
    class FakeProcess : public LaunchedProcess {
    public:
        explicit FakeProcess(ProcessOutcome outcome) : outcome_(std::move(outcome)) {}
        std::intptr_t notifier() const override { return ready_.fd; }
        std::optional<ProcessOutcome> poll() override { return outcome_; }

    private:
        ProcessOutcome outcome_;
        Fd ready_{::eventfd(1, EFD_CLOEXEC)};
    };

    // A launch kept back with its own copy of the standard input, started on release.
    struct Held {
        LaunchRequest request;
        Fd input;
        Fd watch{::epoll_create1(EPOLL_CLOEXEC)};
        std::unique_ptr<LaunchedProcess> process;

        explicit Held(const LaunchRequest& launch)
            : request(launch),
              input(launch.standardInput < 0
                        ? -1
                        : ::fcntl(static_cast<int>(launch.standardInput), F_DUPFD_CLOEXEC, 0)) {
            request.standardInput = input.fd;
        }
        void start() {
            process = korvalin::Launch(request);
            epoll_event event{};
            event.events = EPOLLIN;
            ::epoll_ctl(watch.fd, EPOLL_CTL_ADD, static_cast<int>(process->notifier()), &event);
        }
    };

    // Quiet until its launch is released, then the started process.
    class HeldProcess : public LaunchedProcess {
    public:
        explicit HeldProcess(std::shared_ptr<Held> held) : held_(std::move(held)) {}
        std::intptr_t notifier() const override { return held_->watch.fd; }
        std::optional<ProcessOutcome> poll() override {
            return held_->process ? held_->process->poll() : std::nullopt;
        }

    private:
        std::shared_ptr<Held> held_;
    };

    std::vector<std::shared_ptr<Held>> held_;

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
