// The picture slider: track composition, value setters and dragging.
#include "controls/Nxslider.h"
#include "tests/controls/ControlsFixture.h"

#include <QSignalSpy>
#include <QTest>

namespace {

const QColor red(255, 0, 0), blue(0, 0, 255);

TEST(SliderTiles, TilesCoverTheMiddleAndTheLastMayBeCut)
{
    EXPECT_EQ(TileOffsets(0, 11, 2), (std::vector<int>{0, 2, 4, 6, 8, 10}));
    EXPECT_EQ(TileOffsets(5, 6, 3), (std::vector<int>{5, 8}));
    EXPECT_TRUE(TileOffsets(0, 0, 2).empty());
    EXPECT_TRUE(TileOffsets(0, 10, 0).empty());
}

class SliderTest : public testing::Test {
protected:
    void SetUp() override
    {
        slider.Horizontal = true;
        slider.resize(11, 4);
        slider.SetPicBackgroundIdle(pics.Columns("tile.png", {red, blue}));
        slider.Loaded();
    }
    PictureFolder pics;
    TNXSlider slider;
};

TEST_F(SliderTest, HorizontalTrackRepeatsTheTileToTheEdge)
{
    const QImage& track = slider.Track();
    ASSERT_EQ(track.width(), 11);
    for (int x = 0; x < 11; ++x)
        EXPECT_EQ(track.pixelColor(x, 1), x % 2 == 0 ? red : blue) << x;
    EXPECT_EQ(slider.SlideSpaceSize(), 11 - 1); // the default thumb is 1 pixel wide
}

TEST_F(SliderTest, EndPicturesFrameTheTiles)
{
    const QColor green(0, 255, 0), white(255, 255, 255);
    slider.SetPicBackgroundLeft(pics.Solid("left.png", 3, 4, green));
    slider.SetPicBackgroundRight(pics.Solid("right.png", 2, 4, white));
    const QImage& track = slider.Track();
    EXPECT_EQ(track.pixelColor(2, 1), green);
    EXPECT_EQ(track.pixelColor(3, 1), red);
    EXPECT_EQ(track.pixelColor(8, 1), blue);
    EXPECT_EQ(track.pixelColor(9, 1), white);
}

TEST_F(SliderTest, DraggingReachesExactlyBothEnds)
{
    slider.resize(110, 4);
    slider.SetPicSliderIdle(pics.Solid("thumb.png", 10, 4, Qt::white));
    slider.Resize();
    ASSERT_EQ(slider.SlideSpaceSize(), 100);
    QSignalSpy changed(&slider, &TNXSlider::changed);
    // A press jumps the thumb to the pointer, as a drag does.
    const auto pressAt = [&](int x) {
        QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(x, 2));
        const int position = slider.Position();
        QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(x, 2));
        return position;
    };
    EXPECT_EQ(pressAt(500), slider.MaxPosition());
    EXPECT_EQ(slider.ThumbOffset(), 100);
    EXPECT_EQ(pressAt(-40), slider.MinPosition());
    EXPECT_EQ(pressAt(5 + 50), 50);
    EXPECT_GE(changed.count(), 3);
}

TEST_F(SliderTest, ValueSettersKeepTheRangeSound)
{
    slider.SetMinPosition(100); // equal to the maximum: ignored
    EXPECT_EQ(slider.MinPosition(), 0);
    slider.SetMaxPosition(0);
    EXPECT_EQ(slider.MaxPosition(), 100);
    const int space = slider.SlideSpaceSize();
    slider.SetSlideSize(1);
    EXPECT_EQ(slider.SlideSpaceSize(), space);

    QSignalSpy changed(&slider, &TNXSlider::changed);
    slider.SetPosition(500);
    EXPECT_EQ(slider.Position(), 100);
    EXPECT_EQ(changed.count(), 1);
    slider.SetMaxPosition(40);
    EXPECT_EQ(slider.Position(), 40);
    slider.SetMinPosition(-10);
    slider.SetPosition(-10);
    EXPECT_EQ(slider.ThumbOffset(), 0);
}

TEST(SliderWithoutTrack, DraggingWithNoRoomLeavesThePosition)
{
    TNXSlider slider;
    slider.Horizontal = true;
    slider.resize(20, 5);
    slider.Loaded();
    slider.SetPosition(30);
    QTest::mouseClick(&slider, Qt::LeftButton, {}, QPoint(10, 2));
    EXPECT_EQ(slider.Position(), 30);
}

TEST(SliderPictures, MissingFilesUseTheirMessages)
{
    TNXSlider slider;
    const auto messageOf = [](auto set) {
        try {
            set();
        } catch (const std::runtime_error& error) {
            return std::string(error.what());
        }
        return std::string();
    };
    EXPECT_EQ(messageOf([&] { slider.SetPicBackgroundIdle("no.png"); }), "File not found : no.png");
    EXPECT_EQ(messageOf([&] { slider.SetPicBackgroundLeft("no.png"); }), "Error loading : no.png");
    EXPECT_EQ(slider.GetPicBackgroundLeft(), "");
}

} // namespace
