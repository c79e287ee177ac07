// The about window.
#include "dialogs/Tsplashscreen.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

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
