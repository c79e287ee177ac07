// The generated picture set against the window's own layout table: every file the
// windows load exists in pics/ at the size of its control, the instruments put each
// marker centre on a key or on a string between two frets, and the root names sit on
// the root centres.
#include "chords/Notes.h"
#include "common/Vexel/src/PicUtils.h"
#include "layout/Layout.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

// The build's program folder, unless the environment names another one.
std::string picsFolder()
{
    const char* program = std::getenv("TONVERA_PROGRAM_DIR");
    return std::string(program && *program ? program : TONVERA_BUILD_PROGRAM_DIR) + "/pics/";
}

int lightness(const AlphaImage::Rgb& c)
{
    return (std::max({c[0], c[1], c[2]}) + std::min({c[0], c[1], c[2]})) / 2;
}

TEST(SkinPictures, EveryPictureExistsAtItsControlsSize)
{
    std::vector<layout::PictureFile> files = layout::MainWindowPictures();
    files.push_back({std::string(layout::AboutPicture.file), layout::AboutPicture.w, layout::AboutPicture.h});

    EXPECT_TRUE(std::filesystem::exists(picsFolder() + "Images.dir"));
    for (const layout::PictureFile& file : files) {
        const AlphaImage image(picsFolder() + file.file);
        EXPECT_EQ(image.Width(), file.w) << file.file;
        EXPECT_EQ(image.Height(), file.h) << file.file;
    }
    const AlphaImage spot(picsFolder() + std::string(layout::RootSpotPicture.file));
    ASSERT_FALSE(spot.Empty());
    EXPECT_TRUE(spot.HasAlpha());
    EXPECT_EQ(spot.Alpha(0, 0), 0); // a round glow: clear corners, solid middle
    EXPECT_GT(spot.Alpha(spot.Width() / 2, spot.Height() / 2), 200);
}

// High-density screens get every picture at twice the size; the glow keeps its alpha.
TEST(SkinPictures, EveryPictureHasADoubleSizeVersion)
{
    std::vector<layout::PictureFile> files = layout::MainWindowPictures();
    files.push_back({std::string(layout::AboutPicture.file), layout::AboutPicture.w, layout::AboutPicture.h});
    for (const layout::PictureFile& file : files) {
        const AlphaImage image(picsFolder() + PictureFileAtScale(file.file, 2));
        EXPECT_EQ(image.Width(), 2 * file.w) << file.file;
        EXPECT_EQ(image.Height(), 2 * file.h) << file.file;
    }
    const AlphaImage spot = AlphaImage::ForScreen(picsFolder() + std::string(layout::RootSpotPicture.file), 2.0);
    EXPECT_EQ(spot.Scale(), 2);
    EXPECT_TRUE(spot.HasAlpha());
    EXPECT_EQ(spot.Alpha(0, 0), 0);
}

using layout::FretX;
using layout::StringY;

TEST(SkinPictures, KeyboardMarkersSitOnKeysOfTheirColour)
{
    const AlphaImage keyboard(picsFolder() + std::string(layout::KeyboardPicture.file));
    ASSERT_FALSE(keyboard.Empty());
    for (int note = layout::FirstKey; note <= layout::LastKey; ++note) {
        const bool black = layout::IsBlackKey(note);
        const layout::Point centre = *layout::KeyCentre(note);
        // The marker lies on the key: check its centre and towards its ends.
        for (int dx : {-8, 0, 8}) {
            const int l = lightness(keyboard.Pixel(centre.x + dx, centre.y));
            if (black) {
                EXPECT_LT(l, 80) << "key " << note << " dx " << dx;
            } else {
                EXPECT_GT(l, 170) << "key " << note << " dx " << dx;
            }
        }
    }
}

TEST(SkinPictures, FretboardMarkersSitOnStringsBetweenFrets)
{
    const AlphaImage board(picsFolder() + std::string(layout::FretboardPicture.file));
    ASSERT_FALSE(board.Empty());
    // Fret wires and the nut are bright; look for them on a row between two strings.
    const int row = (StringY[0] + StringY[1]) / 2;
    const auto wireBetween = [&](int from, int to) {
        for (int x = from + 1; x < to; ++x) {
            const auto c = board.Pixel(x, row);
            if (std::min({c[0], c[1], c[2]}) > 150)
                return true;
        }
        return false;
    };
    const int last = layout::FretCount - 1;
    for (int f = 0; f <= last; ++f) {
        const int right = f == last ? board.Width() - 1 : FretX[f + 1];
        EXPECT_TRUE(wireBetween(FretX[f], right)) << "no fret after marker " << f;
        if (f > 0) {
            EXPECT_TRUE(wireBetween(FretX[f - 1], FretX[f])) << "no fret before marker " << f;
        }
        EXPECT_FALSE(wireBetween(FretX[f] - 12, FretX[f] + 12)) << "a fret under marker " << f;
    }
    EXPECT_FALSE(wireBetween(0, FretX[0])); // the open-string markers sit before the nut
    for (int s = 0; s < layout::StringCount; ++s)
        for (int f = 1; f <= last; ++f) {
            const int x = (FretX[f - 1] + FretX[f]) / 2 + 14; // between frets, off any dot
            EXPECT_GT(lightness(board.Pixel(FretX[f], StringY[s])), 110) << "string " << s << " fret " << f;
            EXPECT_LT(lightness(board.Pixel(x, StringY[s] - 7)), 90) << "string " << s << " near fret " << f;
        }
}

TEST(SkinPictures, RootNamesAreCentredOnTheirRootPositions)
{
    const AlphaImage column(picsFolder() + std::string(layout::RootAreaPicture.file));
    ASSERT_FALSE(column.Empty());
    ASSERT_EQ(layout::RootCentres.size(), RootTable.size());
    for (std::size_t i = 0; i < RootTable.size(); ++i) {
        const layout::Point root = layout::RootCentres[i];
        const std::string name(RootTable[i].name);
        // Ink is what differs clearly from the key just above the name.
        const int background = lightness(column.Pixel(root.x, root.y - 10));
        int left = 1000, right = -1;
        for (int y = root.y - 4; y <= root.y + 4; ++y)
            for (int x = root.x - 16; x <= root.x + 16; ++x)
                if (std::abs(lightness(column.Pixel(x, y)) - background) > 60) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
        ASSERT_GE(right, left) << name << " has no name written";
        EXPECT_NEAR((left + right) / 2.0, root.x, 3.0) << name;
    }
}

} // namespace
