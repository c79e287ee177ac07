// The about window.
#include "dialogs/Tsplashscreen.h"

#include "layout/Layout.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

#include <gtest/gtest.h>

TEST(SplashScreen, ShowsTheProjectVersionRightAligned)
{
    TSplashScreen about("/nonexistent");
    EXPECT_EQ(about.VersionLabel->text().toStdString(), "Version " + GetFileVersionString());
    EXPECT_EQ(GetFileVersionString(), TONVERA_TEST_VERSION);
    EXPECT_TRUE(about.VersionLabel->alignment() & Qt::AlignRight);
    EXPECT_EQ(about.VersionLabel->geometry(), QRect(178, 118, 188, 18));
    EXPECT_EQ(about.size(), QSize(376, 238));
    about.open();   // the picture comes with the first show
    EXPECT_FALSE(about.Image->pixmap().isNull());
}

TEST(SplashScreen, CanBeShownAndHiddenAgain)
{
    TSplashScreen about("/nonexistent");
    for (int round = 0; round < 3; ++round) {
        about.open();
        EXPECT_TRUE(about.isVisible());
        QTest::mouseClick(about.HideButton, Qt::LeftButton);
        EXPECT_FALSE(about.isVisible());
        EXPECT_EQ(about.result(), 1);
    }
    EXPECT_EQ(about.VersionLabel->text().toStdString(), "Version " + GetFileVersionString());
}

TEST(SplashScreen, EveryLineFitsItsLabel)
{
    TSplashScreen about("/nonexistent");
    for (QLabel* label : about.findChildren<QLabel*>()) {
        if (label == about.Image || label->text().isEmpty())
            continue;
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width())
            << label->text().toStdString();
    }
}

// The about picture goes through the program's own picture loader: a PNG of the right size
// is shown as it is; anything that loader does not take (another format under the PNG's
// name, a damaged file, a wrong size) gives way to the drawn picture.
TEST(SplashScreen, AboutPictureDecodedByTheProgramsOwnLoader)
{
    const QColor skin(10, 200, 30);
    QImage picture(layout::AboutPicture.w, layout::AboutPicture.h, QImage::Format_RGB32);
    picture.fill(skin);
    struct Case { const char* name; std::function<QByteArray()> file; bool shown; };
    auto encoded = [](const QImage& image, const char* format) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, format);
        return bytes;
    };
    const Case cases[] = {
        {"PNG", [&] { return encoded(picture, "PNG"); }, true},
        {"BMP under the PNG's name", [&] { return encoded(picture, "BMP"); }, false},
        {"cut-off PNG", [&] { return encoded(picture, "PNG").left(200); }, false},
        {"PNG of another size", [&] { return encoded(picture.scaled(100, 100), "PNG"); }, false},
    };
    for (const Case& c : cases) {
        QTemporaryDir folder;
        QDir().mkpath(folder.path() + "/pics");
        QFile file(folder.path() + "/pics/" + QString::fromLatin1(layout::AboutPicture.file.data(),
                                                                    int(layout::AboutPicture.file.size())));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(c.file());
        file.close();
        TSplashScreen about(folder.path().toStdString());
        about.show();   // the picture is decoded when the window first shows
        const QImage shown = about.Image->pixmap().toImage();
        ASSERT_EQ(shown.size(), picture.size()) << c.name;
        EXPECT_EQ(shown.pixelColor(5, 5) == skin, c.shown) << c.name;
    }
}
