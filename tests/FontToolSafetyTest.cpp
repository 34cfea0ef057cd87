// What the tool must never do to the user's files: write onto what it reads, write a set
// that holds nothing of its source, or write a program under a name it was not given.
#include "Bdf.h"
#include "FontSetFile.h"
#include "FontToolSupport.h"
#include "TempDir.h"
#include "ToolProcess.h"

#include <map>

namespace korvalin {
namespace {

using test::q;
using test::TempDir;

namespace fs = std::filesystem;

// Every file in `folder` with its bytes; a link shows as where it points.
using Snapshot = std::map<std::string, std::string>;
Snapshot snapshot(const fs::path& folder) {
    Snapshot files;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        files[entry.path().filename().string()] =
            entry.is_symlink() ? "link to " + fs::read_symlink(entry.path()).string()
                               : test::readFile(entry.path());
    return files;
}

// The names of the files that came, went or changed, for a message short enough to read.
std::vector<std::string> changes(const Snapshot& before, const Snapshot& after) {
    std::vector<std::string> names;
    for (const auto& [name, bytes] : before)
        if (!after.contains(name) || after.at(name) != bytes)
            names.push_back(name);
    for (const auto& [name, bytes] : after)
        if (!before.contains(name))
            names.push_back(name);
    return names;
}

// Descriptors open on files of the scratch folder, for the /proc/self/fd names.
class OpenFiles {
public:
    OpenFiles() = default;
    OpenFiles(const OpenFiles&) = delete;
    OpenFiles& operator=(const OpenFiles&) = delete;
    ~OpenFiles() {
        for (const int descriptor : descriptors_)
            close(descriptor);
    }
    std::string procName(const fs::path& file) {
        const int descriptor = open(file.c_str(), O_RDONLY); // inherited by a child
        if (descriptor < 0)
            throw std::runtime_error("cannot open " + file.string());
        descriptors_.push_back(descriptor);
        return "/proc/self/fd/" + std::to_string(descriptor);
    }

private:
    std::vector<int> descriptors_;
};

// "@" stands for the scratch folder, "^NAME" for /proc/self/fd/N open on its file NAME.
std::vector<std::string> expand(const std::vector<std::string>& words, const TempDir& dir,
                                OpenFiles& open) {
    std::vector<std::string> out;
    for (std::string word : words) {
        if (word.starts_with('^')) {
            out.push_back(open.procName(dir / word.substr(1)));
            continue;
        }
        for (std::size_t at = word.find('@'); at != std::string::npos; at = word.find('@', at))
            word.replace(at, 1, dir.path().string());
        out.push_back(word);
    }
    return out;
}

enum class Alias { SamePath, Symlink, HardLink, ProcFd };

struct OverwriteCase {
    std::string name;
    std::string command;
    std::vector<std::string> arguments;
    bool child; // the binary, copied beside @/default.8xfont, which import reads without -b
};

class OutputOntoInput : public testing::TestWithParam<OverwriteCase> {};

TEST_P(OutputOntoInput, IsRefusedAndTheInputStaysAsItWas) {
    TempDir dir;
    FontSet table;
    ReadFontSetFile(DEFAULT_SET, table);
    for (const char* copy : {"set.8xfont", "default.8xfont", "Same.8xp", "Fd.8xp"})
        fs::copy_file(DEFAULT_SET, dir / copy);
    test::writeFile(dir / "font.bdf", WriteBdf(table));
    test::writeFile(dir / "text.txt", "HELLO\n");
    for (const char* file : {"set.8xfont", "default.8xfont", "font.bdf", "text.txt"}) {
        fs::create_symlink(file, dir / (std::string("sym-") + file));
        fs::create_hard_link(dir / file, dir / (std::string("hard-") + file));
    }
    fs::create_symlink("set.8xfont", dir / "Sym.8xp");
    fs::create_hard_link(dir / "set.8xfont", dir / "Hard.8xp");
    if (GetParam().child)
        fs::copy_file(KORVALIN_FONT_PATH, dir / "korvalin-font");
    const auto before = snapshot(dir.path());

    OpenFiles open;
    const std::vector<std::string> arguments = expand(GetParam().arguments, dir, open);
    int status = 0;
    std::string err;
    if (GetParam().child) {
        const test::ProcessRun run = test::runProcess(dir / "korvalin-font", arguments,
                                                      test::Stdout::Null, dir / "korvalin.err");
        fs::remove(dir / "korvalin.err");
        status = run.status;
        err = run.err;
    } else {
        const test::ToolRun run = test::runTool(arguments);
        status = run.status;
        err = run.err;
    }
    EXPECT_EQ(status, 2) << err;
    EXPECT_NE(err.find(": is the file " + GetParam().command + " reads; write to another file"),
              std::string::npos)
        << err;
    EXPECT_EQ(changes(before, snapshot(dir.path())), std::vector<std::string>{});
}

std::vector<OverwriteCase> overwriteCases() {
    std::vector<OverwriteCase> cases = {
        {"CompileSamePath", "compile", {"compile", "@/Same.8xp", "Same", "-o", "@"}, false},
        {"CompileSymlink", "compile", {"compile", "@/set.8xfont", "Sym", "-o", "@"}, false},
        {"CompileHardLink", "compile", {"compile", "@/set.8xfont", "Hard", "-o", "@"}, false},
        {"CompileProcFd", "compile", {"compile", "^Fd.8xp", "Fd", "-o", "@"}, false},
    };
    // Each writer with OUT for its -o, and the file OUT is made to alias.
    struct Writer {
        const char* name;
        std::vector<std::string> arguments;
        std::string aliased;
        bool child;
    };
    const Writer writers[] = {
        {"Render", {"render", "@/set.8xfont", "-o", "OUT"}, "set.8xfont", false},
        {"Screen", {"screen", "@/set.8xfont", "-t", "A", "-o", "OUT"}, "set.8xfont", false},
        {"ScreenTextFile",
         {"screen", "@/set.8xfont", "--text-file", "@/text.txt", "-o", "OUT"},
         "text.txt",
         false},
        {"Export", {"export", "@/set.8xfont", "-o", "OUT"}, "set.8xfont", false},
        {"ImportSource",
         {"import", "@/font.bdf", "-b", "@/set.8xfont", "-o", "OUT"},
         "font.bdf",
         false},
        {"ImportBase",
         {"import", "@/font.bdf", "-b", "@/set.8xfont", "-o", "OUT"},
         "set.8xfont",
         false},
        {"ImportDefaultBase", {"import", "@/font.bdf", "-o", "OUT"}, "default.8xfont", true},
    };
    const std::pair<const char*, std::string> aliases[] = {
        {"SamePath", "@/"}, {"Symlink", "@/sym-"}, {"HardLink", "@/hard-"}, {"ProcFd", "^"}};
    for (const Writer& writer : writers) {
        for (const auto& [kind, prefix] : aliases) {
            OverwriteCase row{std::string(writer.name) + kind, writer.arguments.front(),
                              writer.arguments, writer.child};
            for (std::string& word : row.arguments)
                if (word == "OUT")
                    word = prefix + writer.aliased;
            cases.push_back(row);
        }
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Tool, OutputOntoInput, testing::ValuesIn(overwriteCases()),
                         [](const auto& row) { return row.param.name; });

struct EmptyFontCase {
    const char* name;
    const char* file;
    std::string bytes;
    bool outputExists;
};

class ImportOfNothing : public testing::TestWithParam<EmptyFontCase> {};

TEST_P(ImportOfNothing, FailsAndWritesNothing) {
    TempDir dir;
    test::writeFile(dir / GetParam().file, GetParam().bytes);
    if (GetParam().outputExists)
        fs::copy_file(DEFAULT_SET, dir / "out.8xfont");
    const auto before = snapshot(dir.path());
    const test::ToolRun run = test::runTool(
        {"import", q(dir / GetParam().file), "-o", q(dir / "out.8xfont"), "-b", DEFAULT_SET});
    EXPECT_EQ(run.status, 1) << run.out;
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find(std::string(GetParam().file) +
                           ": no glyph that the charmap maps could be read"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(changes(before, snapshot(dir.path())), std::vector<std::string>{});
}

// A BDF whose one glyph is a code point no calculator code stands for.
const std::string kUnmappedBdf = "STARTFONT 2.1\nFONT -x-none-medium-r-normal--7-70-75-75-c-50-"
                                 "iso10646-1\nSIZE 7 75 75\nFONTBOUNDINGBOX 5 7 0 -1\n"
                                 "STARTPROPERTIES 4\nCHARSET_REGISTRY \"ISO10646\"\n"
                                 "CHARSET_ENCODING \"1\"\nFONT_ASCENT 6\nFONT_DESCENT 1\n"
                                 "ENDPROPERTIES\nCHARS 1\nSTARTCHAR uni4E00\nENCODING 19968\n"
                                 "SWIDTH 720 0\nDWIDTH 5 0\nBBX 5 7 0 -1\nBITMAP\n00\n00\n00\nF8\n"
                                 "00\n00\n00\nENDCHAR\nENDFONT\n";

std::string little32(std::uint32_t value) {
    std::string out;
    for (int shift = 0; shift < 32; shift += 8)
        out += static_cast<char>((value >> shift) & 0xFF);
    return out;
}

// One 5x7 glyph and a Unicode table that gives it no character.
std::string emptyTablePsf2() {
    std::string out = "\x72\xB5\x4A\x86";
    for (const std::uint32_t field : {0u, 32u, 1u, 1u, 7u, 7u, 5u})
        out += little32(field);
    return out + std::string(7, '\x3E') + "\xFF";
}

// 256 8x7 glyphs, none of them with a character in the table.
std::string emptyTablePsf1() {
    std::string out = "\x36\x04\x02\x07";
    out += std::string(256 * 7, '\x3E');
    for (int glyph = 0; glyph < 256; ++glyph)
        out += "\xFF\xFF";
    return out;
}

INSTANTIATE_TEST_SUITE_P(
    Tool, ImportOfNothing,
    testing::Values(EmptyFontCase{"UnmappedBdf", "cjk.bdf", kUnmappedBdf, false},
                    EmptyFontCase{"UnmappedBdfOverASet", "cjk.bdf", kUnmappedBdf, true},
                    EmptyFontCase{"EmptyPsf2Table", "empty.psf", emptyTablePsf2(), false},
                    EmptyFontCase{"EmptyPsf2TableOverASet", "empty.psf", emptyTablePsf2(), true},
                    EmptyFontCase{"EmptyPsf1Table", "empty1.psf", emptyTablePsf1(), false}),
    [](const auto& row) { return std::string(row.param.name); });

struct BadNameCase {
    const char* name;
    const char* programName;
    const char* why;
};

class CompileName : public testing::TestWithParam<BadNameCase> {};

// The tool is no prompt: what the editor would cut or refuse is a usage error here.
TEST_P(CompileName, IsAUsageErrorAndWritesNothing) {
    TempDir dir;
    const test::ToolRun run =
        test::runTool({"compile", DEFAULT_SET, GetParam().programName, "-o", q(dir.path())});
    EXPECT_EQ(run.status, 2) << run.err;
    EXPECT_NE(run.err.find(GetParam().why), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("A program name is 1 to 8 letters"), std::string::npos) << run.err;
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

INSTANTIATE_TEST_SUITE_P(
    Tool, CompileName,
    testing::Values(BadNameCase{"NineLetters", "ABCDEFGHI", "longer than 8 characters"},
                    BadNameCase{"NineWithDigits", "Font1xyz9", "longer than 8 characters"},
                    BadNameCase{"DigitFirst", "1abc", "starts with a digit"},
                    BadNameCase{"Blank", "my font", "a blank"},
                    BadNameCase{"OnlyABlank", " ", "a blank"}, BadNameCase{"Empty", "", "is empty"},
                    BadNameCase{"NonAscii",
                                "\xCE\xB8"
                                "eta",
                                "\"\xCE\xB8\""},
                    BadNameCase{"LongNonAscii", "\xC3\xA9t\xC3\xA9t\xC3\xA9t\xC3\xA9t\xC3\xA9",
                                "\"\xC3\xA9\""}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace
} // namespace korvalin
