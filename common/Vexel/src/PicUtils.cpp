// PNG decoding with libpng, the alpha blend, and the opaque loaders.
#include "common/Vexel/src/PicUtils.h"

#include "base/Files.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace {

// Pictures beyond these limits are refused rather than allocated: the skin's
// largest picture is 1016 pixels wide, and a damaged header must not make us
// reserve gigabytes.
constexpr std::uint32_t maxSide = 8192;
constexpr std::uint64_t maxPixels = 16u * 1024u * 1024u;
constexpr std::uintmax_t maxFileBytes = 64u * 1024u * 1024u;

struct MemoryReader {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t offset;
};

void readFromMemory(png_structp png, png_bytep out, png_size_t length)
{
    auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
    if (length > reader->size - reader->offset)
        png_error(png, "read past the end of the data");
    std::memcpy(out, reader->data + reader->offset, length);
    reader->offset += length;
}

void ignoreWarning(png_structp, png_const_charp) {}

void failDecode(png_structp png, png_const_charp)
{
    std::longjmp(png_jmpbuf(png), 1);
}

bool isPng(const std::uint8_t* data, std::size_t size)
{
    return size >= 8 && png_sig_cmp(data, 0, 8) == 0;
}

std::vector<std::uint8_t> readFile(const std::string& fileName)
{
    std::error_code error;
    const auto size = std::filesystem::file_size(fileName, error);
    if (error || size > maxFileBytes)
        return {};
    std::ifstream in(fileName, std::ios::binary);
    std::vector<std::uint8_t> bytes(size);
    if (!in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size)))
        return {};
    return bytes;
}

[[noreturn]] void raiseFileNotFound(const std::string& file, const char* operation, int line)
{
    throw std::runtime_error("File not found:" + file + " src=common\\Vexel\\src\\PicUtils:" + operation + ":"
                             + std::to_string(line));
}

} // namespace

// Runs libpng over one file's bytes, either into an AlphaImage (colour rows, alpha plane
// and transparent colour) or into a bitmap of the colour rows alone, as the opaque loaders
// need it. Kept apart so that the longjmp of a decoding error only crosses
// plain data and containers constructed before it.
class PngDecoder {
public:
    static bool Decode(const std::uint8_t* data, std::size_t size, AlphaImage& image)
    {
        std::vector<std::uint8_t> pixels;
        std::vector<png_bytep> rows;
        const bool ok = Run(data, size, [&](png_structp png, png_infop info, png_uint_32 width, png_uint_32 height) {
            return ReadAlphaImage(png, info, width, height, pixels, rows, image);
        });
        if (!ok)
            image = AlphaImage();
        return ok;
    }

    static QImage DecodeOpaque(const std::uint8_t* data, std::size_t size)
    {
        QImage bitmap;
        std::vector<png_bytep> rows;
        const bool ok = Run(data, size, [&](png_structp png, png_infop info, png_uint_32 width, png_uint_32 height) {
            return ReadBitmap(png, info, width, height, rows, bitmap);
        });
        return ok ? bitmap.convertToFormat(QImage::Format_RGB32) : QImage();
    }

private:
    // Sets up libpng over the bytes, reads the header and hands over to read, which chooses
    // the transformations and reads the rows. False for anything that does not decode.
    template <typename Read>
    static bool Run(const std::uint8_t* data, std::size_t size, const Read& read)
    {
        png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, failDecode, ignoreWarning);
        if (!png)
            return false;
        png_infop info = png_create_info_struct(png);
        if (!info) {
            png_destroy_read_struct(&png, nullptr, nullptr);
            return false;
        }
        MemoryReader reader{data, size, 0};
        bool ok = false;
        if (setjmp(png_jmpbuf(png)) == 0) {
            png_set_read_fn(png, &reader, readFromMemory);
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
            // Let mutated chunks through their checksums so the fuzzer reaches the decoder.
            png_set_crc_action(png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
#endif
            png_set_user_limits(png, maxSide, maxSide);
            png_read_info(png, info);
            const png_uint_32 width = png_get_image_width(png, info);
            const png_uint_32 height = png_get_image_height(png, info);
            ok = width != 0 && height != 0 && std::uint64_t(width) * height <= maxPixels &&
                 read(png, info, width, height);
        }
        png_destroy_read_struct(&png, &info, nullptr);
        return ok;
    }

