// PicUtils: decodes the skin's PNG pictures (libpng) into colour rows plus an
// optional alpha plane, and loads them opaque into the canvas types the widgets use.
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

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Empty() const { return width_ == 0 || height_ == 0; }
    bool HasAlpha() const { return !alpha_.empty(); }
    const std::optional<Rgb>& TransparentColour() const { return transparent_; }

    // Colour of pixel (x, y), top-down; alpha is 255 where there is no plane.
    Rgb Pixel(int x, int y) const;
    std::uint8_t Alpha(int x, int y) const;

    // The colour rows only (alpha and transparent colour dropped), as an RGB888
    // image; a null image when empty.
    QImage MakeBitmap() const;

    // Paints the image with its top-left corner at (x, y), w x h pixels (-1 = own
    // size), clipped to the target. Blends per channel as
    // (dst * (255 - a) + src * a) / 256 for 0 < a < 255; a = 0 keeps the target,
    // a = 255 and pictures without alpha replace it. Scaled drawing samples the
    // rounded-down source position; smooth interpolates the colour only.
    // Returns false and paints nothing for an empty image, a null target or a
    // zero width or height.
    bool Draw(QImage& target, int x, int y, int w = -1, int h = -1, bool smooth = false) const;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint8_t> rgb_;   // top-down rows, 3 bytes per pixel, no padding
    std::vector<std::uint8_t> alpha_; // one byte per pixel, or empty
    std::optional<Rgb> transparent_;

    friend class PngDecoder;
};

// The picture a control or canvas shows: the decoded colour rows as a bitmap.
struct TPicture {
    QImage Bitmap; // null when nothing was loaded or decoding failed

    int Width() const { return Bitmap.width(); }
    int Height() const { return Bitmap.height(); }
    bool Empty() const { return Bitmap.isNull(); }
};


// Both load a picture opaque (alpha and transparent colour dropped). A missing
// file raises std::runtime_error "File not found:<file> src=common\Vexel\src\PicUtils:<operation>:<line>"
// and leaves the target untouched; a file that does not decode leaves an empty image.
void LoadImageToBitmap(QImage& target, const std::string& file);
void LoadImageToPicture(TPicture& target, const std::string& file);
