#include "FontSetFile.h"

#include "FileError.h"
#include "SaveTemporaries.h"
#include "TempDir.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <gtest/gtest.h>
#include <istream>
#include <sstream>
#include <streambuf>
#include <system_error>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

namespace korvalin {
namespace {

using test::readFile;
using test::TempDir;
using test::writeFile;

FontSet filled(CellValue value) {
    FontSet table;
    std::ranges::fill(table.cells(), value);
    return table;
}

// Cell n of the table holds n - 4480, so every value and its place can be checked.
FontSet counting() {
    FontSet table;
    for (int i = 0; i < FontSet::kCellCount; ++i)
        table.cells()[static_cast<std::size_t>(i)] = static_cast<CellValue>(i - 4480);
    return table;
}

std::string repeatField(std::string_view field, std::string_view separator, int count = 8960) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += field;
        text += separator;
    }
    return text;
}

// Through a stream, and checked against the same text read in memory.
FontSet read(const std::string& text) {
    std::istringstream in(text);
    FontSet table;
    ReadFontSet(in, "test.8xfont", table);
    FontSet inMemory;
    ReadFontSet(text, "test.8xfont", inMemory);
    EXPECT_EQ(inMemory, table);
    return table;
}

TEST(FontSetWriter, WritesEachValueAsOneExactLine) {
    FontSet table = filled(FontSet::kClear);
    table.setCell(0, 0, 0);
    table.setCell(0, 1, 128);
    table.setCell(0, 2, -1);
    table.setCell(0, 3, -32768);
    table.setCell(255, 34, 32767);
    const std::string text = FontSetText(table);
    EXPECT_TRUE(text.starts_with(" 0 \r\n 128 \r\n-1 \r\n-32768 \r\n 255 \r\n"));
    EXPECT_TRUE(text.ends_with(" 255 \r\n 32767 \r\n"));
}

TEST(FontSetWriter, FileSizesFollowTheValues) {
    EXPECT_EQ(FontSetText(filled(FontSet::kClear)).size(), 62720u);
    EXPECT_EQ(FontSetText(filled(FontSet::kSet)).size(), 44800u);
    FontSet mixed = filled(FontSet::kSet);
    for (int cell = 0; cell < 10; ++cell)
        mixed.setCell(cell * 20, cell, FontSet::kClear);
    EXPECT_EQ(FontSetText(mixed).size(), 44800u + 2 * 10);
}

TEST(FontSetFile, RoundTripIsByteIdentical) {
    const TempDir dir;
    const FontSet original = counting();
    WriteFontSetFile(dir / "a.8xfont", original);
    FontSet loaded;
    ReadFontSetFile(dir / "a.8xfont", loaded);
    EXPECT_EQ(loaded, original);
    WriteFontSetFile(dir / "b.8xfont", loaded);
    EXPECT_EQ(readFile(dir / "a.8xfont"), readFile(dir / "b.8xfont"));
}

TEST(FontSetFile, LinesAreCharacterMajor) {
    const std::string text = FontSetText(counting());
    std::istringstream lines(text);
    std::string line;
    for (int n = 1; std::getline(lines, line); ++n) {
        if (n == 1 || n == 5 || n == 35 || n == 36 || n == 8960) {
            EXPECT_EQ(std::stoi(line), n - 1 - 4480) << "line " << n;
        }
    }
}

struct ReaderForm {
    const char* name;
    std::string text;
};

class FontSetReaderForms : public testing::TestWithParam<ReaderForm> {};

