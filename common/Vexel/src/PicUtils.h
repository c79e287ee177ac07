// PicUtils: decodes the skin's PNG pictures (libpng) into colour rows plus an
// optional alpha plane, and loads them opaque into the canvas types the widgets use.
// The skin holds each picture twice: "Name.png" for ordinary screens and "Name@2x.png",
// twice as large, for high-density ones; the loaders pick the one that fits the screen.
#pragma once

#include <QImage>

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A decoded picture that keeps its alpha plane and its declared transparent
// colour. Every format is turned into 24-bit colour rows; a file that cannot be
// opened or decoded gives an empty image (0 x 0). Never throws.
class AlphaImage {
public:
    using Rgb = std::array<std::uint8_t, 3>;

    AlphaImage() = default;
    explicit AlphaImage(const std::string& fileName);
    // Decodes a picture held in memory; the format is found from the content.
    static AlphaImage FromMemory(const std::uint8_t* data, std::size_t size);
    // The skin picture that fits a screen of this device pixel ratio: the "@2x" file, when
    // there is one, above ratio 1 (its Scale() is then 2), else the file itself.
    static AlphaImage ForScreen(const std::string& fileName, double devicePixelRatio);

    // Size in pixels of the file.
    int Width() const { return width_; }
    int Height() const { return height_; }
    // How many pixels of the file make one layout pixel: 1, or 2 for an "@2x" picture;
    // the size it is drawn at by default is Width() / Scale() x Height() / Scale().
    int Scale() const { return scale_; }
    int LogicalWidth() const { return width_ / scale_; }
    int LogicalHeight() const { return height_ / scale_; }
    bool Empty() const { return width_ == 0 || height_ == 0; }
    bool HasAlpha() const { return !alpha_.empty(); }
    const std::optional<Rgb>& TransparentColour() const { return transparent_; }

    // Colour of pixel (x, y), top-down; alpha is 255 where there is no plane.
    Rgb Pixel(int x, int y) const;
    std::uint8_t Alpha(int x, int y) const;

    // The colour rows only (alpha and transparent colour dropped), as an RGB888
    // image; a null image when empty.
    QImage MakeBitmap() const;
    // The colour rows with their alpha (255 where there is no plane) as an ARGB32 image; a
    // null image when empty.
    QImage MakeArgbImage() const;

    // Paints the image with its top-left corner at (x, y), w x h pixels (-1 = own
    // size), clipped to the target. Position and size are in the target's layout pixels:
    // on a target with a device pixel ratio, and for a picture of another scale, they are
    // converted to the target's pixels, and a picture drawn at a size not its own because
    // of that is drawn smooth. Blends per channel as
    // (dst * (255 - a) + src * a) / 256 for 0 < a < 255; a = 0 keeps the target,
    // a = 255 and pictures without alpha replace it. Scaled drawing samples the
    // rounded-down source position; smooth interpolates the colour only.
    // Returns false and paints nothing for an empty image, a null target or a
    // zero width or height.
    bool Draw(QImage& target, int x, int y, int w = -1, int h = -1, bool smooth = false) const;

private:
    void BlendInto(QImage& target, int x, int y, int w, int h, bool smooth) const;

    int width_ = 0;
    int height_ = 0;
    int scale_ = 1;
    std::vector<std::uint8_t> rgb_;   // top-down rows, 3 bytes per pixel, no padding
    std::vector<std::uint8_t> alpha_; // one byte per pixel, or empty
    std::optional<Rgb> transparent_;

    friend class PngDecoder;
    friend struct EncodedPicture;
};

// The picture a control or canvas shows: the decoded colour rows as a bitmap.
struct TPicture {
    QImage Bitmap; // null when nothing was loaded or decoding failed

    int Width() const { return Bitmap.width(); }
    int Height() const { return Bitmap.height(); }
    bool Empty() const { return Bitmap.isNull(); }
};


// The file of a skin picture at a scale: "pics/Key.png" at 2 is "pics/Key@2x.png"; at 1 the
// file itself.
std::string PictureFileAtScale(const std::string& file, int scale);
// The scale of the skin pictures that fits a screen: 2 above device pixel ratio 1, else 1.
int PictureScaleFor(double devicePixelRatio);

// A picture file read into memory and not decoded yet, so that it can be decoded when it
// is first shown: the version of a skin picture that fits a screen.
struct EncodedPicture {
    std::vector<std::uint8_t> bytes; // empty when the file could not be read
    int scale = 1;                   // 2 for an "@2x" file

    // Reads the "@2x" file when there is one and the screen's ratio is above 1, else the file.
    static EncodedPicture ForScreen(const std::string& file, double devicePixelRatio);
    // The colour rows as a 32-bit bitmap (QImage::Format_RGB32) with device pixel ratio
    // scale, alpha and transparent colour dropped; a null image when it does not decode.
    QImage DecodeBitmap() const;
    // The picture with its alpha plane; Scale() is scale. Empty when it does not decode.
    AlphaImage DecodeAlphaImage() const;
};

// The picture of a file that fits a screen of this device pixel ratio, decoded as
// EncodedPicture::DecodeBitmap does.
QImage DecodeBitmapForScreen(const std::string& file, double devicePixelRatio);

// The bitmap as it is drawn on a canvas of device pixel ratio ratio: itself when it already
// has that ratio, else resampled smoothly to its layout size times ratio (RGB32).
QImage BitmapAtRatio(const QImage& bitmap, double ratio);

// Both load a picture opaque (alpha and transparent colour dropped), the one that fits a
// screen of devicePixelRatio. A missing file raises std::runtime_error
// "File not found:<file> src=common\Vexel\src\PicUtils:<operation>:<line>"
// and leaves the target untouched; a file that does not decode leaves an empty image.
void LoadImageToBitmap(QImage& target, const std::string& file, double devicePixelRatio = 1.0);
void LoadImageToPicture(TPicture& target, const std::string& file, double devicePixelRatio = 1.0);
