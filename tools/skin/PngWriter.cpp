// PNG writing with libpng: no row filters, zlib's default level.
#include "tools/skin/PngWriter.h"

#include <QFile>

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <memory>

namespace skin {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

void failWrite(png_structp png, png_const_charp)
{
    std::longjmp(png_jmpbuf(png), 1);
}

// Kept apart so that the longjmp of a write error crosses no object with a destructor.
bool writeRows(png_structp png, png_infop info, std::FILE* out, const QImage& pixels, bool alpha)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_init_io(png, out);
    png_set_IHDR(png, info, png_uint_32(pixels.width()), png_uint_32(pixels.height()), 8,
                 alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    png_set_compression_level(png, 6);
    png_write_info(png, info);
    for (int y = 0; y < pixels.height(); ++y)
        png_write_row(png, pixels.constScanLine(y));
    png_write_end(png, nullptr);
    return true;
}

} // namespace

bool WritePng(const QImage& image, const QString& file)
{
    const bool alpha = image.hasAlphaChannel();
    const QImage pixels = image.convertToFormat(alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    std::unique_ptr<std::FILE, FileCloser> out(std::fopen(QFile::encodeName(file).constData(), "wb"));
    if (!out)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, failWrite, nullptr);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    const bool ok = info && writeRows(png, info, out.get(), pixels, alpha);
    png_destroy_write_struct(&png, &info);
    return ok && std::fflush(out.get()) == 0 && !std::ferror(out.get());
}

} // namespace skin
