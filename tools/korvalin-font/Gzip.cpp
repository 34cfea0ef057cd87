#include "Gzip.h"

#include "FileError.h"

#include <zlib.h>

namespace korvalin {

bool IsGzip(std::string_view bytes) {
    return bytes.size() >= 2 && bytes[0] == '\x1F' && bytes[1] == '\x8B';
}

std::string Gunzip(std::string_view bytes, std::size_t limit, const std::filesystem::path& source) {
    z_stream stream{};
    if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK)
        throw FileError(source, "cannot be unpacked: out of memory");
    std::string out;
    char buffer[65536];
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    stream.avail_in = static_cast<uInt>(bytes.size());
    int status = Z_OK;
    while (status != Z_STREAM_END) {
        stream.next_out = reinterpret_cast<Bytef*>(buffer);
        stream.avail_out = sizeof buffer;
        status = inflate(&stream, Z_NO_FLUSH);
        if (status != Z_OK && status != Z_STREAM_END) {
            inflateEnd(&stream);
            throw FileError(source, "is a damaged gzip file");
        }
        out.append(buffer, sizeof buffer - stream.avail_out);
        if (out.size() > limit) {
            inflateEnd(&stream);
            throw FileError(source, "unpacks to more than " + std::to_string(limit) + " bytes");
        }
        if (status == Z_OK && stream.avail_in == 0 && stream.avail_out != 0) {
            inflateEnd(&stream);
            throw FileError(source, "ends inside its gzip stream");
        }
    }
    inflateEnd(&stream);
    return out;
}

} // namespace korvalin
