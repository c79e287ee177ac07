// The window's pure geometry: hit tests, marker centres, centring, colours.
#include "app/Geometry.h"
#include "layout/Layout.h"

#include <gtest/gtest.h>

using namespace geometry;
using layout::FretCentre;
using layout::KeyCentre;

TEST(KeyboardHitTest, BlackKeysAboveTheLineWhiteKeysBelow)
{
    struct Case { int x, y, note; };
    const Case cases[] = {
        {34, 150, 36},    // lowest C at its centre
        {49, 100, 37},    // C# reached from above y 115
        {49, 150, -1},    // no white key centre within 10 pixels of x 49
        {44, 150, 36},    // 10 pixels off still hits
        {45, 150, -1},    // 11 pixels off hits nothing
        {34, 182, 36},    // 32 below the white row
        {34, 183, -1},
        {49, 58, 37},     // 32 above the black row
        {49, 57, -1},
        {49, 115, 37},    // y 115 still belongs to the black keys
        {980, 150, 83},   // highest B
        {294, 90, 49},    // the second octave's C# is at 294, not 293
    };
    for (const Case& c : cases)
        EXPECT_EQ(HitTestKeyboard(c.x, c.y), c.note) << c.x << "," << c.y;
}

TEST(FretboardHitTest, NearestStringAndFretWithin16Pixels)
{
    struct Case { int x, y, code; };
    const Case cases[] = {
        {104, 141, 0 * 256 + 1},   // lowest string, fret 1
        {70, 141, -1},             // 31 and 34 pixels from the nearest frets
        {39, 18, 5 * 256 + 0},     // open top string
        {977, 66, 3 * 256 + 15},
        {104, 157, 0 * 256 + 1},   // 16 pixels below the lowest string
        {104, 158, -1},
        {104, 129, 0 * 256 + 1},   // 12 from string 0, 13 from string 1: the nearer wins
        {300, 104, 1 * 256 + 3},   // 12 from string 1, 12 from string 2: the lower index wins on a tie
    };
    for (const Case& c : cases)
        EXPECT_EQ(HitTestFretboard(c.x, c.y), c.code) << c.x << "," << c.y;
}

TEST(RootHitTest, SixteenPixelRadiusFirstRootWins)
{
    EXPECT_EQ(HitTestCentres(layout::RootCentres, 106, 431), 16);   // 16 below C
    EXPECT_EQ(HitTestCentres(layout::RootCentres, 106, 432), -1);
    EXPECT_EQ(HitTestCentres(layout::RootCentres, 37, 103), 1);     // Bb
    EXPECT_EQ(HitTestCentres(layout::RootCentres, 0, 0), -1);
}

TEST(MarkerCentres, KeysAndFretsOutsideTheTablesHaveNoPlace)
{
    EXPECT_FALSE(KeyCentre(35));
    EXPECT_FALSE(KeyCentre(84));
    ASSERT_TRUE(KeyCentre(37));
    EXPECT_EQ(KeyCentre(37)->x, 49);
    EXPECT_EQ(KeyCentre(37)->y, 90);
    EXPECT_EQ(KeyCentre(83)->y, 150);
    EXPECT_FALSE(FretCentre(6, 0));
    EXPECT_FALSE(FretCentre(0, 16));
    ASSERT_TRUE(FretCentre(1, 3));
    EXPECT_EQ(FretCentre(1, 3)->x, 300);
    EXPECT_EQ(FretCentre(1, 3)->y, 116);
}

TEST(Centring, PanelSitsInTheMiddleAndMayGoNegative)
{
    EXPECT_EQ(GlobalPanelOrigin(1200, 800).x, 92);
    EXPECT_EQ(GlobalPanelOrigin(1200, 800).y, 45);
    EXPECT_EQ(GlobalPanelOrigin(1016, 710).x, 0);
    EXPECT_EQ(GlobalPanelOrigin(1000, 700).x, -8);
    EXPECT_EQ(GlobalPanelOrigin(1000, 700).y, -5);
}

TEST(ParseColour, ThreeFieldsLowEightBitsMissingIsZero)
{
    struct Case { const char* text; ColourValue value; };
    const Case cases[] = {
        {"0,128,255", 0 + 128 * 256 + 255 * 65536},
        {"300,0,0", 44},
        {"12", 12},
        {"", 0},
        {"a,5,b", 5 * 256},
        {" 7 , 8 ,9", 7 + 8 * 256 + 9 * 65536},
        {"1,2,3,4", 1 + 2 * 256},   // the rest "3,4" is no number
        {"255,255,255", 0xFFFFFF},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseColour(c.text), c.value) << c.text;
}

TEST(TextColourRule, DarkFillsGetWhiteLabels)
{
    const ColourValue white = MakeColour(255, 255, 255);
    const ColourValue black = 0;
    EXPECT_EQ(TextColourFor(MakeColour(0, 0, 255)), white);        // 85
    EXPECT_EQ(TextColourFor(white), black);
    EXPECT_EQ(TextColourFor(MakeColour(127, 127, 127)), white);    // 127 is still dark
    EXPECT_EQ(TextColourFor(MakeColour(128, 128, 128)), black);
    EXPECT_EQ(TextColourFor(MakeColour(160, 160, 160)), black);    // the hover grey
}
