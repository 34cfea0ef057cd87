// What the writing commands share: the output argument and its guard.
#include "CommandSupport.h"

#include "StandardStreams.h"

#include <filesystem>
#include <system_error>

namespace korvalin {

void RefuseOverwritingInputs(const Invocation& call, const std::string& target,
                             std::initializer_list<std::string> inputs) {
    const std::filesystem::path written = ArgumentFile(target, true);
    std::error_code error;
    // A terminal or a pipe is no file to lose, even when both streams are the one terminal.
    if (!std::filesystem::is_regular_file(written, error))
        return;
    for (const std::string& input : inputs) {
        if (std::filesystem::equivalent(written, ArgumentFile(input, false), error))
            throw UsageError((IsStandardStream(target) ? std::string("standard output")
                                                       : toPath(target).string()) +
                             ": is the file " + call.command.name +
                             " reads; write to another file");
    }
}

std::string RequiredOutput(Invocation& call, std::initializer_list<std::string> inputs) {
    const std::string value = call.options.value("output");
    if (value.empty())
        throw UsageError(std::string(call.command.name) + " needs -o FILE");
    RefuseOverwritingInputs(call, value, inputs);
    return value;
}

} // namespace korvalin
