// The floor for render and screen: libpng writing the same picture. It reads a PNG at scale
// 1 and writes it enlarged `scale` times with a palette, one row at a time, as a program that
// only writes would, so its time is what the pixels cost to pack.
//
//   png_floor IN.png SCALE OUT.png
#include <cstdio>
#include <cstdlib>
#include <png.h>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: png_floor IN.png SCALE OUT.png\n");
        return 2;
    }
    const int scale = std::atoi(argv[2]);
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (scale < 1 || !png_image_begin_read_from_file(&image, argv[1]))
        return 1;
    image.format = PNG_FORMAT_RGB_COLORMAP;
    std::vector<png_byte> pixels(PNG_IMAGE_SIZE(image));
    std::vector<png_byte> colours(PNG_IMAGE_COLORMAP_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, colours.data()))
        return 1;

    FILE* out = std::fopen(argv[3], "wb");
    png_structp writer = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(writer);
    if (out == nullptr || writer == nullptr || info == nullptr || setjmp(png_jmpbuf(writer)))
        return 1;
    png_init_io(writer, out);
    png_set_IHDR(writer, info, image.width * static_cast<png_uint_32>(scale),
                 image.height * static_cast<png_uint_32>(scale), 8, PNG_COLOR_TYPE_PALETTE,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_filter(writer, 0, PNG_FILTER_NONE);
    png_set_PLTE(writer, info, reinterpret_cast<png_colorp>(colours.data()),
                 static_cast<int>(image.colormap_entries));
    png_write_info(writer, info);
    std::vector<png_byte> row(static_cast<std::size_t>(image.width) *
                              static_cast<std::size_t>(scale));
    for (png_uint_32 y = 0; y < image.height; ++y) {
        for (png_uint_32 x = 0; x < image.width; ++x)
            for (int copy = 0; copy < scale; ++copy)
                row[x * static_cast<png_uint_32>(scale) + static_cast<png_uint_32>(copy)] =
                    pixels[y * image.width + x];
        for (int copy = 0; copy < scale; ++copy)
            png_write_row(writer, row.data());
    }
    png_write_end(writer, info);
    png_destroy_write_struct(&writer, &info);
    return std::fclose(out) == 0 ? 0 : 1;
}
