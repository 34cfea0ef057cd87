#include "PngCodec.h"

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <vector>
#include <zlib.h>

namespace korvalin {
namespace {

void put32(std::string& out, std::uint32_t value) {
    for (const int shift : {24, 16, 8, 0})
        out += static_cast<char>((value >> shift) & 0xFF);
}

void putChunk(std::string& png, const char* type, std::string_view data) {
    put32(png, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = png.size();
    png += type;
    png += data;
    const auto* bytes = reinterpret_cast<const Bytef*>(png.data() + start);
    put32(png, static_cast<std::uint32_t>(crc32(0, bytes, static_cast<uInt>(png.size() - start))));
}

// The picture's colours in order of first use, or nothing when they are more than 256.
std::optional<std::vector<std::uint32_t>> paletteOf(const Pixels& picture) {
    std::vector<std::uint32_t> palette;
    std::uint32_t last = 0;
    for (const std::uint32_t colour : picture.rgb) {
        // Runs of one colour are the rule, so the last colour is tried first.
        if ((colour == last && !palette.empty()) ||
            std::find(palette.begin(), palette.end(), colour) != palette.end()) {
            last = colour;
            continue;
        }
        if (palette.size() == 256)
            return std::nullopt;
        palette.push_back(colour);
        last = colour;
    }
    return palette;
}

// Packs rows into one zlib stream as they come, so no whole image of bytes is ever held.
class RowPacker {
public:
    RowPacker() {
        if (deflateInit(&stream_, Z_DEFAULT_COMPRESSION) != Z_OK)
            throw std::runtime_error("the PNG encoder ran out of memory");
    }
    RowPacker(const RowPacker&) = delete;
    RowPacker& operator=(const RowPacker&) = delete;
    ~RowPacker() { deflateEnd(&stream_); }

    void add(const std::vector<std::uint8_t>& row) { pack(row.data(), row.size(), Z_NO_FLUSH); }
    std::string finish() {
        pack(nullptr, 0, Z_FINISH);
        return std::move(packed_);
    }

private:
    void pack(const std::uint8_t* data, std::size_t size, int flush) {
        stream_.next_in = const_cast<Bytef*>(data);
        stream_.avail_in = static_cast<uInt>(size);
        int status = Z_OK;
        do {
            unsigned char buffer[65536];
            stream_.next_out = buffer;
            stream_.avail_out = sizeof buffer;
            status = deflate(&stream_, flush);
            if (status == Z_STREAM_ERROR)
                throw std::runtime_error("the PNG encoder failed");
            packed_.append(reinterpret_cast<const char*>(buffer),
                           sizeof buffer - stream_.avail_out);
        } while (stream_.avail_out == 0 || (flush == Z_FINISH && status != Z_STREAM_END));
    }

    z_stream stream_{};
    std::string packed_;
};

} // namespace

std::string EncodePng(const Pixels& picture, int scale) {
    if (scale < 1)
        throw std::invalid_argument("the scale must be 1 or more");
    // Sheets and screens hold a handful of colours, so a palette keeps the file small and
    // quick to pack; anything richer is stored as RGB.
    const std::optional<std::vector<std::uint32_t>> palette = paletteOf(picture);
    const auto width = static_cast<std::size_t>(picture.width);
    const auto zoom = static_cast<std::size_t>(scale);

    // Each row of the picture, enlarged, goes `scale` times into the stream.
    RowPacker packer;
    std::vector<std::uint8_t> row(1 + width * zoom * (palette ? 1 : 3));
    for (int y = 0; y < picture.height; ++y) {
        auto out = row.begin() + 1; // filter 0: none
        std::uint32_t lastColour = 0;
        std::uint8_t lastIndex = 0;
        for (int x = 0; x < picture.width; ++x) {
            const std::uint32_t colour = picture.at(x, y);
            if (palette) {
                if (colour != lastColour || x == 0) {
                    lastIndex = static_cast<std::uint8_t>(
                        std::find(palette->begin(), palette->end(), colour) - palette->begin());
                    lastColour = colour;
                }
                out = std::fill_n(out, zoom, lastIndex);
            } else {
                for (std::size_t copy = 0; copy < zoom; ++copy)
                    for (const int shift : {16, 8, 0})
                        *out++ = static_cast<std::uint8_t>(colour >> shift);
            }
        }
        for (std::size_t copy = 0; copy < zoom; ++copy)
            packer.add(row);
    }

    std::string png = "\x89PNG\r\n\x1A\n";
    std::string header;
    put32(header, static_cast<std::uint32_t>(width * zoom));
    put32(header, static_cast<std::uint32_t>(static_cast<std::size_t>(picture.height) * zoom));
    header += std::string{8, static_cast<char>(palette ? 3 : 2), 0, 0, 0};
    putChunk(png, "IHDR", header);
    if (palette) {
        std::string entries;
        for (const std::uint32_t colour : *palette)
            for (const int shift : {16, 8, 0})
                entries += static_cast<char>((colour >> shift) & 0xFF);
        putChunk(png, "PLTE", entries);
    }
    putChunk(png, "IDAT", packer.finish());
    putChunk(png, "IEND", {});
    return png;
}

} // namespace korvalin
