// The generated picture set: every file the windows load exists in pics/ at the
// size of its control, and the instruments put each marker centre on a key or
// on a string between two frets.
#include "common/Vexel/src/PicUtils.h"

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

struct Expected {
    std::string stem;
    int w, h;
    bool pressed = true;
};

int lightness(const AlphaImage::Rgb& c)
{
    return (std::max({c[0], c[1], c[2]}) + std::min({c[0], c[1], c[2]})) / 2;
}

TEST(SkinPictures, EveryPictureExistsAtItsControlsSize)
{
    std::vector<Expected> buttons{
        {"Tonvera", 188, 34, false}, {"NXLogo", 127, 55, false}, {"Chord", 60, 31}, {"Arpeggio", 81, 31},
        {"NoteNames", 92, 31}, {"ScaleDegrees", 113, 31}, {"Speaker", 38, 31}, {"Settings", 75, 31},
        {"Help", 43, 31}, {"Folk", 47, 19}, {"Pop", 75, 19}, {"Jazz", 49, 19}, {"Key", 173, 19},
        {"ReverseChordFinder", 157, 19}, {"ThisChordContains", 171, 49},
    };
    for (const char* name : {"maj", "maj6", "maj7", "maj69", "maj9", "2", "5", "m", "m7", "m6", "m9", "mMaj7",
                             "m7b5", "dim7", "7", "9", "13", "7b9", "sus", "7sus"})
        buttons.push_back({name, 66, 17});
    for (const char* name : {"majList", "minList", "domList"})
        buttons.push_back({name, 85, 17});

    std::vector<std::pair<std::string, std::pair<int, int>>> files{
        {"ControllsArea.png", {1016, 65}},   {"TypeChordsArea.png", {190, 452}},
        {"TypeChordsAreaFree.png", {190, 452}}, {"RootArea.png", {132, 452}},
        {"KeyboardArea.png", {1016, 193}},   {"FretboardArea.png", {1016, 193}},
        {"PlayChordArea.png", {694, 452}},   {"PlayChordInitial.png", {669, 172}},
        {"About.png", {376, 238}},
    };
    for (const Expected& b : buttons)
        for (const char* look : {"Initial", "Mouse", "Pressed"})
            if (b.pressed || std::string(look) != "Pressed")
                files.push_back({b.stem + look + ".png", {b.w, b.h}});

    EXPECT_TRUE(std::filesystem::exists(picsFolder() + "Images.dir"));
    for (const auto& [file, size] : files) {
        const AlphaImage image(picsFolder() + file);
        EXPECT_EQ(image.Width(), size.first) << file;
        EXPECT_EQ(image.Height(), size.second) << file;
    }
    const AlphaImage spot(picsFolder() + "Spot01.png");
    ASSERT_FALSE(spot.Empty());
    EXPECT_TRUE(spot.HasAlpha());
    EXPECT_EQ(spot.Alpha(0, 0), 0); // a round glow: clear corners, solid middle
    EXPECT_GT(spot.Alpha(spot.Width() / 2, spot.Height() / 2), 200);
}

constexpr std::array<int, 48> keyX{34,  49,  70,  90,  104, 139, 153, 175, 192, 209, 232, 244, 278, 294, 315, 336,
                                   349, 384, 399, 420, 437, 455, 477, 490, 524, 540, 559, 581, 595, 630, 644, 665,
                                   683, 699, 723, 735, 769, 786, 804, 827, 839, 875, 889, 910, 928, 945, 968, 980};
constexpr std::array<int, 16> fretX{39, 104, 208, 300, 384, 462, 535, 599, 659, 717, 769, 817, 862, 903, 941, 977};
constexpr std::array<int, 6> stringY{141, 116, 92, 66, 42, 18};

