#pragma once

#include "ToolProcess.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <signal.h>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace korvalin::test {

// A running save_loop child with its "ready" byte on a pipe. A child still running when the
// object goes (a failed check) is killed and reaped, so no test leaves one behind.
class SaveLoopProcess {
public:
    SaveLoopProcess(const std::filesystem::path& program, const std::filesystem::path& target) {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0)
            throw std::runtime_error(std::string("pipe2: ") + std::strerror(errno));
        readEnd_ = fds[0];
        try {
            pid_ = start({.program = program,
                          .arguments = {target.string()},
                          .out = {Stdout::Descriptor, {}, fds[1]}});
        } catch (...) {
            ::close(fds[0]);
            ::close(fds[1]);
            throw;
        }
        ::close(fds[1]);
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
