// What the commands share: their inputs as declared, and the guards over them.
#include "CommandSupport.h"

#include "PathText.h"
#include "StandardStreams.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <system_error>

namespace korvalin {

std::vector<std::string> InputArguments(const Invocation& call) {
    const std::size_t count = call.command.positionalFiles < 0
                                  ? call.positional.size()
                                  : std::min(static_cast<std::size_t>(call.command.positionalFiles),
                                             call.positional.size());
    std::vector<std::string> inputs(call.positional.begin(),
                                    call.positional.begin() + static_cast<std::ptrdiff_t>(count));
    for (const CommandOption& option : call.command.options)
        if (option.value == OptionValue::FileRead && call.options.isSet(option.longName))
            inputs.push_back(call.options.value(option.longName));
    return inputs;
}

void RefuseReadingAStreamTwice(const Invocation& call) {
    std::map<int, std::string> seen;
    for (const std::string& input : InputArguments(call)) {
        const std::optional<int> descriptor = ArgumentDescriptor(input, Direction::Read);
        if (!descriptor)
            continue;
        const auto [first, fresh] = seen.emplace(*descriptor, input);
        if (fresh)
            continue;
        const std::string stream = *descriptor == 0 ? std::string("standard input")
                                                    : "descriptor " + std::to_string(*descriptor);
        throw UsageError("\"" + first->second + "\" and \"" + input + "\" both read " + stream +
                         ", which gives its bytes once; give a file for one of them");
    }
}

void RefuseOverwritingInputs(const Invocation& call, const std::string& target) {
    const std::filesystem::path written = ArgumentFile(target, Direction::Write);
    std::error_code error;
    // A terminal or a pipe is no file to lose, even when both streams are the one terminal.
    if (!std::filesystem::is_regular_file(written, error))
        return;
    for (const std::string& input : InputArguments(call)) {
        if (std::filesystem::equivalent(written, ArgumentFile(input, Direction::Read), error))
            throw UsageError(PathText(ArgumentName(target, Direction::Write)) + ": is the file " +
                             call.command.name + " reads; write to another file");
    }
}

std::string RequiredOutput(Invocation& call) {
    const std::string value = call.options.value("output");
    if (value.empty())
        throw UsageError(std::string(call.command.name) + " needs -o FILE");
    RefuseOverwritingInputs(call, value);
    return value;
}

} // namespace korvalin
