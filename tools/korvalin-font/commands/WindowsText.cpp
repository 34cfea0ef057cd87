#include "WindowsText.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <string_view>
#include <system_error>
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

namespace korvalin {
namespace {

// The console behind a standard handle, or null for a file, a pipe or nothing.
HANDLE consoleOf(DWORD standardHandle) {
    const HANDLE handle = GetStdHandle(standardHandle);
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && handle && GetConsoleMode(handle, &mode) ? handle
                                                                                     : nullptr;
}

// How many of the bytes end on a whole UTF-8 character, so that one split between two
// writes is converted whole with the second.
std::size_t wholeCharacters(std::string_view bytes) {
    for (std::size_t back = 1; back <= std::min<std::size_t>(3, bytes.size()); ++back) {
        const auto byte = static_cast<unsigned char>(bytes[bytes.size() - back]);
        if ((byte & 0xC0) == 0x80)
            continue; // a continuation byte: look further back for its lead
        const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return length > back ? bytes.size() - back : bytes.size();
    }
    return bytes.size();
}

// UTF-16 as UTF-8; a lone surrogate, which has none, becomes a byte that is no UTF-8
// either, for the tool to refuse.
std::string utf8(std::wstring_view text) {
    const int length = static_cast<int>(text.size());
    const int size = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text.data(), length,
                                         nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return text.empty() ? std::string() : std::string("\xFF");
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), length, out.data(), size, nullptr, nullptr);
    return out;
}

std::wstring wide(std::string_view text) {
    const int size =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(std::max(size, 0)), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size);
    return out;
}

class ConsoleBuffer final : public std::streambuf {
public:
    explicit ConsoleBuffer(HANDLE console) : console_(console) {
        setp(buffer_.data(), buffer_.data() + buffer_.size());
    }
    ~ConsoleBuffer() override { sync(); }
    ConsoleBuffer(const ConsoleBuffer&) = delete;
    ConsoleBuffer& operator=(const ConsoleBuffer&) = delete;

protected:
    int_type overflow(int_type c) override {
        if (sync() != 0)
            return traits_type::eof();
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }
    int sync() override {
        const std::string_view pending(pbase(), static_cast<std::size_t>(pptr() - pbase()));
        const std::size_t whole = wholeCharacters(pending);
        const std::wstring text = wide(pending.substr(0, whole));
        for (std::size_t done = 0; done < text.size();) {
            DWORD written = 0;
            const auto chunk = static_cast<DWORD>(std::min<std::size_t>(text.size() - done, 4096));
            if (!WriteConsoleW(console_, text.data() + done, chunk, &written, nullptr) ||
                written == 0)
                return -1;
            done += written;
        }
        // A character cut at the buffer's end waits at its start for the rest.
        const std::string rest(pending.substr(whole));
        std::copy(rest.begin(), rest.end(), buffer_.begin());
        setp(buffer_.data(), buffer_.data() + buffer_.size());
        pbump(static_cast<int>(rest.size()));
        return 0;
    }

private:
    HANDLE console_;
    std::array<char, 4096> buffer_{};
};

// What the user types: the console's lines of UTF-16 as UTF-8 with LF, up to Ctrl+Z,
// which ends the input as it does for every console program.
class ConsoleReader final : public InputStream {
public:
    explicit ConsoleReader(HANDLE console) : console_(console) {}

    std::size_t read(std::span<char> buffer) override {
        while (pending_.empty() && !ended_) {
            std::array<wchar_t, 1024> typed{};
            DWORD count = 0;
            if (!ReadConsoleW(console_, typed.data(), static_cast<DWORD>(typed.size()), &count,
                              nullptr))
                throw std::system_error(EIO, std::generic_category());
            std::wstring_view line(typed.data(), count);
            const std::size_t end = line.find(L'\x1A');
            ended_ = count == 0 || end != std::wstring_view::npos;
            std::wstring text;
            for (const wchar_t c : line.substr(0, end))
                if (c != L'\r')
                    text += c;
            pending_ = utf8(text);
        }
        const std::size_t size = std::min(buffer.size(), pending_.size());
        std::copy_n(pending_.begin(), size, buffer.begin());
        pending_.erase(0, size);
        return size;
    }

private:
    HANDLE console_;
    std::string pending_;
    bool ended_ = false;
};

} // namespace

std::vector<std::string> Utf8Arguments() {
    int count = 0;
    const std::unique_ptr<LPWSTR, decltype(&LocalFree)> words(
        CommandLineToArgvW(GetCommandLineW(), &count), &LocalFree);
    std::vector<std::string> arguments;
    for (int i = 1; words && i < count; ++i)
        arguments.push_back(utf8(words.get()[i]));
    return arguments;
}

std::unique_ptr<InputStream> ConsoleInput() {
    const HANDLE console = consoleOf(STD_INPUT_HANDLE);
    return console ? std::make_unique<ConsoleReader>(console) : nullptr;
}

std::unique_ptr<std::streambuf> ConsoleBufferFor(StandardStream stream) {
    const HANDLE console =
        consoleOf(stream == StandardStream::Output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
    return console ? std::make_unique<ConsoleBuffer>(console) : nullptr;
}

} // namespace korvalin
