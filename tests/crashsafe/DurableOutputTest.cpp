// Every file our programs replace must survive a power cut once they report success: the
// bytes are flushed before the rename makes them the file, and the folder after it. Nor may
// anyone read the new bytes whom the finished file would refuse: the temporary is created
// no wider. The calls are seen through a preloaded shim, since no file system here can be
// made to lose power.
#include "TempDir.h"
#include "ToolProcess.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace korvalin {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::TempDir;
using test::writeFile;

struct Call {
    std::string what;
    std::string path;
    std::string to; // where a rename puts it; the mode a file is created with
};

std::vector<Call> readLog(const fs::path& log) {
    std::vector<Call> calls;
    std::istringstream lines(readFile(log));
    for (std::string line; std::getline(lines, line);) {
        const std::size_t blank = line.find(' ');
        const std::size_t tab = line.find('\t');
        Call call{line.substr(0, blank), line.substr(blank + 1), {}};
        if (tab != std::string::npos) {
            call.path = line.substr(blank + 1, tab - blank - 1);
            call.to = line.substr(tab + 1);
        }
        calls.push_back(call);
    }
    return calls;
}

// Runs `arguments` in `folder` with the shim preloaded; returns the exit status.
int runLogged(const std::vector<std::string>& arguments, const fs::path& folder,
              const fs::path& log, bool withShim) {
    std::vector<std::string> shim;
    if (withShim)
        // The sanitizers' runtime wants to come first; the shim only watches.
        shim = {"LD_PRELOAD=" SYSCALL_LOG_SHIM_PATH, "KORVALIN_SYSCALL_LOG=" + log.string(),
                "KORVALIN_SYSCALL_WATCH=" + folder.string(),
                "ASAN_OPTIONS=verify_asan_link_order=0"};
    return test::run({.program = arguments.front(),
                      .arguments = {arguments.begin() + 1, arguments.end()},
                      .folder = folder,
                      .environment = test::environmentWith(shim)})
        .status;
}

struct DurableOutput {
    const char* name;
    std::vector<std::string> prepare; // run first, without the shim; empty for nothing
    std::vector<std::string> arguments;
    const char* target; // in the folder
};

class DurableOutputs : public testing::TestWithParam<DurableOutput> {};

TEST_P(DurableOutputs, AreFlushedBeforeTheRenameAndTheFolderAfterIt) {
    const DurableOutput& output = GetParam();
    const TempDir scratch;
    const fs::path folder = fs::canonical(scratch.path()) / "work";
    fs::create_directory(folder);
    fs::copy_file(DEFAULT_SET_PATH, folder / "set.8xfont");
    writeFile(folder / "FONT1.bin", std::string("\xBB\x6D\xC9", 3));
    const fs::path log = scratch / "calls.log";
    if (!output.prepare.empty()) {
        ASSERT_EQ(runLogged(output.prepare, folder, log, false), 0);
    }
    ASSERT_EQ(runLogged(output.arguments, folder, log, true), 0);

    const std::vector<Call> calls = readLog(log);
    std::string seen;
    for (const Call& call : calls)
        seen += call.what + " " + call.path + (call.to.empty() ? "" : " -> " + call.to) + "\n";
    const fs::path target = folder / output.target;
    const auto rename = std::find_if(calls.begin(), calls.end(), [&](const Call& call) {
        return call.what == "rename" && call.to == target.string();
    });
    ASSERT_NE(rename, calls.end()) << "no rename onto " << target << ":\n" << seen;
    const std::string temporary = rename->path;
    const auto lastWrite =
        std::find_if(std::make_reverse_iterator(rename), calls.rend(), [&](const Call& call) {
            return call.what == "write" && call.path == temporary;
        });
    ASSERT_NE(lastWrite, calls.rend()) << "nothing written before the rename:\n" << seen;
    const auto flushed = std::find_if(lastWrite.base(), rename, [&](const Call& call) {
        return call.what == "fsync" && call.path == temporary;
    });
    EXPECT_NE(flushed, rename) << "the file is not flushed between its last write and the "
                                  "rename:\n"
                               << seen;
    EXPECT_TRUE(std::any_of(
        rename + 1, calls.end(),
        [&](const Call& call) { return call.what == "fsync" && call.path == folder.string(); }))
        << "the folder is not flushed after the rename:\n"
        << seen;

    const auto created = std::find_if(calls.begin(), rename, [&](const Call& call) {
        return call.what == "create" && call.path == temporary;
    });
    ASSERT_NE(created, rename) << "the temporary was not created:\n" << seen;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    const auto createdMode = static_cast<mode_t>(std::stoul(created->to, nullptr, 8)) & ~mask;
    const auto finalMode = static_cast<mode_t>(fs::status(target).permissions());
    EXPECT_EQ(createdMode & ~finalMode & 0777, 0u)
        << "the temporary was created " << created->to << ", wider than the file's 0" << std::oct
        << finalMode << ":\n"
        << seen;
}

std::vector<DurableOutput> durableOutputs() {
    std::vector<DurableOutput> outputs = {
        {"EditorSave", {}, {SAVE_LOOP_PATH, "saved.8xfont", "once"}, "saved.8xfont"},
        {"EditorSaveOverAPrivateSet",
         {"/bin/chmod", "600", "set.8xfont"},
         {SAVE_LOOP_PATH, "set.8xfont", "once"},
         "set.8xfont"},
        {"Packer", {}, {PRGFORGE_PATH, "FONT1"}, "FONT1.8xp"},
    };
#ifdef KORVALIN_FONT_PATH
    const std::string tool = KORVALIN_FONT_PATH;
    const std::vector<DurableOutput> toolOutputs = {
        {"ToolCompile", {}, {tool, "compile", "set.8xfont", "FONT2"}, "FONT2.8xp"},
        {"ToolRender", {}, {tool, "render", "set.8xfont", "-o", "sheet.png"}, "sheet.png"},
        {"ToolScreen",
         {},
         {tool, "screen", "set.8xfont", "--text", "HI", "-o", "screen.png"},
         "screen.png"},
        {"ToolExport", {}, {tool, "export", "set.8xfont", "-o", "font.bdf"}, "font.bdf"},
        {"ToolImport",
         {tool, "export", "set.8xfont", "-o", "font.psf"},
         {tool, "import", "font.psf", "--base", "set.8xfont", "-o", "imported.8xfont"},
         "imported.8xfont"},
    };
    outputs.insert(outputs.end(), toolOutputs.begin(), toolOutputs.end());
#endif
    return outputs;
}

INSTANTIATE_TEST_SUITE_P(Programs, DurableOutputs, testing::ValuesIn(durableOutputs()),
                         [](const testing::TestParamInfo<DurableOutput>& param) {
                             return std::string(param.param.name);
                         });

} // namespace
} // namespace korvalin
