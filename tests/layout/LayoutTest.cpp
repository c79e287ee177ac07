// The layout table: places derived from columns, rows and neighbours land where the
// window is designed to have them, and the picture list names each file once.
#include "layout/Layout.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

const layout::ChordTypeButton* find(std::string_view name)
{
    for (const layout::ChordTypeButton& button : layout::ChordTypeButtons)
        if (button.name == name)
            return &button;
    return nullptr;
}

void expectRect(const layout::Rect& r, int x, int y, int w, int h)
{
    EXPECT_EQ(r.x, x);
    EXPECT_EQ(r.y, y);
    EXPECT_EQ(r.w, w);
    EXPECT_EQ(r.h, h);
}

} // namespace

TEST(ChordTypeButtonPlaces, ColumnRowAndGroupGiveTheDesignedPixels)
{
    struct Case { const char* name; int left, top, width; };
    const Case cases[] = {
        {"maj", 16, 79, 66},      {"maj9", 16, 151, 66},  {"2", 88, 79, 66},      {"majList", 88, 115, 85},
        {"m", 16, 191, 66},       {"mMaj7", 16, 263, 66}, {"minList", 88, 227, 85},
        {"7", 16, 303, 66},       {"sus", 16, 375, 66},   {"7sus", 88, 303, 66},  {"domList", 88, 321, 85},
    };
    for (const Case& c : cases) {
        const layout::ChordTypeButton* button = find(c.name);
        ASSERT_NE(button, nullptr) << c.name;
        SCOPED_TRACE(c.name);
        expectRect(layout::Place(*button), c.left, c.top, c.width, 17);
    }
}

TEST(PanelPlaces, DerivedRectanglesMatchTheDesign)
{
    expectRect(layout::BackPanel, 0, 65, 1016, 452);
    expectRect(layout::BottomPanel, 0, 517, 1016, 193);
    expectRect(layout::CenterPanel, 132, 0, 190, 452);
    expectRect(layout::RightPanel, 322, 0, 694, 452);
    expectRect(layout::ChordInfoImage, 179, 205, 495, 45);
    expectRect(layout::Within(layout::BackPanel, layout::RightPanel), 322, 65, 694, 452);
}

TEST(MainWindowPictures, EachFileOnceWithEveryLookOfEveryButton)
{
    std::set<std::string> files;
    for (const layout::PictureFile& picture : layout::MainWindowPictures()) {
        EXPECT_TRUE(files.insert(picture.file).second) << picture.file << " listed twice";
        EXPECT_GT(picture.w, 0) << picture.file;
        EXPECT_GT(picture.h, 0) << picture.file;
    }
    for (const layout::ChordTypeButton& button : layout::ChordTypeButtons)
        for (const char* look : {"Initial.png", "Mouse.png", "Pressed.png"})
            EXPECT_TRUE(files.count(std::string(button.name) + look)) << button.name << look;
    EXPECT_TRUE(files.count("ChordPressed.png"));
    EXPECT_FALSE(files.count("TonveraPressed.png"));   // the logos have no pressed look
    EXPECT_TRUE(files.count(std::string(layout::RootSpotPicture.file)));
}
