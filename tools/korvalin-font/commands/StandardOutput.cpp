// The end of the program: what standard output could not take is a failure, not a silence.
#include "StandardOutput.h"

#include "Commands.h"
#include "StandardStreams.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <iostream>
#include <streambuf>
#include <string>
#include <string_view>
#include <system_error>

#ifdef _WIN32
#include "WindowsText.h"
#endif

namespace korvalin {
namespace {

// Standard output that keeps the cause of its first failed write: once a stream fails it
// writes nothing more, so errno at the end would tell nothing.
class CheckedStdout final : public std::streambuf {
public:
    [[nodiscard]] bool failed() const { return failed_; }
    [[nodiscard]] int cause() const { return cause_; }

    // Returns the exit status: `status`, or at least `failure` when output was lost.
    int close(int status, int failure) {
        sync();
        errno = 0;
        // Closing a stream that was closed from the start is no loss when nothing went to it.
        if (std::fclose(stdout) != 0 && !failed_ && errno != EBADF)
            fail();
        if (!failed_)
            return status;
        std::cerr << "korvalin-font: write error"
                  << (cause_ == 0 ? std::string() : ": " + std::generic_category().message(cause_))
                  << "\n";
        return std::max(status, failure);
    }

protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof()))
            return traits_type::not_eof(c);
        const char byte = traits_type::to_char_type(c);
        return put(&byte, 1) ? c : traits_type::eof();
    }
    std::streamsize xsputn(const char* data, std::streamsize size) override {
        return put(data, size) ? size : 0;
    }
    int sync() override {
        errno = 0;
        if (!failed_ && std::fflush(stdout) != 0)
            fail();
        return failed_ ? -1 : 0;
    }

private:
    bool put(const char* data, std::streamsize size) {
        errno = 0;
        if (!failed_ && std::fwrite(data, 1, static_cast<std::size_t>(size), stdout) !=
                            static_cast<std::size_t>(size))
            fail();
        return !failed_;
    }
    void fail() {
        if (!failed_)
            cause_ = errno;
        failed_ = true;
    }

    bool failed_ = false;
    int cause_ = 0;
};

// diff's 1 means the sets differ, so its trouble is 2, like diff(1)'s.
int writeFailureStatus(std::string_view command) {
    return command == "diff" ? kUsage : kFailure;
}

} // namespace

int RunFontToolProcess(const std::vector<std::string>& arguments) {
    CheckedStdout buffer;
    std::ostream out(&buffer);
    std::ostream err(std::cerr.rdbuf());
    // Read by its descriptor, not through stdio, which takes a failed read for the end.
    DescriptorInput descriptor(0);
    InputStream* in = &descriptor;
#ifdef _WIN32
    // A console takes and shows text beyond ASCII only through its wide calls; output in
    // the order written, as a terminal shows it.
    const std::unique_ptr<InputStream> consoleIn = ConsoleInput();
    if (consoleIn)
        in = consoleIn.get();
    const auto consoleOut = ConsoleBufferFor(StandardStream::Output);
    const auto consoleErr = ConsoleBufferFor(StandardStream::Error);
    for (auto& [stream, console] : {std::pair{&out, consoleOut.get()}, {&err, consoleErr.get()}}) {
        if (console) {
            stream->rdbuf(console);
            stream->setf(std::ios::unitbuf);
        }
    }
#endif
    const int status = RunFontTool(arguments, *in, out, err);
    return buffer.close(status, writeFailureStatus(arguments.empty() ? "" : arguments.front()));
}

int RunFontToolProcess(std::span<char* const> arguments) {
    return RunFontToolProcess(std::vector<std::string>(arguments.begin(), arguments.end()));
}

} // namespace korvalin
