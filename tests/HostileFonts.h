#pragma once

// Fonts built to make a reader reserve, unpack or sort far more than they hold.

#include <cstdint>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>
#include <zlib.h>

namespace korvalin::test {

// Packs in gzip (or with `zlibOnly`, as a PNG's data) as it goes, so that hundreds of MB of
// padding never sit in memory.
class GzipWriter {
public:
    explicit GzipWriter(bool zlibOnly = false, int level = 9) {
        if (deflateInit2(&stream_, level, Z_DEFLATED, zlibOnly ? MAX_WBITS : 16 + MAX_WBITS, 9,
                         Z_DEFAULT_STRATEGY) != Z_OK)
            throw std::runtime_error("deflateInit2 failed");
    }
    ~GzipWriter() { deflateEnd(&stream_); }
    GzipWriter(const GzipWriter&) = delete;
    GzipWriter& operator=(const GzipWriter&) = delete;

    GzipWriter& add(std::string_view bytes) {
        pump(bytes, Z_NO_FLUSH);
        return *this;
    }
    GzipWriter& addZeros(std::size_t count) {
        const std::string zeros(1 << 20, '\0');
        for (; count > 0; count -= std::min(count, zeros.size()))
            add(std::string_view(zeros).substr(0, std::min(count, zeros.size())));
        return *this;
    }
    std::string finish() {
        pump({}, Z_FINISH);
        return std::move(out_);
    }

private:
    void pump(std::string_view bytes, int flush) {
        stream_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
        stream_.avail_in = static_cast<uInt>(bytes.size());
        int status = Z_OK;
        do {
            char buffer[65536];
            stream_.next_out = reinterpret_cast<Bytef*>(buffer);
            stream_.avail_out = sizeof buffer;
            status = deflate(&stream_, flush);
            out_.append(buffer, sizeof buffer - stream_.avail_out);
        } while (stream_.avail_out == 0 || (flush == Z_FINISH && status != Z_STREAM_END));
    }

    z_stream stream_{};
    std::string out_;
};

inline std::string gzip(std::string_view bytes) {
    return GzipWriter().add(bytes).finish();
}

// The first gzip member of `bytes`, unpacked by zlib alone.
inline std::string gunzip(std::string_view bytes) {
    z_stream stream{};
    inflateInit2(&stream, 16 + MAX_WBITS);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    stream.avail_in = static_cast<uInt>(bytes.size());
    std::string out;
    int status = Z_OK;
    while (status == Z_OK) {
        char buffer[65536];
        stream.next_out = reinterpret_cast<Bytef*>(buffer);
        stream.avail_out = sizeof buffer;
        status = inflate(&stream, Z_NO_FLUSH);
        out.append(buffer, sizeof buffer - stream.avail_out);
    }
    inflateEnd(&stream);
    return out;
}

inline std::string le32(std::uint32_t value) {
    return {static_cast<char>(value), static_cast<char>(value >> 8), static_cast<char>(value >> 16),
            static_cast<char>(value >> 24)};
}

inline std::string be16(int value) {
    return {static_cast<char>(value >> 8), static_cast<char>(value)};
}

inline std::string be32(std::uint32_t value) {
    return be16(static_cast<int>(value >> 16)) + be16(static_cast<int>(value & 0xFFFF));
}

// A grey PNG of one bit a pixel, each row `row` (eight pixels a byte): the smallest file a
// picture of that size can be.
inline std::string bitPng(std::uint32_t width, std::uint32_t height, std::string_view row) {
    const auto chunk = [](const std::string& type, const std::string& data) {
        const std::string body = type + data;
        return be32(static_cast<std::uint32_t>(data.size())) + body +
               be32(static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(body.data()),
                                                     static_cast<uInt>(body.size()))));
    };
    GzipWriter pixels(true);
    const std::string line = '\0' + std::string(row); // filter 0: none
    for (std::uint32_t y = 0; y < height; ++y)
        pixels.add(line);
    return "\x89PNG\r\n\x1A\n" +
           chunk("IHDR", be32(width) + be32(height) + std::string{1, 0, 0, 0, 0}) +
           chunk("IDAT", pixels.finish()) + chunk("IEND", "");
}

