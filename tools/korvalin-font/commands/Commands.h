#pragma once

#include <cstddef>
#include <filesystem>
#include <iosfwd>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace korvalin {

// The exit statuses every command shares.
enum ExitStatus : int { kSuccess = 0, kFailure = 1, kUsage = 2 };

// What an option's value is to the guard over the files a command reads.
enum class OptionValue { Text, FileRead };

// One option of a command, as its help shows it.
struct CommandOption {
    const char* shortName; // "" for none
    const char* longName;
    const char* description;
    const char* valueName; // nullptr for a flag
    OptionValue value = OptionValue::Text;
    // The value taken when the option is not given, or nullptr for none: a file read by
    // default is an input like any other.
    std::string (*fallback)() = nullptr;
};

// One subcommand: what its help shows and the function that does the work.
struct Invocation;
struct Command {
    const char* name;
    const char* arguments; // as the usage line shows them
    const char* summary;
    int minPositional;
    int maxPositional;   // -1 for any number
    int positionalFiles; // how many leading arguments name files read, -1 for all
    std::vector<CommandOption> options;
    int (*run)(Invocation&);
    const char* example; // one command line, as the help shows it
};

// The options given, by their long names: a flag's value is empty; of an option given
// twice, the last value counts.
class GivenOptions {
public:
    [[nodiscard]] bool isSet(std::string_view name) const { return values_.contains(name); }
    [[nodiscard]] std::string value(std::string_view name) const {
        const auto found = values_.find(name);
        return found == values_.end() ? std::string() : found->second;
    }
    void set(std::string name, std::string value) { values_[std::move(name)] = std::move(value); }

private:
    std::map<std::string, std::string, std::less<>> values_;
};

// Where `-` reads from: the process's standard input, or the bytes a test gives. read()
// fills `buffer` as far as it can and returns how much, 0 at the end; it throws
// std::system_error when the input cannot be read.
class InputStream {
public:
    virtual ~InputStream() = default;
    [[nodiscard]] virtual std::size_t read(std::span<char> buffer) = 0;
};

// What a command's run function works with: its parsed options and the three streams.
struct Invocation {
    const Command& command;
    GivenOptions options;
    std::vector<std::string> positional;
    InputStream& in;
    std::ostream& out;
    std::ostream& err;
};

// The program's commands in the order the help lists them.
[[nodiscard]] const std::vector<Command>& Commands();

// `korvalin-font ARGUMENTS...` (without the program's own name), each argument UTF-8: a
// stray byte would name a different file or character than the one typed. Returns the
// exit status.
int RunFontTool(const std::vector<std::string>& arguments, InputStream& in, std::ostream& out,
                std::ostream& err);
// The same with std::cin for standard input, as tests run the tool in process.
int RunFontTool(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

// Helpers for the commands.
[[nodiscard]] std::filesystem::path toPath(const std::string& text);
// A whole number in decimal, signed or not, and nothing else.
[[nodiscard]] std::optional<int> WholeNumber(std::string_view text);
// Prints "korvalin-font: MESSAGE" on the error stream and returns `status`.
int complain(Invocation& call, const std::string& message, int status);
// `text` escaped by the program's one rule (EscapedText), so that a message stays on its
// one line whatever the names in it hold.
[[nodiscard]] std::string OneLine(std::string_view text);

int RunCheck(Invocation& call);
int RunShow(Invocation& call);
int RunDiff(Invocation& call);
int RunCompile(Invocation& call);
int RunRender(Invocation& call);
int RunScreen(Invocation& call);
int RunImport(Invocation& call);
int RunPreview(Invocation& call);
int RunExport(Invocation& call);

} // namespace korvalin
