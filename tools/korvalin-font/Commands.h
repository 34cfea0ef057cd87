#pragma once

#include <QCommandLineOption>
#include <QString>
#include <QStringList>
#include <filesystem>
#include <iosfwd>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class QCommandLineParser;

namespace korvalin {

// The exit statuses every command shares.
enum ExitStatus : int { kSuccess = 0, kFailure = 1, kUsage = 2 };

// One subcommand: what its help shows and the function that does the work.
struct Invocation;
struct Command {
    const char* name;
    const char* arguments; // as the usage line shows them
    const char* summary;
    int minPositional;
    int maxPositional; // -1 for any number
    std::vector<QCommandLineOption> options;
    int (*run)(Invocation&);
};

// What a command's run function works with: its parsed options and the two streams.
struct Invocation {
    const Command& command;
    QCommandLineParser& parser;
    QStringList positional;
    std::ostream& out;
    std::ostream& err;
};

// The program's commands in the order the help lists them.
[[nodiscard]] const std::vector<Command>& Commands();

// `korvalin-font ARGUMENTS...` (without the program's own name); returns the exit status.
int RunFontTool(const QStringList& arguments, std::ostream& out, std::ostream& err);
// The same from the bytes of the command line, which must be UTF-8: a stray byte would turn
// into U+FFFD and name a different file or character than the one typed.
int RunFontTool(std::span<char* const> arguments, std::ostream& out, std::ostream& err);

// Helpers for the commands.
[[nodiscard]] std::filesystem::path toPath(const QString& text);
// Prints "korvalin-font: MESSAGE" on the error stream and returns `status`.
int complain(Invocation& call, const std::string& message, int status);
// `text` with its control characters as \xNN, so that a message stays on its one line
// whatever the names in it hold.
[[nodiscard]] std::string OneLine(std::string_view text);

int RunCheck(Invocation& call);
int RunShow(Invocation& call);
int RunDiff(Invocation& call);
int RunCompile(Invocation& call);
int RunRender(Invocation& call);
int RunScreen(Invocation& call);
int RunImport(Invocation& call);
int RunExport(Invocation& call);

} // namespace korvalin
