#pragma once

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace korvalin::test {

// A running save_loop child with its "ready" byte on a pipe. A child still running when the
// object goes (a failed check) is killed and reaped, so no test leaves one behind.
class SaveLoopProcess {
public:
    SaveLoopProcess(const std::filesystem::path& program, const std::filesystem::path& target) {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0)
            throw std::runtime_error(std::string("pipe2: ") + std::strerror(errno));
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        std::string programText = program.string();
        std::string targetText = target.string();
        char* argv[] = {programText.data(), targetText.data(), nullptr};
        const int error =
            ::posix_spawn(&pid_, programText.c_str(), &actions, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        readEnd_ = fds[0];
        if (error != 0) {
            pid_ = -1;
            throw std::runtime_error("cannot start " + programText + ": " + std::strerror(error));
        }
    }
    SaveLoopProcess(const SaveLoopProcess&) = delete;
    SaveLoopProcess& operator=(const SaveLoopProcess&) = delete;
    ~SaveLoopProcess() {
        if (pid_ > 0)
            killAndReap();
        ::close(readEnd_);
    }

    // True once the child has saved its first set whole; false if it ended or timed out.
    bool waitUntilReady(std::chrono::milliseconds timeout) {
        pollfd ready{readEnd_, POLLIN, 0};
        int polled;
        do
            polled = ::poll(&ready, 1, static_cast<int>(timeout.count()));
        while (polled < 0 && errno == EINTR);
        char byte = 0;
        return polled == 1 && ::read(readEnd_, &byte, 1) == 1;
    }

    // Sends SIGKILL and returns the child's wait status.
    int killAndReap() {
        ::kill(pid_, SIGKILL);
        int status = 0;
        while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
        pid_ = -1;
        return status;
    }

private:
    pid_t pid_ = -1;
    int readEnd_ = -1;
};

} // namespace korvalin::test
