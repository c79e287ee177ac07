// Feeds arbitrary bytes to the PNG decoder and draws what decodes: a damaged
// file must give an empty image or a sound one, never a crash.
#include "common/Vexel/src/PicUtils.h"

#include <png.h>

#include <cstdint>
#include <vector>

namespace {

void decodeAndDraw(const std::uint8_t* data, std::size_t size)
{
    const AlphaImage image = AlphaImage::FromMemory(data, size);
    if (image.Empty())
        return;
    QImage target(16, 16, QImage::Format_RGB32);
    target.fill(0);
    image.Draw(target, -3, -2);
    image.Draw(target, 1, 1, 7, 5, true);
    (void)image.MakeBitmap();
}

void appendBytes(png_structp png, png_bytep data, png_size_t length)
{
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

// Encodes a small, well-formed picture whose header choices and pixels come
// from the input, so every colour type, depth and transparency reaches the decoder.
std::vector<std::uint8_t> wellFormedPng(const std::uint8_t* data, std::size_t size)
{
    static const int types[] = {PNG_COLOR_TYPE_GRAY, PNG_COLOR_TYPE_RGB, PNG_COLOR_TYPE_PALETTE,
                                PNG_COLOR_TYPE_GRAY_ALPHA, PNG_COLOR_TYPE_RGB_ALPHA};
    static const int depths[] = {1, 2, 4, 8, 16};
    if (size < 4)
        return {};
    const int type = types[data[0] % 5];
    int depth = depths[data[1] % 5];
    if (type == PNG_COLOR_TYPE_PALETTE && depth == 16)
        depth = 8;
    if ((type != PNG_COLOR_TYPE_GRAY && type != PNG_COLOR_TYPE_PALETTE) && depth < 8)
        depth = 8;
    const int width = 1 + data[2] % 24;
    const int height = 1 + (data[3] & 15);
    const bool interlace = data[3] & 16;
    const bool transparency = data[3] & 32;

    std::vector<std::uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &out, appendBytes, nullptr);
    png_set_IHDR(png, info, width, height, depth, type, interlace ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_color palette[256];
    png_byte alphas[256];
    for (int i = 0; i < 256; ++i) {
        palette[i] = {png_byte(i), png_byte(255 - i), png_byte(i * 7)};
        alphas[i] = png_byte(i * 13);
    }
    if (type == PNG_COLOR_TYPE_PALETTE)
        png_set_PLTE(png, info, palette, 1 << std::min(depth, 8));
    if (transparency && type == PNG_COLOR_TYPE_PALETTE)
        png_set_tRNS(png, info, alphas, 1 << std::min(depth, 8), nullptr);
    if (transparency && (type == PNG_COLOR_TYPE_GRAY || type == PNG_COLOR_TYPE_RGB)) {
        png_color_16 key{0, png_uint_16(data[0] & 1), png_uint_16(data[1] & 1), 0, png_uint_16(data[2] & 1)};
        png_set_tRNS(png, info, nullptr, 0, &key);
    }
    png_write_info(png, info);
    const int channels = type == PNG_COLOR_TYPE_RGB ? 3 : type == PNG_COLOR_TYPE_RGB_ALPHA ? 4
                         : type == PNG_COLOR_TYPE_GRAY_ALPHA ? 2 : 1;
    const std::size_t rowBytes = (std::size_t(width) * channels * depth + 7) / 8;
    std::vector<std::uint8_t> pixels(rowBytes * height);
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = size > 4 ? data[4 + i % (size - 4)] : 0;
    std::vector<png_bytep> rows(height);
    for (int y = 0; y < height; ++y)
        rows[y] = pixels.data() + y * rowBytes;
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    decodeAndDraw(data, size);
    std::vector<std::uint8_t> file = wellFormedPng(data, size);
    decodeAndDraw(file.data(), file.size());
    // The same picture with one byte damaged where the input says.
    if (!file.empty() && size > 5) {
        file[(data[4] * 131u + data[5]) % file.size()] ^= data[size - 1] | 1;
        decodeAndDraw(file.data(), file.size());
    }
    return 0;
}
