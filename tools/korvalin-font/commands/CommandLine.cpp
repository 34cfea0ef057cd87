// The command line: one subcommand, its options and arguments, and the help texts.
#include "CommandSupport.h"
#include "Commands.h"
#include "Escaped.h"
#include "KorvalinVersion.h"
#include "PathText.h"
#include "Utf8.h"

#include <CLI/App.hpp>
#include <CLI/Config.hpp>
#include <CLI/Formatter.hpp>
#include <algorithm>
#include <cerrno>
#include <charconv>
#include <iostream>
#include <memory>
#include <ostream>
#include <system_error>

namespace korvalin {
namespace {

constexpr std::size_t kHelpWidth = 80;

// `text` broken at blanks into lines that fit the terminal after an indent of `column`;
// each line but the first starts with that indent.
std::string wrapped(std::string_view text, std::size_t column) {
    std::string out;
    std::size_t width = 0;
    const std::size_t room = kHelpWidth - 1 - column;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find(' '), text.size());
        const std::string_view word = text.substr(0, end);
        if (width > 0 && width + 1 + word.size() > room) {
            out += "\n" + std::string(column, ' ');
            width = 0;
        } else if (width > 0) {
            out += ' ';
            ++width;
        }
        out += word;
        width += word.size();
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return out;
}

std::string optionLine(const CommandOption& option) {
    std::string names = *option.shortName ? std::string("-") + option.shortName + ", " : "";
    names += std::string("--") + option.longName;
    if (option.valueName)
        names += std::string(" ") + option.valueName;
    names.resize(std::max<std::size_t>(names.size() + 2, 24), ' ');
    return "  " + names + wrapped(option.description, names.size() + 2) + "\n";
}

constexpr std::size_t kSummaryColumn = 30;

void printHelp(std::ostream& out) {
    out << "Usage: korvalin-font COMMAND [OPTIONS] ARGUMENTS...\n"
           "Checks, shows, compiles, renders, imports, exports and compares the 5x7 font\n"
           "sets of the Korvalin calculator application.\n\nCommands:\n";
    for (const Command& command : Commands()) {
        // help2man reads a line that is too long for its column as the summary's own line.
        std::string line = std::string(command.name) + " " + command.arguments;
        if (line.size() + 2 > kSummaryColumn)
            line += "\n" + std::string(kSummaryColumn + 2, ' ');
        else
            line.resize(kSummaryColumn, ' ');
        out << "  " << line << wrapped(command.summary, kSummaryColumn + 2) << "\n";
    }
    out << "\nOptions:\n"
        << "  -h, --help              Show this help; after a command, that command's help.\n"
        << "  -V, --version           Show the version and the licence.\n"
        << "\nExit status: 0 on success, 1 when the work failed, 2 for a usage error; diff\n"
           "exits 1 when the sets differ and 2 when one cannot be read. Output that cannot\n"
           "be written (a full disk) fails the command too: 1, or 2 for diff. Messages\n"
           "name the file and the cause on standard error. A file argument of - is\n"
           "standard input, or standard output where the file is written"
#ifndef _WIN32
           "; /dev/stdout,\n/dev/stderr and /dev/fd/N are written through that descriptor"
#endif
           ".\n"
           "Run \"korvalin-font COMMAND --help\" for the options of a command and an\n"
           "example.\n";
}

void printCommandHelp(const Command& command, std::ostream& out) {
    out << "Usage: korvalin-font " << command.name << " " << command.arguments << "\n"
        << wrapped(command.summary, 0) << "\n\nExample: " << command.example << "\n\nOptions:\n";
    for (const CommandOption& option : command.options)
        out << optionLine(option);
    out << "  -h, --help              Show this help.\n";
}

int usage(std::ostream& err, const std::string& message, const char* command = nullptr) {
    err << "korvalin-font: " << OneLine(message) << "\n";
    err << "Run \"korvalin-font " << (command ? std::string(command) + " " : std::string())
        << "--help\" for the usage.\n";
    return kUsage;
}

// A stream standing for standard input, as the tests give it.
class StreamInput final : public InputStream {
public:
    explicit StreamInput(std::istream& in) : in_(in) {}
    std::size_t read(std::span<char> buffer) override {
        in_.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        const auto got = static_cast<std::size_t>(in_.gcount());
        if (in_.bad())
            throw std::system_error(EIO, std::generic_category());
        in_.clear();
        return got;
    }

private:
    std::istream& in_;
};

// CLI11's own messages, lower case like ours.
std::string parseMessage(const CLI::ParseError& error) {
    std::string message = error.what();
    if (!message.empty() && message[0] >= 'A' && message[0] <= 'Z')
        message[0] = static_cast<char>(message[0] - 'A' + 'a');
    return message;
}

} // namespace

