// PNG decoding with libpng's row-by-row interface: a sheet of 6160 x 8208 pixels is read
// in a few kilobytes of rows rather than the 350 MB that the whole picture took.
#include "FileError.h"
#include "PngCodec.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <png.h>
#include <vector>

namespace korvalin {
namespace {

// What libpng reads from and where its error goes; it only ever longjmps out of its own
// calls back to unpack(), across no C++ object.
struct Reading {
    std::string_view bytes;
    std::size_t at = 0;
    bool headerRead = false; // after which a failure is a damaged picture rather than none
    char error[200] = "";
};

void readBytes(png_structp png, png_bytep out, std::size_t count) {
    auto& reading = *static_cast<Reading*>(png_get_io_ptr(png));
    if (count > reading.bytes.size() - reading.at)
        png_error(png, "the file ends inside the picture");
    std::memcpy(out, reading.bytes.data() + reading.at, count);
    reading.at += count;
}

[[noreturn]] void onError(png_structp png, png_const_charp message) {
    auto& reading = *static_cast<Reading*>(png_get_error_ptr(png));
    std::snprintf(reading.error, sizeof reading.error, "%s", message);
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

// libpng's state, freed on every way out.
struct Decoder {
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~Decoder() { png_destroy_read_struct(&png, &info, nullptr); }
};

// The rows as they come, laid over white where they are transparent.
class Rows {
public:
    Rows(const std::function<void(int, int)>& size, const std::function<void(int, PngRow)>& row)
        : size_(size), row_(row) {}

    // Takes the picture's size and how many bytes a pixel has; returns where libpng puts the
    // first row (and the next ones, of an interlaced picture).
    png_bytep begin(png_uint_32 width, png_uint_32 height, int channels, bool whole) {
        size_(static_cast<int>(width), static_cast<int>(height));
        width_ = width;
        channels_ = static_cast<std::size_t>(channels);
        const std::size_t rowBytes = width_ * channels_;
        packed_.resize(rowBytes * (whole ? height : 1));
        if (whole) {
            for (std::size_t y = 0; y < height; ++y)
                pointers_.push_back(packed_.data() + y * rowBytes);
        }
        if (channels_ == 4)
            rgb_.resize(width_ * 3);
        return packed_.data();
    }
    png_bytepp pointers() { return pointers_.data(); }

    // Hands on row `y`, from `at`.
    void deliver(png_uint_32 y, const std::uint8_t* at) {
        if (channels_ == 3) {
            row_(static_cast<int>(y), PngRow(at, width_ * 3));
            return;
        }
        for (std::size_t x = 0; x < width_; ++x, at += 4) {
            const unsigned alpha = at[3];
            for (std::size_t c = 0; c < 3; ++c)
                rgb_[3 * x + c] =
                    static_cast<std::uint8_t>((at[c] * alpha + 255 * (255 - alpha) + 127) / 255);
        }
        row_(static_cast<int>(y), rgb_);
    }

private:
    const std::function<void(int, int)>& size_;
    const std::function<void(int, PngRow)>& row_;
    std::size_t width_ = 0;
    std::size_t channels_ = 3;
    std::vector<std::uint8_t> packed_;
    std::vector<png_bytep> pointers_;
    std::vector<std::uint8_t> rgb_;
};

// Unpacks the picture into `rows`; false when libpng fails, its message in the Reading.
bool unpack(const Decoder& decoder, Reading& reading, Rows& rows) {
    png_structp png = decoder.png;
    png_infop info = decoder.info;
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_info(png, info);
    reading.headerRead = true;
    // Whatever the file holds, 8-bit RGB, with an alpha channel where it has transparency.
    png_set_expand(png);
    png_set_scale_16(png);
    png_set_gray_to_rgb(png);
    const bool interlaced = png_set_interlace_handling(png) > 1;
    png_read_update_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    png_bytep row = rows.begin(width, height, png_get_channels(png, info), interlaced);
    if (interlaced) {
        png_read_image(png, rows.pointers());
        for (png_uint_32 y = 0; y < height; ++y)
            rows.deliver(y, rows.pointers()[y]);
    } else {
        for (png_uint_32 y = 0; y < height; ++y) {
            png_read_row(png, row, nullptr);
            rows.deliver(y, row);
        }
    }
    png_read_end(png, nullptr);
    return true;
}

} // namespace

void detail::UnpackPngRows(std::string_view bytes, const std::filesystem::path& source,
                           const std::function<void(int width, int height)>& size,
                           const std::function<void(int y, PngRow row)>& row) {
    Reading reading{bytes};
    Decoder decoder;
    decoder.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &reading, onError, onWarning);
    if (decoder.png)
        decoder.info = png_create_info_struct(decoder.png);
    if (!decoder.info)
        throw FileError(source, "cannot be read: the PNG decoder ran out of memory");
    png_set_read_fn(decoder.png, &reading, readBytes);
    Rows rows(size, row);
    if (!unpack(decoder, reading, rows))
        throw FileError(source,
                        std::string(reading.headerRead ? "is a damaged PNG picture: "
                                                       : "is not a readable PNG picture: ") +
                            reading.error);
}

} // namespace korvalin
