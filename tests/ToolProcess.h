#pragma once

// The real korvalin-font as a child process, with its standard output where a test puts it.
#include "Argv.h"
#include "TempDir.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace korvalin::test {

enum class Stdout { Null, Full, Closed, BrokenPipe };

struct ProcessRun {
    int status; // the exit status, or -1 when a signal ended it
    int signal; // the signal that ended it, or 0
    std::string err;
};

// Runs `program ARGUMENTS...`; its standard error goes to `errorFile`, read back after; its
// standard input comes from `input`.
inline ProcessRun runProcess(const std::filesystem::path& program,
                             const std::vector<std::string>& arguments, Stdout out,
                             const std::filesystem::path& errorFile,
                             const std::filesystem::path& input = "/dev/null") {
    std::vector<std::string> words{program.string()};
    words.insert(words.end(), arguments.begin(), arguments.end());
    Argv argv(std::move(words));

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const std::string inputPath = input.string();
    posix_spawn_file_actions_addopen(&actions, 0, inputPath.c_str(), O_RDONLY, 0);
    int pipeEnds[2] = {-1, -1};
    switch (out) {
    case Stdout::Null:
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        break;
    case Stdout::Full:
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/full", O_WRONLY, 0);
        break;
    case Stdout::Closed:
        posix_spawn_file_actions_addclose(&actions, 1);
        break;
    case Stdout::BrokenPipe:
        // Nobody reads: the read end is gone before the child starts.
        if (pipe2(pipeEnds, O_CLOEXEC) != 0)
            throw std::runtime_error("no pipe");
        close(pipeEnds[0]);
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 1);
        break;
    }
    const std::string errorPath = errorFile.string();
    posix_spawn_file_actions_addopen(&actions, 2, errorPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    // The child gets SIGPIPE's default whatever the test runner set.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);

    pid_t child = 0;
    const int spawned =
        posix_spawn(&child, argv.program().c_str(), &actions, &attributes, argv.get(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (pipeEnds[1] >= 0)
        close(pipeEnds[1]);
    if (spawned != 0)
        throw std::runtime_error("cannot start " + argv.program());
    int wait = 0;
    while (waitpid(child, &wait, 0) < 0 && errno == EINTR) {
    }
    return {WIFEXITED(wait) ? WEXITSTATUS(wait) : -1, WIFSIGNALED(wait) ? WTERMSIG(wait) : 0,
            readFile(errorFile)};
}

} // namespace korvalin::test