TEST(SkinPictures, KeyboardMarkersSitOnKeysOfTheirColour)
{
    const AlphaImage keyboard(picsFolder() + "KeyboardArea.png");
    ASSERT_FALSE(keyboard.Empty());
    for (int k = 0; k < 48; ++k) {
        const int pc = (36 + k) % 12;
        const bool black = pc == 1 || pc == 3 || pc == 6 || pc == 8 || pc == 10;
        const int y = black ? 90 : 150;
        // The whole marker (32 x 22) lies on the key: check its centre and its ends.
        for (int dx : {-8, 0, 8}) {
            const int l = lightness(keyboard.Pixel(keyX[k] + dx, y));
            if (black) {
                EXPECT_LT(l, 80) << "key " << 36 + k << " dx " << dx;
            } else {
                EXPECT_GT(l, 170) << "key " << 36 + k << " dx " << dx;
            }
        }
    }
}

TEST(SkinPictures, FretboardMarkersSitOnStringsBetweenFrets)
{
    const AlphaImage board(picsFolder() + "FretboardArea.png");
    ASSERT_FALSE(board.Empty());
    // Fret wires and the nut are bright; look for them on a row between two strings.
    const int row = (stringY[0] + stringY[1]) / 2;
    const auto wireBetween = [&](int from, int to) {
        for (int x = from + 1; x < to; ++x) {
            const auto c = board.Pixel(x, row);
            if (std::min({c[0], c[1], c[2]}) > 150)
                return true;
        }
        return false;
    };
    for (int f = 0; f < 16; ++f) {
        const int right = f == 15 ? 1015 : fretX[f + 1];
        EXPECT_TRUE(wireBetween(fretX[f], right)) << "no fret after marker " << f;
        if (f > 0) {
            EXPECT_TRUE(wireBetween(fretX[f - 1], fretX[f])) << "no fret before marker " << f;
        }
        EXPECT_FALSE(wireBetween(fretX[f] - 12, fretX[f] + 12)) << "a fret under marker " << f;
    }
    EXPECT_FALSE(wireBetween(0, fretX[0])); // the open-string markers sit before the nut
    for (int s = 0; s < 6; ++s)
        for (int f = 1; f < 16; ++f) {
            const int x = (fretX[f - 1] + fretX[f]) / 2 + 14; // between frets, off any dot
            EXPECT_GT(lightness(board.Pixel(fretX[f], stringY[s])), 110) << "string " << s << " fret " << f;
            EXPECT_LT(lightness(board.Pixel(x, stringY[s] - 7)), 90) << "string " << s << " near fret " << f;
        }
}

TEST(SkinPictures, RootNamesAreCentredOnTheirRootPositions)
{
    struct Root {
        const char* name;
        int x, y;
    };
    const Root roots[] = {{"B", 106, 85},  {"Bb", 37, 103}, {"A#", 73, 103}, {"A", 106, 140}, {"Ab", 37, 166},
                          {"G#", 73, 166}, {"G", 106, 194}, {"Gb", 37, 229}, {"F#", 73, 229}, {"F", 106, 250},
                          {"E", 106, 305}, {"Eb", 37, 327}, {"D#", 73, 327}, {"D", 106, 359}, {"Db", 37, 393},
                          {"C#", 73, 393}, {"C", 106, 415}};
    const AlphaImage column(picsFolder() + "RootArea.png");
    ASSERT_FALSE(column.Empty());
    for (const Root& root : roots) {
        // Ink is what differs clearly from the key just above the name.
        const int background = lightness(column.Pixel(root.x, root.y - 10));
        int left = 1000, right = -1;
        for (int y = root.y - 4; y <= root.y + 4; ++y)
            for (int x = root.x - 16; x <= root.x + 16; ++x)
                if (std::abs(lightness(column.Pixel(x, y)) - background) > 60) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
        ASSERT_GE(right, left) << root.name << " has no name written";
        EXPECT_NEAR((left + right) / 2.0, root.x, 3.0) << root.name;
    }
}

} // namespace
