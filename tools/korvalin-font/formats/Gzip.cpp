#include "Gzip.h"

#include "FileError.h"

#include <algorithm>
#include <array>
#include <climits>
#include <memory>
#include <zlib.h>

namespace korvalin {
namespace {

struct Inflater {
    z_stream stream{};
    explicit Inflater(const std::filesystem::path& source) {
        if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK)
            throw FileError(source, "cannot be unpacked: out of memory");
    }
    ~Inflater() { inflateEnd(&stream); }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;
};

std::string tooLarge(std::size_t limit) {
    return "unpacks to more than " + std::to_string(limit) + " bytes";
}

// Inflates every member into `out`, or only counts the bytes when `out` is null; returns
// how many there are, refusing more than `left`. Counting first lets the caller reserve the
// exact size, so a string that doubles as it grows never takes twice the limit.
std::size_t inflateMembers(std::string_view bytes, std::size_t left, std::size_t limit,
                           const std::filesystem::path& source, std::string* out) {
    if (bytes.size() > UINT_MAX)
        throw FileError(source, tooLarge(limit));
    Inflater inflater(source);
    z_stream& stream = inflater.stream;
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    stream.avail_in = static_cast<uInt>(bytes.size());
    auto buffer = std::make_unique<std::array<char, 65536>>();
    std::size_t total = 0;
    for (;;) {
        stream.next_out = reinterpret_cast<Bytef*>(buffer->data());
        stream.avail_out = static_cast<uInt>(buffer->size());
        const int status = inflate(&stream, Z_NO_FLUSH);
        if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR)
            throw FileError(source, "is a damaged gzip file");
        const std::size_t produced = buffer->size() - stream.avail_out;
        if (produced > left - total)
            throw FileError(source, tooLarge(limit));
        if (out)
            out->append(buffer->data(), produced);
        total += produced;
        if (status == Z_STREAM_END) {
            const std::string_view rest(reinterpret_cast<const char*>(stream.next_in),
                                        stream.avail_in);
            if (std::all_of(rest.begin(), rest.end(), [](char c) { return c == '\0'; }))
                return total;
            if (!IsGzip(rest))
                throw FileError(source, "has bytes after its gzip data that are not gzip");
            inflateReset(&stream);
        } else if (stream.avail_in == 0 && stream.avail_out != 0) {
            throw FileError(source, "ends inside its gzip stream");
        }
    }
}

// One layer, of at most `left` bytes where all layers together may have `limit`.
std::string unpackLayer(std::string_view bytes, std::size_t left, std::size_t limit,
                        const std::filesystem::path& source) {
    std::string out;
    out.reserve(inflateMembers(bytes, left, limit, source, nullptr));
    inflateMembers(bytes, left, limit, source, &out);
    return out;
}

} // namespace

bool IsGzip(std::string_view bytes) {
    return bytes.size() >= 2 && bytes[0] == '\x1F' && bytes[1] == '\x8B';
}

std::string Gunzip(std::string_view bytes, std::size_t limit, const std::filesystem::path& source) {
    return unpackLayer(bytes, limit, limit, source);
}

std::string UnpackFontBytes(std::string bytes, std::size_t limit,
                            const std::filesystem::path& source) {
    std::size_t left = limit;
    for (int layer = 0; IsGzip(bytes); ++layer) {
        if (layer == kMaxGzipLayers)
            throw FileError(source, "is packed in more than " + std::to_string(kMaxGzipLayers) +
                                        " layers of gzip");
        std::string inner = unpackLayer(bytes, left, limit, source);
        left -= inner.size();
        bytes = std::move(inner);
    }
    if (bytes.starts_with("\x1F\x9D"))
        throw FileError(source, "is packed with compress, which this program does not unpack: "
                                "unpack it with gzip -d first");
    if (bytes.starts_with("BZh"))
        throw FileError(source, "is packed with bzip2, which this program does not unpack: "
                                "unpack it with bunzip2 first");
    return bytes;
}

} // namespace korvalin