TEST_P(FontSetReaderForms, ReadLikeTheWrittenForm) {
    EXPECT_EQ(read(GetParam().text), filled(FontSet::kClear)) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Separators, FontSetReaderForms,
    testing::Values(ReaderForm{"written", repeatField(" 255 ", "\r\n")},
                    ReaderForm{"commas on one line", repeatField("255", ",")},
                    ReaderForm{"LF", repeatField("255", "\n")},
                    ReaderForm{"lone CR", repeatField("255", "\r")},
                    ReaderForm{"blank runs", repeatField("255", "   ")},
                    ReaderForm{"tabs and commas", repeatField("\t+255\t", ",")},
                    ReaderForm{"blanks before CR LF", repeatField("255 \t ", "\r\n")},
                    ReaderForm{"no final line end",
                               repeatField("255", "\n").substr(0, 8960 * 4 - 1)},
                    ReaderForm{"junk after the last value",
                               repeatField("255", "\r\n") + "not a number,,\r\n\r\n99999"}),
    [](const auto& test) {
        std::string name = test.param.name;
        std::ranges::replace_if(
            name, [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
        return name;
    });

TEST(FontSetReader, AcceptsTheWholeRangeAndBothSigns) {
    std::string text = "32767\n-32768\n+5\n-0\n007\n";
    text += repeatField("1", "\n", 8960 - 5);
    const FontSet table = read(text);
    EXPECT_EQ(table.cell(0, 0), 32767);
    EXPECT_EQ(table.cell(0, 1), -32768);
    EXPECT_EQ(table.cell(0, 2), 5);
    EXPECT_EQ(table.cell(0, 3), 0);
    EXPECT_EQ(table.cell(0, 4), 7);
}

struct ReaderFault {
    const char* name;
    std::string text;
    std::string message;
};

class FontSetReaderFaults : public testing::TestWithParam<ReaderFault> {};

TEST_P(FontSetReaderFaults, FailWithTheCauseAndLeaveTheTableAlone) {
    const FontSet before = counting();
    FontSet table = before;
    std::istringstream in(GetParam().text);
    try {
        ReadFontSet(in, "/fonts/bad.8xfont", table);
        FAIL() << "read did not fail";
    } catch (const FileError& error) {
        EXPECT_EQ(std::string(error.what()), "/fonts/bad.8xfont: " + GetParam().message);
    }
    EXPECT_EQ(table, before);
}

std::string withLine(int line, std::string_view field) {
    return repeatField(" 0 ", "\r\n", line - 1) + std::string(field) + "\r\n" +
           repeatField(" 0 ", "\r\n", 8960 - line);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, FontSetReaderFaults,
    testing::Values(
        ReaderFault{"empty", "", "ends after 0 values; 8960 needed"},
        ReaderFault{"short", repeatField(" 0 ", "\r\n", 8959),
                    "ends after 8959 values; 8960 needed"},
        ReaderFault{"short with blank lines", repeatField("0", "\n", 8959) + "\n\n,\n",
                    "ends after 8959 values; 8960 needed"},
        ReaderFault{"overflow", withLine(812, "40000"), "line 812: 40000 is outside -32768..32767"},
        ReaderFault{"above max", withLine(3, "32768"), "line 3: 32768 is outside -32768..32767"},
        ReaderFault{"below min", withLine(3, "-32769"), "line 3: -32769 is outside -32768..32767"},
        ReaderFault{"huge", withLine(4, "123456789012345678901234567890"),
                    "line 4: \"123456789012345678901234...\" is outside -32768..32767"},
        ReaderFault{"letters", withLine(9, "12a"), "line 9: \"12a\" is not a whole number"},
        ReaderFault{"fraction", withLine(1, "1.5"), "line 1: \"1.5\" is not a whole number"},
        ReaderFault{"exponent", withLine(2, "1e3"), "line 2: \"1e3\" is not a whole number"},
        ReaderFault{"hex", withLine(2, "0x1F"), "line 2: \"0x1F\" is not a whole number"},
        ReaderFault{"lone sign", withLine(2, "-"), "line 2: \"-\" is not a whole number"},
        ReaderFault{"quote", withLine(7, "1\"2"), "line 7: \"1\\\"2\" is not a whole number"},
        ReaderFault{"byte order mark", "\xEF\xBB\xBF" + repeatField("0", "\n"),
                    "line 1: \"\\xEF\\xBB\\xBF0\" is not a whole number"},
        ReaderFault{"two commas", "1,,2" + repeatField(",0", ""), "line 1: value 2 is empty"},
        ReaderFault{"empty line", "1\r\n\r\n2\r\n" + repeatField("0", "\r\n"),
                    "line 2: value 2 is empty"}),
    [](const auto& test) {
        std::string name = test.param.name;
        std::ranges::replace(name, ' ', '_');
        return name;
    });

// A source of 64 MiB of one byte, made on demand, that counts how much the reader takes.
class FloodOfBytes : public std::streambuf {
public:
    explicit FloodOfBytes(char byte) { chunk_.fill(byte); }
    [[nodiscard]] std::size_t taken() const { return taken_; }

protected:
    int_type underflow() override {
        if (taken_ >= std::size_t{64} << 20)
            return traits_type::eof();
        taken_ += chunk_.size();
        setg(chunk_.data(), chunk_.data(), chunk_.data() + chunk_.size());
        return traits_type::to_int_type(chunk_[0]);
    }

private:
    std::array<char, 4096> chunk_{};
    std::size_t taken_ = 0;
};

TEST(FontSetReader, AFloodOfNulBytesEndsAtOnceWithAShortExcerpt) {
    FloodOfBytes flood('\0');
    std::istream in(&flood);
    FontSet table;
    try {
        ReadFontSet(in, "zero", table);
        FAIL() << "NUL bytes were read as values";
    } catch (const FileError& error) {
        std::string nuls;
        for (int i = 0; i < 24; ++i)
            nuls += "\\x00";
        EXPECT_EQ(error.cause(), "line 1: \"" + nuls + "...\" is not a whole number");
    }
    EXPECT_LE(flood.taken(), std::size_t{64} << 10);
}

TEST(FontSetFile, ReportsFilesThatCannotBeOpened) {
    const TempDir dir;
    FontSet table = counting();
    const FontSet before = table;
    const auto expectFailure = [&](const std::filesystem::path& path, std::string_view cause) {
        try {
            ReadFontSetFile(path, table);
            ADD_FAILURE() << path << " was read";
        } catch (const FileError& error) {
            EXPECT_EQ(error.path(), path);
            EXPECT_NE(error.cause().find(cause), std::string::npos) << error.what();
        }
        EXPECT_EQ(table, before);
    };
    expectFailure(dir / "missing.8xfont", std::generic_category().message(ENOENT));
    expectFailure(dir.path(), "is a folder");
}

TEST(FontSetFile, SaveReplacesALongerFileWhole) {
    const TempDir dir;
    writeFile(dir / "set.8xfont", std::string(100000, 'x'));
    WriteFontSetFile(dir / "set.8xfont", filled(FontSet::kSet));
    EXPECT_EQ(readFile(dir / "set.8xfont"), FontSetText(filled(FontSet::kSet)));
}

TEST(FontSetFile, FailedSaveKeepsThePreviousFile) {
    const TempDir dir;
    const auto target = dir / "kept.8xfont";
    WriteFontSetFile(target, filled(FontSet::kClear));
    const std::string before = readFile(target);

    std::filesystem::permissions(target, std::filesystem::perms::owner_read |
                                             std::filesystem::perms::group_read);
    try {
        WriteFontSetFile(target, filled(FontSet::kSet));
        FAIL() << "a read-only file was replaced";
    } catch (const FileError& error) {
        EXPECT_EQ(error.path(), target);
        EXPECT_EQ(error.cause(), "the file is read-only");
    }
    EXPECT_EQ(readFile(target), before);
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(FontSetFile, LeftoversOfKilledSavesDoNotBlockTheNextSave) {
    const TempDir dir;
    // Temporary names as a killed process with this very id would have left them.
#ifdef _WIN32
    const long pid = _getpid();
#else
    const long pid = ::getpid();
#endif
    for (unsigned counter = 0; counter < 300; ++counter)
        writeFile(dir /
                      atomic_file::temporaryName("t.8xfont", atomic_file::hostName(), pid, counter),
                  "partial");
    WriteFontSetFile(dir / "t.8xfont", filled(FontSet::kSet));
    EXPECT_EQ(readFile(dir / "t.8xfont"), FontSetText(filled(FontSet::kSet)));
}

TEST(FontSetFile, SaveIntoAMissingFolderNamesTheFolder) {
    const TempDir dir;
    const auto target = dir / "gone" / "set.8xfont";
    try {
        WriteFontSetFile(target, filled(FontSet::kSet));
        FAIL() << "saved into a missing folder";
    } catch (const FileError& error) {
        EXPECT_EQ(error.cause(), "the folder \"" + (dir / "gone").string() + "\" does not exist");
    }
}

TEST(FontSetFile, SaveThroughALinkReplacesTheLinkedFileAndKeepsItsMode) {
    const TempDir dir;
    WriteFontSetFile(dir / "real.8xfont", filled(FontSet::kClear));
    std::filesystem::permissions(dir / "real.8xfont", std::filesystem::perms::owner_read |
                                                          std::filesystem::perms::owner_write);
    std::filesystem::create_symlink(dir / "real.8xfont", dir / "link.8xfont");
    WriteFontSetFile(dir / "link.8xfont", filled(FontSet::kSet));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.8xfont"));
    EXPECT_EQ(readFile(dir / "real.8xfont"), FontSetText(filled(FontSet::kSet)));
    EXPECT_EQ(std::filesystem::status(dir / "real.8xfont").permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

} // namespace
} // namespace korvalin