    // Every colour type becomes 8-bit RGB (palette, grey, 16-bit, packed grey).
    static void ExpandToRgb(png_structp png, int bitDepth, int colourType)
    {
        if (colourType == PNG_COLOR_TYPE_PALETTE)
            png_set_palette_to_rgb(png);
        if (colourType == PNG_COLOR_TYPE_GRAY && bitDepth < 8)
            png_set_expand_gray_1_2_4_to_8(png);
        if (bitDepth == 16)
            png_set_strip_16(png);
        if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA)
            png_set_gray_to_rgb(png);
        png_set_interlace_handling(png);
    }

    static void ReadRows(png_structp png, std::uint8_t* first, std::size_t rowBytes, png_uint_32 height,
                         std::vector<png_bytep>& rows)
    {
        rows.resize(height);
        for (png_uint_32 y = 0; y < height; ++y)
            rows[y] = first + y * rowBytes;
        png_read_image(png, rows.data());
        png_read_end(png, nullptr);
    }

    static bool ReadAlphaImage(png_structp png, png_infop info, png_uint_32 width, png_uint_32 height,
                               std::vector<std::uint8_t>& pixels, std::vector<png_bytep>& rows, AlphaImage& image)
    {
        const int bitDepth = png_get_bit_depth(png, info);
        const int colourType = png_get_color_type(png, info);
        std::optional<AlphaImage::Rgb> transparent;
        const bool hasTrns = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
        if (hasTrns)
            transparent = KeepableTransparentColour(png, info, bitDepth, colourType);
        // A palette's transparency table and the 16-bit or packed-grey transparent
        // colours become an alpha plane; 8-bit true-colour and grey files keep
        // their single transparent colour as it is declared.
        if (hasTrns && !transparent)
            png_set_tRNS_to_alpha(png);
        ExpandToRgb(png, bitDepth, colourType);
        png_read_update_info(png, info);

        const int channels = png_get_channels(png, info);
        const png_size_t rowBytes = png_get_rowbytes(png, info);
        if ((channels != 3 && channels != 4) || rowBytes != png_size_t(width) * channels)
            return false;
        pixels.resize(rowBytes * height);
        ReadRows(png, pixels.data(), rowBytes, height, rows);

        SplitChannels(pixels, channels, int(width), int(height), image);
        image.transparent_ = transparent;
        return true;
    }

    // The colour rows alone, alpha and transparency dropped, read by libpng straight into
    // a 24-bit bitmap (Qt's vectorised conversion makes it 32-bit faster than libpng's filler).
    static bool ReadBitmap(png_structp png, png_infop info, png_uint_32 width, png_uint_32 height,
                           std::vector<png_bytep>& rows, QImage& bitmap)
    {
        ExpandToRgb(png, png_get_bit_depth(png, info), png_get_color_type(png, info));
        png_set_strip_alpha(png);
        png_read_update_info(png, info);
        if (png_get_channels(png, info) != 3 || png_get_rowbytes(png, info) != png_size_t(width) * 3)
            return false;
        bitmap = QImage(int(width), int(height), QImage::Format_RGB888);
        if (bitmap.isNull())
            return false;
        ReadRows(png, bitmap.bits(), std::size_t(bitmap.bytesPerLine()), height, rows);
        return true;
    }

    static std::optional<AlphaImage::Rgb> KeepableTransparentColour(png_structp png, png_infop info, int bitDepth,
                                                                    int colourType)
    {
        if (bitDepth != 8)
            return std::nullopt;
        png_bytep alphas = nullptr;
        int count = 0;
        png_color_16p colour = nullptr;
        png_get_tRNS(png, info, &alphas, &count, &colour);
        if (!colour)
            return std::nullopt;
        if (colourType == PNG_COLOR_TYPE_RGB)
            return AlphaImage::Rgb{std::uint8_t(colour->red), std::uint8_t(colour->green), std::uint8_t(colour->blue)};
        if (colourType == PNG_COLOR_TYPE_GRAY)
            return AlphaImage::Rgb{std::uint8_t(colour->gray), std::uint8_t(colour->gray), std::uint8_t(colour->gray)};
        return std::nullopt;
    }

    static void SplitChannels(const std::vector<std::uint8_t>& pixels, int channels, int width, int height,
                              AlphaImage& image)
    {
        const std::size_t count = std::size_t(width) * height;
        image.width_ = width;
        image.height_ = height;
        image.rgb_.resize(count * 3);
        image.alpha_.clear();
        if (channels == 3) {
            std::copy(pixels.begin(), pixels.end(), image.rgb_.begin());
            return;
        }
        image.alpha_.resize(count);
        for (std::size_t i = 0; i < count; ++i) {
            std::copy_n(&pixels[i * 4], 3, &image.rgb_[i * 3]);
            image.alpha_[i] = pixels[i * 4 + 3];
        }
    }
};

