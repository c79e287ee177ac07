// The window on a high-density screen (twice the layout's pixels): the skin's "@2x" pictures
// are the ones shown, and the canvases draw markers and text at the screen's density.
#include "WindowFixture.h"

#include "controls/Nxpanel.h"
#include "controls/Timage.h"
#include "layout/Layout.h"

#include <QImage>

#include <gtest/gtest.h>

namespace {

// Every window of this program is shown at scale 2, set before the application starts.
const bool kDoubleDensity = [] {
    qputenv("QT_SCALE_FACTOR", "2");
    return true;
}();

const QColor kPianoRed(200, 0, 0);

void writeDoubleSize(const WindowFixture& fixture, const layout::Picture& picture, QColor colour)
{
    QImage image(2 * picture.w, 2 * picture.h, QImage::Format_RGB32);
    image.fill(colour);
    const std::string file = PictureFileAtScale(fixture.Folder() + "/pics/" + std::string(picture.file), 2);
    ASSERT_TRUE(image.save(QString::fromStdString(file)));
}

TEST(HiDpi, PicturesAndMarkersAtTheScreensDensity)
{
    ASSERT_TRUE(kDoubleDensity);
    WindowFixture fixture;
    const QColor keyboard(220, 220, 200);
    const QColor help(10, 200, 90);
    writeDoubleSize(fixture, layout::KeyboardPicture, keyboard);
    writeDoubleSize(fixture, {"HelpInitial.png", layout::HelpButton.place.w, layout::HelpButton.place.h}, help);
    TMainForm& form = fixture.Start();
    ASSERT_EQ(form.devicePixelRatioF(), 2.0);

    // The keyboard canvas has two pixels per layout pixel and shows the "@2x" picture.
    const QImage& canvas = form.Controls().BottomImage->Canvas();
    EXPECT_EQ(canvas.size(), QSize(2 * layout::BottomPanel.w, 2 * layout::BottomPanel.h));
    EXPECT_EQ(canvas.devicePixelRatio(), 2.0);
    EXPECT_EQ(canvas.pixelColor(4, 4), keyboard);
    // C major's first voicing (48 52 55): each marker around its key centre, drawn at full
    // density, so its fill reaches the pixel just inside the left edge of the 32 x 22 shape.
    for (int note : {48, 52, 55}) {
        const layout::Point centre = *layout::KeyCentre(note);
        EXPECT_EQ(canvas.pixelColor(2 * (centre.x - 12), 2 * centre.y), kPianoRed) << note;
        EXPECT_EQ(canvas.pixelColor(2 * (centre.x - layout::MarkerWidth / 2) + 3, 2 * centre.y), kPianoRed) << note;
        EXPECT_NE(canvas.pixelColor(2 * (centre.x - layout::MarkerWidth / 2) - 3, 2 * centre.y), kPianoRed) << note;
    }

    // A skinned button shows its "@2x" picture.
    const QImage button = form.Controls().HelpButton->grab().toImage();
    EXPECT_EQ(button.size(), QSize(2 * layout::HelpButton.place.w, 2 * layout::HelpButton.place.h));
    EXPECT_EQ(button.pixelColor(3, 3), help);

    // The chord's degrees fill the upper half of their strip and its note names the lower.
    const QImage& info = form.Controls().ChordInfoImage->Canvas();
    const auto inkRows = [&](int from, int to) {
        int rows = 0;
        for (int y = from; y < to; ++y)
            for (int x = 0; x < info.width(); ++x)
                if (info.pixelColor(x, y).lightness() > 200) {
                    ++rows;
                    break;
                }
        return rows;
    };
    EXPECT_GT(inkRows(0, info.height() / 2), 10);
    EXPECT_GT(inkRows(info.height() / 2, info.height()), 10);
}

} // namespace
