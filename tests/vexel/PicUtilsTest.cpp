// Decoding, blending and the loaders' messages of PicUtils, on PNG files written
// here with libpng so that every colour type and the transparency chunks are exact.
#include "common/Vexel/src/PicUtils.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;

struct PngFixture {
    int width = 1;
    int height = 1;
    int colourType = PNG_COLOR_TYPE_RGB;
    int bitDepth = 8;
    std::vector<std::uint8_t> bytes; // packed rows, as libpng expects them
    std::vector<png_color> palette;
    std::vector<png_byte> paletteAlpha;
    std::optional<png_color_16> transparent;
};

void writePng(const std::string& file, const PngFixture& fixture)
{
    FILE* out = std::fopen(file.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, out);
    png_set_IHDR(png, info, fixture.width, fixture.height, fixture.bitDepth, fixture.colourType, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!fixture.palette.empty())
        png_set_PLTE(png, info, fixture.palette.data(), int(fixture.palette.size()));
    if (!fixture.paletteAlpha.empty())
        png_set_tRNS(png, info, fixture.paletteAlpha.data(), int(fixture.paletteAlpha.size()), nullptr);
    if (fixture.transparent) {
        png_color_16 colour = *fixture.transparent;
        png_set_tRNS(png, info, nullptr, 0, &colour);
    }
    png_write_info(png, info);
    const std::size_t rowBytes = fixture.bytes.size() / fixture.height;
    for (int y = 0; y < fixture.height; ++y)
        png_write_row(png, fixture.bytes.data() + y * rowBytes);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(out);
}