AlphaImage::AlphaImage(const std::string& fileName)
{
    const std::vector<std::uint8_t> bytes = readFile(fileName);
    *this = FromMemory(bytes.data(), bytes.size());
}

AlphaImage AlphaImage::FromMemory(const std::uint8_t* data, std::size_t size)
{
    AlphaImage image;
    // PNG is the one format we decode; anything else is undecodable.
    if (data && isPng(data, size))
        PngDecoder::Decode(data, size, image);
    return image;
}

AlphaImage::Rgb AlphaImage::Pixel(int x, int y) const
{
    const std::size_t i = (std::size_t(y) * width_ + x) * 3;
    return {rgb_[i], rgb_[i + 1], rgb_[i + 2]};
}

std::uint8_t AlphaImage::Alpha(int x, int y) const
{
    return alpha_.empty() ? 255 : alpha_[std::size_t(y) * width_ + x];
}

QImage AlphaImage::MakeBitmap() const
{
    if (Empty())
        return QImage();
    QImage bitmap(width_, height_, QImage::Format_RGB888);
    for (int y = 0; y < height_; ++y)
        std::memcpy(bitmap.scanLine(y), &rgb_[std::size_t(y) * width_ * 3], std::size_t(width_) * 3);
    return bitmap;
}

QImage AlphaImage::MakeArgbImage() const
{
    if (Empty())
        return QImage();
    QImage image(width_, height_, QImage::Format_ARGB32);
    for (int y = 0; y < height_; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width_; ++x) {
            const Rgb colour = Pixel(x, y);
            row[x] = qRgba(colour[0], colour[1], colour[2], Alpha(x, y));
        }
    }
    return image;
}

namespace {

std::uint8_t blendChannel(int destination, int source, int alpha)
{
    return std::uint8_t((destination * (255 - alpha) + source * alpha) / 256);
}

// Colour between the four source pixels around a scaled position, in 1/256 steps.
AlphaImage::Rgb interpolate(const AlphaImage& image, int dx, int dy, int w, int h)
{
    const std::int64_t fx = std::max<std::int64_t>(0, (std::int64_t(dx) * 2 + 1) * image.Width() * 128 / w - 128);
    const std::int64_t fy = std::max<std::int64_t>(0, (std::int64_t(dy) * 2 + 1) * image.Height() * 128 / h - 128);
    const int x0 = std::min(int(fx >> 8), image.Width() - 1);
    const int y0 = std::min(int(fy >> 8), image.Height() - 1);
    const int x1 = std::min(x0 + 1, image.Width() - 1);
    const int y1 = std::min(y0 + 1, image.Height() - 1);
    const int tx = int(fx & 255);
    const int ty = int(fy & 255);
    const auto p00 = image.Pixel(x0, y0), p10 = image.Pixel(x1, y0);
    const auto p01 = image.Pixel(x0, y1), p11 = image.Pixel(x1, y1);
    AlphaImage::Rgb out{};
    for (int c = 0; c < 3; ++c) {
        const int top = p00[c] * (256 - tx) + p10[c] * tx;
        const int bottom = p01[c] * (256 - tx) + p11[c] * tx;
        out[c] = std::uint8_t((top * (256 - ty) + bottom * ty) >> 16);
    }
    return out;
}

} // namespace

bool AlphaImage::Draw(QImage& target, int x, int y, int w, int h, bool smooth) const
{
    if (Empty() || target.isNull())
        return false;
    if (w == -1 || h == -1) {
        // The picture's own layout size; drawn smooth when the target's pixels are not its own.
        const bool ownSize = target.devicePixelRatio() == scale_;
        smooth = smooth || !ownSize;
        if (w == -1)
            w = LogicalWidth();
        if (h == -1)
            h = LogicalHeight();
    }
    if (w <= 0 || h <= 0)
        return false;
    const double ratio = target.devicePixelRatio();
    if (ratio != 1.0) {
        x = int(std::lround(x * ratio));
        y = int(std::lround(y * ratio));
        w = std::max(1, int(std::lround(w * ratio)));
        h = std::max(1, int(std::lround(h * ratio)));
    }
    BlendInto(target, x, y, w, h, smooth);
    return true;
}