inline std::uint32_t readLe32(std::string_view bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return value;
}

// A PCF font split where padding may go: the header with its table of contents, whose
// offsets already leave `pad` bytes after it, and the tables. With `glyphWidth`, every
// glyph's metrics say it is that wide and `glyphHeight` tall.
struct PcfParts {
    std::string head;
    std::string tables;
};

inline PcfParts relaidPcf(std::string_view pcf, std::uint32_t pad, int glyphWidth = 0,
                          int glyphHeight = 0) {
    constexpr std::uint32_t kMetrics = 1u << 2;
    const std::uint32_t count = readLe32(pcf, 4);
    PcfParts parts{std::string(pcf.substr(0, 8)), {}};
    std::uint32_t at = 8 + 16 * count + pad;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t entry = 8 + 16 * i;
        const std::uint32_t type = readLe32(pcf, entry);
        std::uint32_t format = readLe32(pcf, entry + 4);
        const std::uint32_t size = readLe32(pcf, entry + 8);
        std::string table(pcf.substr(readLe32(pcf, entry + 12), size));
        table.resize(size, '\0'); // bdftopcf's last table is shorter than its entry
        if (type == kMetrics && glyphWidth > 0) {
            // Uncompressed and big-endian: bearings, width, ascent, descent, attributes.
            const int glyphs =
                static_cast<unsigned char>(table[4]) << 8 | static_cast<unsigned char>(table[5]);
            format = 0x0E;
            table = le32(format) + std::string{0, 0} + be16(glyphs);
            for (int glyph = 0; glyph < glyphs; ++glyph)
                table +=
                    be16(0) + be16(glyphWidth) + be16(5) + be16(glyphHeight) + be16(0) + be16(0);
        }
        parts.head +=
            le32(type) + le32(format) + le32(static_cast<std::uint32_t>(table.size())) + le32(at);
        at += static_cast<std::uint32_t>(table.size());
        parts.tables += table;
    }
    return parts;
}

constexpr std::string_view kBdfStart = "STARTFONT 2.1\n";

// The lines after kBdfStart of a BDF font of `glyphs` glyphs of `width` x `height` whose
// bitmaps are left out, declaring `chars` of them.
inline std::string emptyBdfBody(int glyphs, int width, int height, std::uint64_t chars) {
    const std::string box = std::to_string(width) + " " + std::to_string(height);
    std::string bdf =
        "FONT hostile\nSIZE 8 75 75\nFONTBOUNDINGBOX " + box +
        " 0 0\nSTARTPROPERTIES 2\nFONT_ASCENT 7\nFONT_DESCENT 0\nENDPROPERTIES\nCHARS " +
        std::to_string(chars) + "\n";
    for (int i = 0; i < glyphs; ++i)
        bdf += "STARTCHAR g\nENCODING " + std::to_string(i) + "\nDWIDTH 5 0\nBBX " + box +
               " 0 0\nBITMAP\nENDCHAR\n";
    return bdf + "ENDFONT\n";
}

// A good BDF font of one glyph, "A".
inline std::string letterBdf() {
    std::string bdf = "STARTFONT 2.1\nFONT good\nSIZE 8 75 75\nFONTBOUNDINGBOX 5 7 0 0\n"
                      "STARTPROPERTIES 4\nCHARSET_REGISTRY \"ISO10646\"\nCHARSET_ENCODING \"1\"\n"
                      "FONT_ASCENT 7\nFONT_DESCENT 0\nENDPROPERTIES\nCHARS 1\nSTARTCHAR A\n"
                      "ENCODING 65\nSWIDTH 500 0\nDWIDTH 5 0\nBBX 5 7 0 0\nBITMAP\n";
    for (const char* row : {"70", "88", "88", "F8", "88", "88", "00"})
        bdf += std::string(row) + "\n";
    return bdf + "ENDCHAR\nENDFONT\n";
}

} // namespace korvalin::test
