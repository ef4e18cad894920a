#include "frontend/png_file.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace frontend {
namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// libpng's complaint, kept for the message instead of printed on stderr; errno says why a write failed.
struct PngErrors {
    std::string text;
    int system = 0;
};

void OnPngError(png_structp png, png_const_charp message)
{
    auto* errors = static_cast<PngErrors*>(png_get_error_ptr(png));
    errors->system = errno;
    errors->text = message;
    png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

bool WritePngFile(std::FILE* file, const console::Picture& picture, PngChannels channels, PngErrors& errors)
{
    const std::size_t perPixel = channels == PngChannels::Rgba ? 4 : 3;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &errors, OnPngError, OnPngWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        errors.text = "out of memory";
        return false;
    }
    std::vector<png_byte> row(std::size_t{picture.width} * perPixel);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    errno = 0;
    // Field pictures are written by the thousand: favour speed over size.
    png_set_compression_level(png, 1);
    png_set_IHDR(png, info, picture.width, picture.height, 8,
                 channels == PngChannels::Rgba ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (std::uint32_t y = 0; y < picture.height; ++y) {
        for (std::uint32_t x = 0; x < picture.width; ++x) {
            const std::uint32_t p = picture.at(x, y);
            for (std::size_t c = 0; c < perPixel; ++c) row[perPixel * x + c] = (p >> (8 * c)) & 0xFF;
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

bool WritePng(const std::string& path, const console::Picture& picture, std::string& error, PngChannels channels)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    PngErrors errors;
    bool ok = WritePngFile(file, picture, channels, errors);
    if (ok && std::fflush(file) != 0) {
        ok = false;
        errors.system = errno;
    }
    if (std::fclose(file) != 0 && ok) {
        ok = false;
        errors.system = errno;
    }
    if (ok) return true;
    // Half a picture is no picture.
    std::remove(path.c_str());
    error = "cannot write " + path + ": " +
            (errors.system != 0 ? std::string(std::strerror(errors.system)) : errors.text);
    return false;
}

bool ReadPng(const std::string& path, console::Picture& picture, std::string& error)
{
    File file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        error = "cannot read " + path + ": " + std::strerror(errno);
        return false;
    }
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        error = "cannot read " + path + ": out of memory";
        return false;
    }
    std::vector<png_byte> pixels;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        error = path + " is not a readable PNG file";
        return false;
    }
    png_init_io(png, file.get());
    png_read_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info), height = png_get_image_height(png, info);
    const int type = png_get_color_type(png, info), depth = png_get_bit_depth(png, info);
    if (depth != 8 || (type != PNG_COLOR_TYPE_RGB && type != PNG_COLOR_TYPE_RGBA) || width == 0 || height == 0 ||
        width > 16384 || height > 16384) {
        png_destroy_read_struct(&png, &info, nullptr);
        error = path + " is not an 8-bit RGB or RGBA PNG of a sensible size";
        return false;
    }
    const std::size_t channels = type == PNG_COLOR_TYPE_RGBA ? 4 : 3;
    pixels.resize(std::size_t{width} * height * channels);
    std::vector<png_bytep> rows(height);
    for (png_uint_32 y = 0; y < height; ++y) rows[y] = pixels.data() + std::size_t{y} * width * channels;
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);

    picture.width = width;
    picture.height = height;
    picture.pixels.resize(std::size_t{width} * height);
    for (std::size_t i = 0; i < picture.pixels.size(); ++i) {
        const png_byte* p = pixels.data() + i * channels;
        const std::uint32_t alpha = channels == 4 ? p[3] : 0xFF;
        picture.pixels[i] = alpha << 24 | p[0] | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16);
    }
    return true;
}

} // namespace frontend