// Blends onto the target's own pixels: (x, y) and w x h are in target pixels.
void AlphaImage::BlendInto(QImage& target, int x, int y, int w, int h, bool smooth) const
{
    // Work on 32-bit pixels; other target formats are converted and back.
    const QImage::Format original = target.format();
    const bool direct = original == QImage::Format_RGB32 || original == QImage::Format_ARGB32;
    QImage converted;
    QImage& canvas = direct ? target : (converted = target.convertToFormat(QImage::Format_ARGB32));

    const int left = std::max(x, 0);
    const int top = std::max(y, 0);
    const int right = std::min<std::int64_t>(std::int64_t(x) + w, canvas.width());
    const int bottom = std::min<std::int64_t>(std::int64_t(y) + h, canvas.height());
    const bool ownSize = w == width_ && h == height_;
    for (int ty = top; ty < bottom; ++ty) {
        auto* line = reinterpret_cast<QRgb*>(canvas.scanLine(ty));
        const int dy = ty - y;
        const int sy = ownSize ? dy : int(std::int64_t(dy) * height_ / h);
        for (int tx = left; tx < right; ++tx) {
            const int dx = tx - x;
            const int sx = ownSize ? dx : int(std::int64_t(dx) * width_ / w);
            const Rgb nearest = Pixel(sx, sy);
            if (transparent_ && nearest == *transparent_)
                continue;
            const int a = Alpha(sx, sy);
            if (a == 0)
                continue;
            const Rgb source = (smooth && !ownSize) ? interpolate(*this, dx, dy, w, h) : nearest;
            const QRgb old = line[tx];
            if (a == 255) {
                line[tx] = qRgba(source[0], source[1], source[2], qAlpha(old));
                continue;
            }
            line[tx] = qRgba(blendChannel(qRed(old), source[0], a), blendChannel(qGreen(old), source[1], a),
                             blendChannel(qBlue(old), source[2], a), qAlpha(old));
        }
    }
    if (!direct) {
        const double ratio = target.devicePixelRatio();
        target = converted.convertToFormat(original);
        target.setDevicePixelRatio(ratio);
    }
}

std::string PictureFileAtScale(const std::string& file, int scale)
{
    if (scale <= 1)
        return file;
    const std::size_t slash = file.find_last_of('/');
    std::size_t dot = file.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        dot = file.size();
    return file.substr(0, dot) + "@" + std::to_string(scale) + "x" + file.substr(dot);
}

int PictureScaleFor(double devicePixelRatio)
{
    return devicePixelRatio > 1.0 ? 2 : 1;
}

EncodedPicture EncodedPicture::ForScreen(const std::string& file, double devicePixelRatio)
{
    EncodedPicture picture;
    const int scale = PictureScaleFor(devicePixelRatio);
    if (scale > 1) {
        picture.bytes = readFile(PictureFileAtScale(file, scale));
        if (!picture.bytes.empty()) {
            picture.scale = scale;
            return picture;
        }
    }
    picture.bytes = readFile(file);
    return picture;
}

QImage EncodedPicture::DecodeBitmap() const
{
    if (!isPng(bytes.data(), bytes.size()))
        return QImage();
    QImage bitmap = PngDecoder::DecodeOpaque(bytes.data(), bytes.size());
    if (!bitmap.isNull())
        bitmap.setDevicePixelRatio(scale);
    return bitmap;
}

AlphaImage EncodedPicture::DecodeAlphaImage() const
{
    AlphaImage image = AlphaImage::FromMemory(bytes.data(), bytes.size());
    if (!image.Empty())
        image.scale_ = scale;
    return image;
}

QImage DecodeBitmapForScreen(const std::string& file, double devicePixelRatio)
{
    return EncodedPicture::ForScreen(file, devicePixelRatio).DecodeBitmap();
}

AlphaImage AlphaImage::ForScreen(const std::string& fileName, double devicePixelRatio)
{
    return EncodedPicture::ForScreen(fileName, devicePixelRatio).DecodeAlphaImage();
}

QImage BitmapAtRatio(const QImage& bitmap, double ratio)
{
    if (bitmap.isNull() || bitmap.devicePixelRatio() == ratio)
        return bitmap;
    const QSizeF layoutSize = bitmap.deviceIndependentSize();
    const QSize pixels(std::max(1, int(std::lround(layoutSize.width() * ratio))),
                       std::max(1, int(std::lround(layoutSize.height() * ratio))));
    QImage resampled = bitmap.convertToFormat(QImage::Format_RGB32)
                           .scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    resampled.setDevicePixelRatio(ratio);
    return resampled;
}

void LoadImageToBitmap(QImage& target, const std::string& file, double devicePixelRatio)
{
    if (!FileExists(file))
        raiseFileNotFound(file, "LoadImageToBitmap", __LINE__);
    target = DecodeBitmapForScreen(file, devicePixelRatio);
}

void LoadImageToPicture(TPicture& target, const std::string& file, double devicePixelRatio)
{
    if (!FileExists(file))
        raiseFileNotFound(file, "LoadImageToPicture", __LINE__);
    target.Bitmap = DecodeBitmapForScreen(file, devicePixelRatio);
}