std::filesystem::path toPath(const std::string& text) {
    return PathFromUtf8(text);
}

std::optional<int> WholeNumber(std::string_view text) {
    if (text.starts_with('+') && text.size() > 1 && text[1] != '-')
        text.remove_prefix(1);
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    return value;
}

int complain(Invocation& call, const std::string& message, int status) {
    call.err << "korvalin-font: " << OneLine(message) << "\n";
    return status;
}

std::string OneLine(std::string_view text) {
    return EscapedText(text);
}

int RunFontTool(const std::vector<std::string>& arguments, InputStream& in, std::ostream& out,
                std::ostream& err) {
    for (const std::string& argument : arguments)
        if (!IsUtf8(argument))
            return usage(err, "the argument \"" + EscapedExcerpt(argument, 60) +
                                  "\" is not valid UTF-8");
    if (arguments.empty())
        return usage(err, "no command given");
    const std::string& first = arguments.front();
    if (first == "-h" || first == "--help") {
        printHelp(out);
        return kSuccess;
    }
    if (first == "-V" || first == "--version") {
        out << "korvalin-font " << kVersion << "\nLicence: " << kLicence << "\n"
            << kCopyright << "\n";
        return kSuccess;
    }
    const auto& commands = Commands();
    const auto found = std::ranges::find(commands, first, &Command::name);
    if (found == commands.end())
        return usage(err, "\"" + first + "\" is not a command");

    // The help is our own, for its layout and for help2man; CLI11 only parses.
    CLI::App parser(found->summary, found->name);
    parser.set_help_flag();
    // On Windows CLI11 would take /x for an option, but a path may start so.
    parser.allow_windows_style_options(false);
    const CLI::Option* help = parser.add_flag("-h,--help");
    std::vector<std::pair<const CommandOption*, CLI::Option*>> options;
    for (const CommandOption& declared : found->options) {
        const std::string names =
            (*declared.shortName ? std::string("-") + declared.shortName + "," : "") + "--" +
            declared.longName;
        CLI::Option* option =
            declared.valueName ? parser.add_option(names) : parser.add_flag(names);
        if (declared.valueName)
            option->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
        options.emplace_back(&declared, option);
    }
    std::vector<std::string> positional;
    parser.add_option("arguments", positional)->expected(0, CLI::detail::expected_max_vector_size);
    std::vector<std::string> words(arguments.rbegin(), arguments.rend() - 1);
    try {
        parser.parse(words);
    } catch (const CLI::ParseError& error) {
        return usage(err, parseMessage(error), found->name);
    }
    if (help->count() > 0) {
        printCommandHelp(*found, out);
        return kSuccess;
    }
    const auto count = static_cast<int>(positional.size());
    if (count < found->minPositional || (found->maxPositional >= 0 && count > found->maxPositional))
        return usage(
            err,
            std::string(found->name) + " takes " + found->arguments +
                (count < found->minPositional ? " (too few arguments)" : " (too many arguments)"),
            found->name);
    Invocation call{*found, {}, std::move(positional), in, out, err};
    for (const auto& [declared, option] : options) {
        if (option->count() > 0)
            call.options.set(declared->longName,
                             declared->valueName ? option->as<std::string>() : "");
        else if (declared->fallback)
            call.options.set(declared->longName, declared->fallback());
    }
    try {
        RefuseReadingAStreamTwice(call);
    } catch (const UsageError& error) {
        return usage(err, error.what(), found->name);
    }
    return found->run(call);
}

int RunFontTool(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    StreamInput in(std::cin);
    return RunFontTool(arguments, in, out, err);
}

} // namespace korvalin
