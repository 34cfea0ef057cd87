// The set back from its program: our reader of variable files against the TI file library,
// group files, and every damaged or foreign program refused naming the file.
#include "ProgramFile.h"

#include "FontSetFile.h"
#include "FontToolSupport.h"
#include "ProgramImage.h"
#include "ProgramVariable.h"
#include "TempDir.h"
#include "TiFile.h"

#include <functional>

namespace korvalin {
namespace {

using test::paperSet;
using test::q;
using test::runTool;
using test::TempDir;

using Bytes = std::vector<std::uint8_t>;

FontSet defaultSet() {
    FontSet table;
    ReadFontSetFile(DEFAULT_SET, table);
    return table;
}

Bytes fontImage() {
    const ProgramImage image = BuildProgramImage(defaultSet());
    return Bytes(image.begin(), image.end());
}

Bytes program(const char* name, const Bytes& image) {
    return PackProgramVariable(name, image, kPackerComment);
}

constexpr std::size_t kDataStart = 55;

void setWord(Bytes& file, std::size_t at, std::size_t value) {
    file[at] = static_cast<std::uint8_t>(value & 0xFF);
    file[at + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

// The checksum and the data length made right again after an edit.
Bytes resealed(Bytes file) {
    file.resize(file.size() - 2);
    setWord(file, kDataStart - 2, file.size() - kDataStart);
    unsigned sum = 0;
    for (std::size_t at = kDataStart; at < file.size(); ++at)
        sum += file[at];
    file.resize(file.size() + 2);
    setWord(file, file.size() - 2, sum & 0xFFFF);
    return file;
}

// A group file of the programs' variables, one after the other.
Bytes group(const std::vector<Bytes>& programs) {
    Bytes file(programs.front().begin(), programs.front().begin() + kDataStart);
    for (const Bytes& one : programs)
        file.insert(file.end(), one.begin() + kDataStart, one.end() - 2);
    file.resize(file.size() + 2);
    return resealed(file);
}

std::string text(const Bytes& bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

struct AgreementCase {
    const char* name;
    std::function<Bytes()> make;
    unsigned entries;
};

class TiFilesAgreement : public testing::TestWithParam<AgreementCase> {};

// Each variable as the TI file library reads it: name, type and data.
TEST_P(TiFilesAgreement, ReadsTheVariablesAsTheTiFileLibraryDoes) {
    TempDir dir;
    const Bytes file = GetParam().make();
    test::writeFile(dir / "file.8xg", text(file));
    const test::TiFile library = test::readWithTiFiles(dir / "file.8xg");
    ASSERT_TRUE(library.read);
    ASSERT_TRUE(library.checksumGood);
    const std::vector<TiVariable> ours = ReadTiVariables(text(file), "file.8xg");
    ASSERT_EQ(ours.size(), GetParam().entries);
    EXPECT_EQ(library.entries, ours.size());
    EXPECT_EQ(ours.front().name, library.name);
    EXPECT_EQ(ours.front().type, library.type);
    EXPECT_EQ(text(ours.front().data), library.data);
}

INSTANTIATE_TEST_SUITE_P(
    Files, TiFilesAgreement,
    testing::Values(
        AgreementCase{"Program", [] { return program("FONT1", fontImage()); }, 1},
        AgreementCase{"OtherProgram",
                      [] {
                          return program("A", Bytes{0xBB, 0x6D, 0xC9});
                      },
                      1},
        AgreementCase{
            "Group",
            [] {
                return group({program("HELLO", {1, 2, 3}), program("FONT2", fontImage())});
            },
            2}),
    [](const auto& row) { return std::string(row.param.name); });

// A group holding one font program among others gives that font's set.
TEST(ProgramFile, AGroupGivesItsFontProgramsSet) {
    TempDir dir;
    FontSet edited = paperSet();
    edited.setCell(240, 3, FontSet::kSet);
    const ProgramImage image = BuildProgramImage(edited);
    test::writeFile(dir / "two.8xg",
                    text(group({program("HELLO", {0xBB, 0x6D, 0xC9}),
                                program("FONT1", Bytes(image.begin(), image.end()))})));
    WriteFontSetFile(dir / "base.8xfont", defaultSet());
    const test::ToolRun run = runTool(
        {"import", q(dir / "two.8xg"), "-o", q(dir / "back.8xfont"), "-b", q(dir / "base.8xfont")});
    ASSERT_EQ(run.status, 0) << run.err;
    FontSet back;
    ReadFontSetFile(dir / "back.8xfont", back);
    EXPECT_EQ(back, edited);
}

struct HostileCase {
    const char* name;
    std::function<Bytes()> make;
    const char* cause;
};

class HostileProgram : public testing::TestWithParam<HostileCase> {};

// import, check and show all refuse it, naming the file and the cause, and write nothing.
TEST_P(HostileProgram, IsRefusedNamingTheFile) {
    TempDir dir;
    const std::filesystem::path file = dir / "bad font.8xp";
    test::writeFile(file, text(GetParam().make()));
    const std::string expected = file.string() + ": " + GetParam().cause;
    const std::vector<std::vector<std::string>> commands = {
        {"import", q(file), "-o", q(dir / "out.8xfont"), "-b", DEFAULT_SET},
        {"check", q(file)},
        {"show", q(file), "A"}};
    for (const std::vector<std::string>& command : commands) {
        const test::ToolRun run = runTool(command);
        EXPECT_EQ(run.status, 1) << command.front();
        EXPECT_NE(run.err.find(expected), std::string::npos) << run.err;
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "out.8xfont"));
}

Bytes compiled() {
    return program("FONT1", fontImage());
}

INSTANTIATE_TEST_SUITE_P(
    Programs, HostileProgram,
    testing::Values(
        HostileCase{"Truncated",
                    [] {
                        Bytes file = compiled();
                        file.resize(file.size() - 100);
                        return file;
                    },
                    "has 1779 bytes where its header promises 1879 (truncated)"},
        HostileCase{"OnlyTheSignature",
                    [] { return Bytes{'*', '*', 'T', 'I', '8', '3', 'F', '*', 0x1A, 0x0A, 0}; },
                    "is truncated: 11 bytes are shorter than a variable file's header"},
        HostileCase{"WrongChecksum",
                    [] {
                        Bytes file = compiled();
                        file[200] ^= 0x04;
                        return file;
                    },
                    "has a wrong checksum"},
        HostileCase{"WrongType",
                    [] {
                        Bytes file = compiled();
                        file[kDataStart + 4] = 0x04; // a string
                        return resealed(file);
                    },
                    "holds no program, so no font set (variable type 4)"},
        HostileCase{"OtherCalculator",
                    [] {
                        Bytes file = compiled();
                        file[6] = '*';
                        return file;
                    },
                    "is not a TI-83 Plus variable file"},
        HostileCase{"SignaturesLastByte",
                    [] {
                        Bytes file = compiled();
                        file[10] = 0x01;
                        return file;
                    },
                    "is not a TI-83 Plus variable file"},
        HostileCase{"HugeDataLength",
                    [] {
                        Bytes file = compiled();
                        setWord(file, kDataStart - 2, 0xFFFF);
                        return file;
                    },
                    "has 1879 bytes where its header promises 65592 (truncated)"},
        HostileCase{"HugeVariableLength",
                    [] {
                        Bytes file = compiled();
                        setWord(file, kDataStart + 2, 0xFFF0);
                        return resealed(file);
                    },
                    "variable 1 claims 65520 bytes, beyond the end of the file"},
        HostileCase{"TwoLengths",
                    [] {
                        Bytes file = compiled();
                        setWord(file, kDataStart + 15, 7);
                        return resealed(file);
                    },
                    "variable 1 gives two different lengths"},
        HostileCase{"NoPrologue",
                    [] {
                        return program("FONT1", Bytes{1, 2, 3});
                    },
                    "program FONT1 is no Korvalin font: it is no assembled program"},
        HostileCase{
            "NoSignature",
            [] {
                Bytes image = fontImage();
                image[3] = 'K';
                return program("FONT1", image);
            },
            "program FONT1 is no Korvalin font: it lacks the font image's signature \"korvalin\""},
        HostileCase{"ImageTooLong",
                    [] {
                        Bytes image = fontImage();
                        image.push_back(0);
                        return program("FONT1", image);
                    },
                    "program FONT1 is no Korvalin font: its image has 1804 bytes, not 1803"},
        HostileCase{
            "BitsBeyondTheColumns",
            [] {
                Bytes image = fontImage();
                image[11 + 7 * 65] = 0x80;
                return program("FONT1", image);
            },
            "program FONT1 is no Korvalin font: row byte 466 sets bits beyond the five columns"},
        HostileCase{"RowByteOf0x20",
                    [] {
                        Bytes image = fontImage();
                        image[11 + 7 * 65 + 6] = 0x20;
                        return program("FONT1", image);
                    },
                    "program FONT1 is no Korvalin font: row byte 472 sets bits beyond the five "
                    "columns"},
        HostileCase{
            "TwoFonts",
            [] {
                return group({program("FONTA", fontImage()), program("FONTB", fontImage())});
            },
            "holds 2 font programs (FONTA, FONTB)"}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace
} // namespace korvalin
