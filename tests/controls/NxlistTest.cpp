// The picture list: automatic width, picture stretching, selection and hover.
#include "controls/Nxlist.h"
#include "tests/controls/ControlsFixture.h"

#include <QSignalSpy>
#include <QTest>

namespace {

const QColor idleColour(10, 20, 30), hoverColour(40, 50, 60), downColour(70, 80, 90), selectedColour(100, 110, 120);

class ListTest : public testing::Test {
protected:
    void SetUp() override
    {
        window.resize(400, 300);
        list = new TNXList(&window);
        list->move(10, 10);
        list->Loaded();
        list->SetPicOnIdle(pics.Solid("idle.png", 40, 20, idleColour));
        list->SetPicOnMouseMove(pics.Solid("hover.png", 40, 20, hoverColour));
        list->SetPicOnMouseDown(pics.Solid("down.png", 40, 20, downColour));
        list->SetPicOnSelected(pics.Solid("selected.png", 40, 20, selectedColour));
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    QColor ItemColour(int i) { return ShownAt(*list, 1, i * 20 + 1); }

    PictureFolder pics;
    QWidget window;
    TNXList* list = nullptr;
};

TEST_F(ListTest, AutoWidthMeasuresTheLongestItemWithTwoHs)
{
    list->SetAutoWidth(true);
    list->SetItems({"a", "abcde", "ab"});
    const QFontMetrics metrics(list->fontMetrics());
    const QFontMetrics idle(DefaultLabelFont().font);
    EXPECT_EQ(list->AutoItemWidth(), idle.horizontalAdvance("abcdeHH"));
    EXPECT_EQ(list->ItemWidth(), list->AutoItemWidth());
    EXPECT_EQ(list->size(), QSize(list->AutoItemWidth(), 3 * 20));

    list->SetItems({"WW", "ii", "x"}); // a tie goes to the first
    EXPECT_EQ(list->AutoItemWidth(), idle.horizontalAdvance("WWHH"));

    list->SetMinAutoWidth(500);
    EXPECT_EQ(list->AutoItemWidth(), 500);
    EXPECT_EQ(ItemColour(0), idleColour); // the pictures were stretched to match
    EXPECT_EQ(ShownAt(*list, 499, 1), idleColour);
}

TEST_F(ListTest, WithoutAutoWidthTheItemsTakeThePictureSize)
{
    list->SetHorizontal(true);
    list->SetItems({"a", "b", "c"});
    EXPECT_EQ(list->size(), QSize(120, 20));
}

TEST_F(ListTest, RemovingTheSelectedItemClearsTheSelection)
{
    list->SetItems({"a", "b", "c"});
    list->SetItemIndex(2);
    QSignalSpy changed(list, &TNXList::changed);
    list->DeleteItem(0);
    EXPECT_EQ(list->ItemIndex(), -1);
    EXPECT_EQ(changed.count(), 1);
}

TEST_F(ListTest, ClickSelectsAndEachItemShowsItsLook)
{
    list->SetItems({"a", "b", "c"});
    QSignalSpy changed(list, &TNXList::changed);
    QTest::mouseMove(list, QPoint(5, 25));
    EXPECT_EQ(list->HoverItem(), 1);
    EXPECT_EQ(ItemColour(1), hoverColour);
    QTest::mouseClick(list, Qt::LeftButton, {}, QPoint(5, 45));
    EXPECT_EQ(list->ItemIndex(), 2);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(ItemColour(2), selectedColour);
    EXPECT_EQ(ItemColour(0), idleColour);
}

TEST_F(ListTest, HoverIsNeverShownOnThePressedItem)
{
    list->SetItems({"a", "b", "c"});
    QTest::mousePress(list, Qt::LeftButton, {}, QPoint(5, 25));
    QTest::mouseRelease(list, Qt::LeftButton, {}, QPoint(300, 250)); // released outside: no click
    ASSERT_EQ(list->PressedItem(), 1);
    QTest::mouseMove(list, QPoint(6, 26));
    EXPECT_EQ(list->HoverItem(), -1);
    EXPECT_EQ(ItemColour(1), downColour);
    QTest::mouseMove(list, QPoint(6, 6));
    EXPECT_EQ(list->HoverItem(), 0);
}

TEST_F(ListTest, ADisabledListWithoutADisabledPictureDrawsAsEnabled)
{
    list->SetItems({"a", "b"});
    list->SetItemIndex(1);
    list->setEnabled(false);
    EXPECT_EQ(ItemColour(1), selectedColour);
}

TEST(ItemPictureStretch, WideningRepeatsTheColumnBeforeTheLastFifth)
{
    std::vector<QColor> columns;
    for (int x = 0; x < 10; ++x)
        columns.push_back(QColor(x * 20, 0, 0));
    PictureFolder pics;
    QImage source(QString::fromStdString(pics.Columns("ten.png", columns)));
    const QImage wide = StretchItemPicture(source, 15);
    ASSERT_EQ(wide.width(), 15);
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(wide.pixelColor(x, 0).red(), std::min(x, 8) * 20) << x;
    for (int x = 8; x < 13; ++x)
        EXPECT_EQ(wide.pixelColor(x, 0).red(), 8 * 20) << x; // w - q = 8
    EXPECT_EQ(wide.pixelColor(13, 0).red(), 8 * 20);
    EXPECT_EQ(wide.pixelColor(14, 0).red(), 9 * 20);

    const QImage narrow = StretchItemPicture(wide, 12);
    ASSERT_EQ(narrow.width(), 12);
    EXPECT_EQ(narrow.pixelColor(11, 0).red(), 9 * 20); // the right end is kept
    EXPECT_EQ(narrow.pixelColor(0, 0).red(), 0);
}

} // namespace
