#include "Launch.h"

#include "TempDir.h"

#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

namespace korvalin {
namespace {

using test::TempDir;

// A pipe whose ends close with it.
struct Pipe {
    int read = -1;
    int write = -1;
    Pipe() {
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) != 0)
            throw std::runtime_error("no pipe");
        read = ends[0];
        write = ends[1];
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;
    ~Pipe() {
        closeWrite();
        ::close(read);
    }
    void closeWrite() {
        if (write >= 0)
            ::close(write);
        write = -1;
    }
};

LaunchRequest shell(std::string script, const std::filesystem::path& folder = {}) {
    LaunchRequest request;
    request.program = "/bin/sh";
    request.arguments = {"-c", std::move(script)};
    request.workingDirectory = folder;
    request.captureErrorOutput = true;
    return request;
}

// Waits on the notifier, as an event loop would, until the process has ended.
ProcessOutcome waitFor(LaunchedProcess& process) {
    for (;;) {
        if (const auto outcome = process.poll())
            return *outcome;
        pollfd watch{static_cast<int>(process.notifier()), POLLIN, 0};
        if (::poll(&watch, 1, 10'000) == 0)
            throw std::runtime_error("the process did not end within 10 s");
    }
}

ProcessOutcome run(const LaunchRequest& request) {
    return waitFor(*Launch(request));
}

struct Ending {
    const char* script;
    int exitStatus;
    std::string lastErrorLine;
    bool editorIgnoresSigpipe = false;
};

class LaunchEndings : public testing::TestWithParam<Ending> {};

TEST_P(LaunchEndings, GiveTheStatusAndTheLastLineOfTheErrorOutput) {
    // What the editor's event loop ignores, the process it starts still dies of.
    const auto previous = ::signal(SIGPIPE, GetParam().editorIgnoresSigpipe ? SIG_IGN : SIG_DFL);
    const ProcessOutcome outcome = run(shell(GetParam().script));
    ::signal(SIGPIPE, previous);
    EXPECT_EQ(outcome.exitStatus, GetParam().exitStatus);
    EXPECT_EQ(outcome.lastErrorLine, GetParam().lastErrorLine);
    EXPECT_EQ(outcome.succeeded(), GetParam().exitStatus == 0);
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, LaunchEndings,
    testing::Values(
        Ending{"true", 0, ""},
        Ending{"echo one >&2; echo 'the last one' >&2; exit 3", 3, "the last one"},
        Ending{"echo 'ends in a blank line' >&2; echo >&2; exit 1", 1, "ends in a blank line"},
        Ending{"printf 'no line end' >&2", 0, "no line end"},
        Ending{"printf 'windows line\\r\\n' >&2; exit 2", 2, "windows line"},
        Ending{"head -c 300000 /dev/zero | tr '\\0' x >&2; echo >&2; echo last >&2", 0, "last"},
        Ending{"head -c 4097 /dev/zero | tr '\\0' x >&2; echo >&2", 0, std::string(4096, 'x')},
        Ending{"kill -TERM $$", 128 + 15, ""}, Ending{"kill -PIPE $$", 128 + SIGPIPE, "", true}));

TEST(Launch, RunsInTheWorkingDirectoryWithItsArguments) {
    const TempDir base;
    const auto folder = base / "a folder ä";
    std::filesystem::create_directory(folder);
    LaunchRequest request = shell("echo \"$(pwd) $1|$2\" >&2", folder);
    request.arguments.insert(request.arguments.end(), {"sh", "one argument", "*"});
    EXPECT_EQ(run(request).lastErrorLine, folder.string() + " one argument|*");
}

TEST(Launch, ReadsTheGivenStandardInput) {
    Pipe input;
    const std::string script = "echo \"from the pipe\" >&2\nexit 4\n";
    ASSERT_EQ(::write(input.write, script.data(), script.size()),
              static_cast<ssize_t>(script.size()));
    input.closeWrite();
    LaunchRequest request = shell("");
    request.arguments = {"-s"};
    request.standardInput = input.read;
    const ProcessOutcome outcome = run(request);
    EXPECT_EQ(outcome.exitStatus, 4);
    EXPECT_EQ(outcome.lastErrorLine, "from the pipe");
}

TEST(Launch, NeverWaitsForARunningProcess) {
    Pipe input;
    LaunchRequest request = shell("read line; echo \"got $line\" >&2");
    request.standardInput = input.read;
    const auto process = Launch(request);
    EXPECT_FALSE(process->poll().has_value());
    pollfd watch{static_cast<int>(process->notifier()), POLLIN, 0};
    EXPECT_EQ(::poll(&watch, 1, 0), 0) << "nothing to report while it waits";

    ASSERT_EQ(::write(input.write, "go\n", 3), 3);
    const ProcessOutcome outcome = waitFor(*process);
    EXPECT_EQ(outcome.lastErrorLine, "got go");
    EXPECT_EQ(process->poll()->lastErrorLine, "got go") << "the outcome stays";
    EXPECT_EQ(::poll(&watch, 1, 0), 0) << "an ended process no longer wakes the watcher";

    // Letting go of one that still runs does not wait for it.
    Pipe held;
    request.standardInput = held.read;
    Launch(request).reset();
}

TEST(Launch, LeavesNoDescriptorOfItsOwnToOtherProcesses) {
    const LaunchRequest count =
        shell("n=0; for f in /proc/$$/fd/*; do n=$((n+1)); done; echo $n >&2");
    const std::string alone = run(count).lastErrorLine;
    Pipe input;
    LaunchRequest waiting = shell("read line");
    waiting.standardInput = input.read;
    const auto running = Launch(waiting);
    EXPECT_EQ(run(count).lastErrorLine, alone);
}

// What Launch says when it refuses, or nothing when the process started.
std::string refusalOf(const LaunchRequest& request) {
    try {
        (void)Launch(request);
        return {};
    } catch (const LaunchError& error) {
        return error.what();
    }
}

TEST(Launch, FailuresNameTheProgramAndTheCause) {
    const TempDir folder;
    const std::string missing = std::generic_category().message(ENOENT);
    LaunchRequest absent;
    absent.program = folder / "no-such-program";
    EXPECT_EQ(refusalOf(absent), absent.program.string() + ": " + missing);
    EXPECT_EQ(refusalOf(shell("true", folder / "no-such-folder")),
              "/bin/sh: cannot enter " + (folder / "no-such-folder").string() + ": " + missing);
}

} // namespace
} // namespace korvalin
