// Saves for counting their system calls under strace: each between two marks, calls of
// access() on the names "<<mark NAME begin>>" and "<<mark NAME end>>", which no file has.
//
//   save_calls existing FOLDER   a set already in FOLDER saved over by the run's first save,
//                                then again; then a new file; then the floor
//   save_calls new FOLDER        a new file as the run's first save
//
// The floor makes the eight calls that replace a file durably: open the folder, create,
// write, flush and close the file, rename it, flush and close the folder.
#include "FontSetFile.h"
#include "TestSets.h"

#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <string_view>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

void mark(const std::string& name, const char* edge) {
    const std::string text = "<<mark " + name + " " + edge + ">>";
    [[maybe_unused]] const int ignored = ::access(text.c_str(), F_OK);
}

template <typename Work>
void marked(const std::string& name, Work work) {
    mark(name, "begin");
    work();
    mark(name, "end");
}

void saveFloor(const fs::path& folder, std::string_view text) {
    const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const int fd = ::openat(folderFd, ".floor.tmp", O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    [[maybe_unused]] const ssize_t written = ::write(fd, text.data(), text.size());
    ::fsync(fd);
    ::close(fd);
    ::renameat(folderFd, ".floor.tmp", folderFd, "floor.8xfont");
    ::fsync(folderFd);
    ::close(folderFd);
}

} // namespace

int main(int argc, char** argv) {
    const std::string_view mode = argc == 3 ? argv[1] : "";
    if (mode != "existing" && mode != "new") {
        std::fprintf(stderr, "usage: save_calls existing|new FOLDER\n");
        return 2;
    }
    const fs::path folder = argv[2];
    const korvalin::FontSet table = korvalin::test::alternatingSet();
    const std::string text = korvalin::FontSetText(table);
    try {
        if (mode == "new") {
            marked("first-new", [&] { korvalin::WriteFontSetFile(folder / "new.8xfont", table); });
            return 0;
        }
        // The set is there before the run saves anything, as one the user loaded.
        std::FILE* out = std::fopen((folder / "set.8xfont").c_str(), "wb");
        if (out == nullptr || std::fwrite(text.data(), 1, text.size(), out) != text.size() ||
            std::fclose(out) != 0)
            return 1;
        marked("first-existing", [&] { korvalin::WriteFontSetFile(folder / "set.8xfont", table); });
        marked("later-existing", [&] { korvalin::WriteFontSetFile(folder / "set.8xfont", table); });
        marked("later-new", [&] { korvalin::WriteFontSetFile(folder / "other.8xfont", table); });
        marked("floor", [&] { saveFloor(folder, text); });
    } catch (const std::exception& error) {
        std::fprintf(stderr, "save_calls: %s\n", error.what());
        return 1;
    }
    return 0;
}