class PicUtilsTest : public testing::Test {
protected:
    void SetUp() override
    {
        folder_ = fs::temp_directory_path() / ("picutils-" + std::to_string(::getpid()));
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string path(const std::string& name) const { return (folder_ / name).string(); }
    std::string write(const std::string& name, const PngFixture& fixture)
    {
        writePng(path(name), fixture);
        return path(name);
    }
    // A 1 x 1 true-colour picture with alpha.
    std::string rgba(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a)
    {
        PngFixture fixture;
        fixture.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
        fixture.bytes = {r, g, b, a};
        return write("rgba.png", fixture);
    }

    fs::path folder_;
};

// The message of the runtime_error a call throws, or "no exception".
template <typename Call>
std::string messageOf(const Call& call)
{
    try {
        call();
    } catch (const std::runtime_error& error) {
        return error.what();
    }
    return "no exception";
}

QImage filled(int w, int h, QRgb colour, QImage::Format format = QImage::Format_RGB32)
{
    QImage image(w, h, format);
    image.fill(colour);
    return image;
}

struct DecodeCase {
    const char* what;
    PngFixture fixture;
    AlphaImage::Rgb firstPixel;
    int firstAlpha;
    bool alphaPlane;
    std::optional<AlphaImage::Rgb> transparent;
};

TEST_F(PicUtilsTest, DecodesEveryColourTypeToColourRowsAndAlpha)
{
    const DecodeCase cases[] = {
        {"rgba keeps the stored colour of a clear pixel",
         {2, 1, PNG_COLOR_TYPE_RGB_ALPHA, 8, {200, 100, 50, 0, 10, 20, 30, 128}, {}, {}, {}},
         {200, 100, 50}, 0, true, std::nullopt},
        {"rgb keeps its declared transparent colour",
         {1, 1, PNG_COLOR_TYPE_RGB, 8, {1, 2, 3}, {}, {}, png_color_16{0, 1, 2, 3, 0}},
         {1, 2, 3}, 255, false, AlphaImage::Rgb{1, 2, 3}},
        {"palette with a transparency table becomes an alpha plane",
         {2, 1, PNG_COLOR_TYPE_PALETTE, 8, {1, 0}, {{9, 8, 7}, {40, 50, 60}}, {255, 0}, {}},
         {40, 50, 60}, 0, true, std::nullopt},
        {"8-bit grey with a transparent level",
         {1, 1, PNG_COLOR_TYPE_GRAY, 8, {77}, {}, {}, png_color_16{0, 0, 0, 0, 77}},
         {77, 77, 77}, 255, false, AlphaImage::Rgb{77, 77, 77}},
        {"2-bit grey expands to the full range",
         {1, 1, PNG_COLOR_TYPE_GRAY, 2, {0xC0}, {}, {}, {}}, {255, 255, 255}, 255, false, std::nullopt},
        {"16-bit colour keeps the high bytes",
         {1, 1, PNG_COLOR_TYPE_RGB, 16, {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC}, {}, {}, {}},
         {0x12, 0x56, 0x9A}, 255, false, std::nullopt},
        {"grey with alpha",
         {1, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, {90, 30}, {}, {}, {}}, {90, 90, 90}, 30, true, std::nullopt},
    };
    for (const DecodeCase& c : cases) {
        SCOPED_TRACE(c.what);
        const AlphaImage image(write("case.png", c.fixture));
        ASSERT_EQ(image.Width(), c.fixture.width);
        ASSERT_EQ(image.Height(), c.fixture.height);
        EXPECT_EQ(image.Pixel(0, 0), c.firstPixel);
        EXPECT_EQ(image.Alpha(0, 0), c.firstAlpha);
        EXPECT_EQ(image.HasAlpha(), c.alphaPlane);
        EXPECT_EQ(image.TransparentColour(), c.transparent);
        // The opaque loaders decode straight to 32-bit pixels: the same colour rows.
        QImage bitmap;
        LoadImageToBitmap(bitmap, path("case.png"));
        ASSERT_EQ(bitmap.size(), QSize(c.fixture.width, c.fixture.height));
        EXPECT_EQ(bitmap.pixel(0, 0), qRgb(c.firstPixel[0], c.firstPixel[1], c.firstPixel[2]));
    }
}

TEST_F(PicUtilsTest, FormatIsFoundFromTheContentNotTheName)
{
    PngFixture fixture;
    fixture.bytes = {5, 6, 7};
    const std::string png = write("picture.bmp", fixture);
    EXPECT_EQ(AlphaImage(png).Width(), 1);

    std::ofstream(path("bitmap.png"), std::ios::binary) << "BM\x36\0\0\0\0\0\0\0\x36\0\0\0";
    EXPECT_TRUE(AlphaImage(path("bitmap.png")).Empty());
}

TEST_F(PicUtilsTest, DamagedOrMissingFilesGiveAnEmptyImage)
{
    PngFixture fixture;
    fixture.width = 4;
    fixture.height = 4;
    fixture.bytes.assign(48, 200);
    const std::string good = write("good.png", fixture);
    std::ifstream in(good, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (std::size_t keep : {std::size_t(8), std::size_t(30), bytes.size() - 20}) {
        std::ofstream(path("cut.png"), std::ios::binary) << bytes.substr(0, keep);
        const AlphaImage image(path("cut.png"));
        EXPECT_TRUE(image.Empty()) << keep;
        EXPECT_EQ(image.Width(), 0);
        EXPECT_TRUE(image.MakeBitmap().isNull());
    }
    EXPECT_TRUE(AlphaImage(path("absent.png")).Empty());
    EXPECT_TRUE(AlphaImage(folder_.string()).Empty());
}

TEST_F(PicUtilsTest, BlendsPerChannelRoundingDown)
{
    struct BlendCase {
        std::uint8_t source, alpha, destination, expected;
    };
    const BlendCase cases[] = {
        {255, 128, 0, 127},  // (0 * 127 + 255 * 128) / 256
        {100, 64, 200, 174}, // (200 * 191 + 100 * 64) / 256 = 174.2
        {255, 0, 33, 33},    // clear keeps the target
        {255, 255, 0, 255},  // opaque replaces it exactly
        {7, 1, 250, 248},
    };
    for (const BlendCase& c : cases) {
        const AlphaImage image(rgba(c.source, c.source, c.source, c.alpha));
        QImage target = filled(1, 1, qRgb(c.destination, c.destination, c.destination));
        ASSERT_TRUE(image.Draw(target, 0, 0));
        EXPECT_EQ(qRed(target.pixel(0, 0)), c.expected) << int(c.source) << "@" << int(c.alpha);
    }
}

TEST_F(PicUtilsTest, AlphaIsDroppedByTheLoadersButKeptByAlphaImage)
{
    const std::string file = rgba(0, 0, 0, 0);
    QImage bitmap;
    LoadImageToBitmap(bitmap, file);
    ASSERT_EQ(bitmap.size(), QSize(1, 1));
    EXPECT_EQ(bitmap.pixel(0, 0), qRgb(0, 0, 0));

    QImage white = filled(1, 1, qRgb(255, 255, 255));
    AlphaImage(file).Draw(white, 0, 0);
    EXPECT_EQ(white.pixel(0, 0), qRgb(255, 255, 255));
}

TEST_F(PicUtilsTest, TransparentColourLeavesTheTarget)
{
    PngFixture fixture;
    fixture.width = 2;
    fixture.bytes = {1, 2, 3, 90, 90, 90};
    fixture.transparent = png_color_16{0, 1, 2, 3, 0};
    const AlphaImage image(write("keyed.png", fixture));
    QImage target = filled(2, 1, qRgb(255, 0, 0));
    image.Draw(target, 0, 0);
    EXPECT_EQ(target.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(target.pixel(1, 0), qRgb(90, 90, 90));
}

TEST_F(PicUtilsTest, DrawClipsScalesAndRefusesNothingToDraw)
{
    PngFixture fixture;
    fixture.width = 2;
    fixture.bytes = {255, 0, 0, 0, 0, 255};
    const AlphaImage image(write("two.png", fixture));

    QImage target = filled(3, 1, qRgb(0, 255, 0));
    ASSERT_TRUE(image.Draw(target, -1, 0)); // only the blue half lands
    EXPECT_EQ(target.pixel(0, 0), qRgb(0, 0, 255));
    EXPECT_EQ(target.pixel(1, 0), qRgb(0, 255, 0));
    EXPECT_TRUE(image.Draw(target, 50, 50)); // wholly outside: nothing, no fault

    QImage wide = filled(4, 1, 0);
    image.Draw(wide, 0, 0, 4, 1);
    EXPECT_EQ(wide.pixel(1, 0), qRgb(255, 0, 0));
    EXPECT_EQ(wide.pixel(2, 0), qRgb(0, 0, 255));

    QImage smooth = filled(4, 1, 0);
    image.Draw(smooth, 0, 0, 4, 1, true);
    EXPECT_GT(qRed(smooth.pixel(1, 0)), 0); // between red and blue
    EXPECT_GT(qBlue(smooth.pixel(1, 0)), 0);

    QImage untouched = filled(2, 2, qRgb(1, 1, 1));
    EXPECT_FALSE(image.Draw(untouched, 0, 0, 0, 1));
    EXPECT_FALSE(AlphaImage().Draw(untouched, 0, 0));
    QImage none;
    EXPECT_FALSE(image.Draw(none, 0, 0));
    EXPECT_EQ(untouched.pixel(0, 0), qRgb(1, 1, 1));
}

TEST_F(PicUtilsTest, DrawBlendsOntoOtherTargetFormats)
{
    const AlphaImage image(rgba(255, 255, 255, 128));
    QImage target = filled(1, 1, qRgb(0, 0, 0), QImage::Format_RGB888);
    image.Draw(target, 0, 0);
    EXPECT_EQ(target.format(), QImage::Format_RGB888);
    EXPECT_EQ(target.pixel(0, 0), qRgb(127, 127, 127));
}

TEST_F(PicUtilsTest, MissingFileMessageNamesFileOperationAndLine)
{
    const std::regex expected(R"(File not found:nowhere/absent\.png src=common\\Vexel\\src\\PicUtils:(\w+):\d+)");
    QImage bitmap = filled(2, 2, qRgb(9, 9, 9));
    TPicture picture{filled(3, 3, qRgb(9, 9, 9))};
    const std::string bitmapMessage = messageOf([&] { LoadImageToBitmap(bitmap, "nowhere/absent.png"); });
    const std::string pictureMessage = messageOf([&] { LoadImageToPicture(picture, "nowhere/absent.png"); });
    std::smatch match;
    ASSERT_TRUE(std::regex_match(bitmapMessage, match, expected)) << bitmapMessage;
    EXPECT_EQ(match[1], "LoadImageToBitmap");
    ASSERT_TRUE(std::regex_match(pictureMessage, match, expected)) << pictureMessage;
    EXPECT_EQ(match[1], "LoadImageToPicture");
    EXPECT_EQ(bitmap.size(), QSize(2, 2)); // targets untouched
    EXPECT_EQ(picture.Width(), 3);
}

TEST_F(PicUtilsTest, LoadingReplacesTheTargetAndUndecodableGivesEmpty)
{
    PngFixture fixture;
    fixture.width = 3;
    fixture.height = 2;
    fixture.bytes.assign(18, 40);
    const std::string file = write("three.png", fixture);
    TPicture picture;
    LoadImageToPicture(picture, file);
    LoadImageToPicture(picture, file);
    EXPECT_EQ(picture.Bitmap.size(), QSize(3, 2));
    EXPECT_EQ(picture.Bitmap.pixel(2, 1), qRgb(40, 40, 40));

    std::ofstream(path("text.png")) << "not a picture";
    LoadImageToPicture(picture, path("text.png"));
    EXPECT_TRUE(picture.Empty());
    EXPECT_EQ(picture.Width(), 0);
}

TEST_F(PicUtilsTest, HighDensityScreensGetTheDoubleSizePicture)
{
    EXPECT_EQ(PictureFileAtScale("pics/Key.png", 2), "pics/Key@2x.png");
    EXPECT_EQ(PictureFileAtScale("pics/Key.png", 1), "pics/Key.png");
    EXPECT_EQ(PictureFileAtScale("pics.d/Key", 2), "pics.d/Key@2x");

    PngFixture plain;
    plain.bytes = {10, 10, 10};
    PngFixture twice;
    twice.width = 2;
    twice.height = 2;
    twice.bytes.assign(12, 200);
    const std::string file = write("key.png", plain);
    write("key@2x.png", twice);
    const std::string alone = write("lone.png", plain);
    struct Case { std::string file; double ratio; QSize pixels; double pictureRatio; };
    const Case cases[] = {
        {file, 1.0, {1, 1}, 1.0}, {file, 1.5, {2, 2}, 2.0}, {file, 2.0, {2, 2}, 2.0},
        {alone, 2.0, {1, 1}, 1.0},   // no "@2x" file: the plain one
    };
    for (const Case& c : cases) {
        TPicture picture;
        LoadImageToPicture(picture, c.file, c.ratio);
        EXPECT_EQ(picture.Bitmap.size(), c.pixels) << c.file << " at " << c.ratio;
        EXPECT_EQ(picture.Bitmap.devicePixelRatio(), c.pictureRatio) << c.file << " at " << c.ratio;
        EXPECT_EQ(AlphaImage::ForScreen(c.file, c.ratio).Scale(), int(c.pictureRatio));
    }
    // Only the plain file counts for the missing-file check.
    std::filesystem::remove(file);
    QImage bitmap;
    EXPECT_THROW(LoadImageToBitmap(bitmap, file, 2.0), std::runtime_error);
}

TEST_F(PicUtilsTest, AlphaDrawingWorksInLayoutPixelsOnDenseTargets)
{
    PngFixture fixture;
    fixture.width = 2;
    fixture.height = 2;
    fixture.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
    fixture.bytes = {255, 0, 0, 255, 255, 0, 0, 255, 255, 0, 0, 255, 255, 0, 0, 255};
    write("spot@2x.png", fixture);
    PngFixture small;
    small.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
    small.bytes = {255, 0, 0, 255};
    const AlphaImage spot = AlphaImage::ForScreen(write("spot.png", small), 2.0);
    ASSERT_EQ(spot.Scale(), 2);
    EXPECT_EQ(spot.LogicalWidth(), 1);

    // A 3 x 3 layout-pixel target at ratio 2; the spot covers layout pixel (1, 1) only.
    QImage target = filled(6, 6, qRgb(0, 0, 0));
    target.setDevicePixelRatio(2.0);
    ASSERT_TRUE(spot.Draw(target, 1, 1));
    EXPECT_EQ(target.pixel(2, 2), qRgb(255, 0, 0));
    EXPECT_EQ(target.pixel(3, 3), qRgb(255, 0, 0));
    EXPECT_EQ(target.pixel(1, 1), qRgb(0, 0, 0));
    EXPECT_EQ(target.pixel(4, 4), qRgb(0, 0, 0));

    // On a target of ratio 1.5 the picture is resampled to its layout size there.
    QImage between = filled(6, 6, qRgb(0, 0, 0));
    between.setDevicePixelRatio(1.5);
    ASSERT_TRUE(spot.Draw(between, 2, 2));
    EXPECT_EQ(between.pixel(3, 3), qRgb(255, 0, 0));   // from 3 to 4.5, rounded to 5
    EXPECT_EQ(between.pixel(4, 4), qRgb(255, 0, 0));
    EXPECT_EQ(between.pixel(5, 5), qRgb(0, 0, 0));
    EXPECT_EQ(between.pixel(2, 2), qRgb(0, 0, 0));

    // Resampling an opaque bitmap to a canvas's ratio keeps its layout size.
    QImage bitmap = filled(4, 2, qRgb(9, 9, 9));
    bitmap.setDevicePixelRatio(2.0);
    EXPECT_EQ(BitmapAtRatio(bitmap, 2.0).constBits(), bitmap.constBits());   // nothing to do
    const QImage resampled = BitmapAtRatio(bitmap, 1.5);
    EXPECT_EQ(resampled.size(), QSize(3, 2));   // 2 x 1 layout pixels, rounded up at 1.5
    EXPECT_EQ(resampled.devicePixelRatio(), 1.5);
}

} // namespace
