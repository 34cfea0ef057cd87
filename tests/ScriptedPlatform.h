#pragma once

#include "Platform.h"

#include <chrono>
#include <deque>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>
#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>
#endif

namespace korvalin::test {

// How long a really started process may take before the test gives up on it.
constexpr std::chrono::milliseconds kProcessLimit{10'000};

// The outcome of `process` once it has ended, without busy waiting; nothing after `limit`.
inline std::optional<ProcessOutcome> waitForEnd(LaunchedProcess& process,
                                                std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        if (auto outcome = process.poll())
            return outcome;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return std::nullopt;
#ifdef _WIN32
        ::WaitForSingleObject(reinterpret_cast<HANDLE>(process.notifier()),
                              static_cast<DWORD>(left.count()));
#else
        pollfd ended{static_cast<int>(process.notifier()), POLLIN, 0};
        ::poll(&ended, 1, static_cast<int>(left.count()));
#endif
    }
}

// A platform whose user answers from a script and whose every request is recorded.
class ScriptedPlatform : public Platform {
public:
    struct Message {
        std::string prompt;
        MsgBoxStyles style;
        std::string title;
    };
    struct StartedLaunch {
        LaunchRequest request;
        std::string standardInput; // what the process was given to read, from its start
    };

    // Answers, taken in order; running out of them fails the test through an exception.
    std::deque<MsgBoxAnswer> messageAnswers;
    std::deque<std::string> inputReplies;
    std::deque<std::optional<std::filesystem::path>> fileChoices;
    bool launchSucceeds = true;
    bool runLaunches = false;   // really start launched processes, to wait for them
    bool holdLaunches = false;  // start them only when release() says so
    ProcessOutcome fakeOutcome; // what a launch that is not really started reports

    std::vector<Message> messages;
    std::vector<std::pair<std::string, std::string>> inputBoxes; // prompt, title
    std::vector<FileDialogRequest> fileDialogs;
    std::vector<StartedLaunch> launches;
    std::vector<std::pair<std::string, std::string>> notices; // text, title
    std::filesystem::path programDirectory;

    MsgBoxAnswer MsgBox(const std::string& prompt, MsgBoxStyles style,
                        const std::string& title) override {
        messages.push_back({prompt, style, title});
        return take(messageAnswers, "message box");
    }
    std::string InputBox(const std::string& prompt, const std::string& title) override {
        inputBoxes.emplace_back(prompt, title);
        return take(inputReplies, "input box");
    }
    std::optional<std::filesystem::path> ShowFileDialog(const FileDialogRequest& request) override {
        fileDialogs.push_back(request);
        return take(fileChoices, "file dialog");
    }
    void StartProcess(const LaunchRequest& request, ProcessEnded onEnd) override {
        launches.push_back({request, contentOf(request.standardInput)});
        if (!launchSucceeds)
            throw LaunchError(request.program.string() + ": refused by the test");
        auto& watched = watched_.emplace_back(std::make_unique<Watched>(std::move(onEnd)));
        if (holdLaunches)
            watched->held = std::make_unique<Held>(request);
        else if (runLaunches)
            watched->process = korvalin::Launch(request);
    }
    void ShowNotice(const std::string& text, const std::string& title) override {
        notices.emplace_back(text, title);
    }
    std::filesystem::path ProgramDirectory() override { return programDirectory; }

    // Really starts the held launch `index` (in the order of holding) now.
    void release(std::size_t index) {
        std::size_t seen = 0;
        for (const auto& watched : watched_) {
            if (watched->held && seen++ == index) {
                watched->process = korvalin::Launch(watched->held->request);
                return;
            }
        }
        throw std::logic_error("no such held launch");
    }

    // What the event loop does later: each launch ends, the real ones once their process
    // has, and the editor is told. Throws when a process outlives kProcessLimit.
    void finishLaunches() {
        auto ending = std::move(watched_);
        watched_.clear();
        for (const auto& watched : ending) {
            if (watched->held && !watched->process)
                throw std::logic_error("a held launch was never released");
            std::optional<ProcessOutcome> outcome = fakeOutcome;
            if (watched->process)
                outcome = waitForEnd(*watched->process, kProcessLimit);
            if (!outcome)
                throw std::runtime_error("a started process did not end in time");
            watched->onEnd(*outcome);
        }
    }

    [[nodiscard]] bool allAnswersUsed() const {
        return messageAnswers.empty() && inputReplies.empty() && fileChoices.empty();
    }

private:
    static std::string contentOf([[maybe_unused]] std::intptr_t descriptor) {
        std::string content;
#ifndef _WIN32
        char buffer[4096];
        ssize_t got = 0;
        for (off_t at = 0; descriptor >= 0 && (got = ::pread(static_cast<int>(descriptor), buffer,
                                                             sizeof buffer, at)) > 0;
             at += got)
            content.append(buffer, static_cast<std::size_t>(got));
#endif
        return content;
    }

    // A launch kept back with its own copy of the standard input, started on release.
    struct Held {
        LaunchRequest request;
        explicit Held(const LaunchRequest& launch) : request(launch) {
#ifndef _WIN32
            if (launch.standardInput >= 0)
                request.standardInput =
                    ::fcntl(static_cast<int>(launch.standardInput), F_DUPFD_CLOEXEC, 0);
#endif
        }
        Held(const Held&) = delete;
        Held& operator=(const Held&) = delete;
        ~Held() {
#ifndef _WIN32
            if (request.standardInput >= 0)
                ::close(static_cast<int>(request.standardInput));
#endif
        }
    };

    struct Watched {
        explicit Watched(ProcessEnded ended) : onEnd(std::move(ended)) {}
        ProcessEnded onEnd;
        std::unique_ptr<Held> held;
        std::unique_ptr<LaunchedProcess> process; // none: a fake that ends with fakeOutcome
    };
    std::vector<std::unique_ptr<Watched>> watched_;

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
