// Treats the input as a reply to the name prompt: the cut, the name rule and both scripts.

#include "FuzzCheck.h"
#include "NameRule.h"
#include "PackagingScript.h"
#include "ProgramName.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <stdexcept>
#include <string>
#include <string_view>

namespace korvalin {
namespace {

using fuzz::followsNameRule;

bool startsCodePoint(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
}

std::size_t codePoints(std::string_view text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), startsCodePoint));
}

// The scripts as fixed text around the name: any other character in them is a fault.
std::string expectedScript(const std::string& name, ScriptKind kind) {
    if (kind == ScriptKind::Batch)
        return "@echo off\r\nprgforge " + name + "\r\nset status=%errorlevel%\r\ndel " + name +
               ".bin\r\nexit /b %status%\r\n";
    return "#!/bin/sh\ntrap '' PIPE\ncase $0 in */temp.sh) cd \"${0%/*}\" || exit 1 ;; "
           "esac\n./prgforge " +
           name + "\nstatus=$?\nrm -f " + name + ".bin\nexit $status\n";
}

void checkScripts(const std::string& name) {
    const bool good = followsNameRule(name);
    Check(good == ProgramNameProblem(name).empty(),
          "ProgramNameProblem disagrees with the name rule");
    for (const ScriptKind kind : {ScriptKind::Batch, ScriptKind::Posix}) {
        try {
            const std::string script = PackagingScript(name, kind);
            Check(good, "PackagingScript took a name the rule refuses");
            Check(script == expectedScript(name, kind), "the script differs from its template");
        } catch (const std::invalid_argument& error) {
            Check(!good, "PackagingScript refused a good name");
            Check(*error.what() != '\0', "the refusal gives no reason");
        } catch (const std::exception& error) {
            Check(false, std::string("PackagingScript threw something other than "
                                     "std::invalid_argument: ") +
                             error.what());
        }
    }
}

} // namespace
} // namespace korvalin

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace korvalin;
    const std::string reply(reinterpret_cast<const char*>(data), size);
    const std::string name = CutProgramName(reply);
    Check(reply.starts_with(name), "the cut name is not a prefix of the reply");
    Check(codePoints(name) <= kMaxProgramNameLength, "the cut name has more than 8 characters");
    if (name.size() < reply.size())
        Check(codePoints(name) == kMaxProgramNameLength && startsCodePoint(reply[name.size()]),
              "the cut ends early or inside a character");
    checkScripts(name);
    // The whole reply too, since the rule must hold for names of any length.
    checkScripts(reply);
    return 0;
}
