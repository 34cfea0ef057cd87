// The floor for `korvalin-font check`: a program that reads a font set file whole and its
// 8960 values with std::from_chars, checks nothing else and says nothing; its exit status
// says whether all of them were there.
//
//   set_read_floor FILE
#include <array>
#include <charconv>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: set_read_floor FILE\n");
        return 2;
    }
    static std::array<char, 128 * 1024> text;
    const int fd = ::open(argv[1], O_RDONLY | O_CLOEXEC);
    const ssize_t size = fd < 0 ? -1 : ::read(fd, text.data(), text.size());
    if (fd < 0 || size < 0 || ::close(fd) != 0)
        return 1;
    const char* at = text.data();
    const char* const end = at + size;
    std::array<short, 8960> cells{};
    for (short& cell : cells) {
        while (at != end && (*at == ' ' || *at == '\r' || *at == '\n'))
            ++at;
        const auto [next, error] = std::from_chars(at, end, cell);
        if (error != std::errc{})
            return 1;
        at = next;
    }
    return 0;
}
