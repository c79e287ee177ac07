// The picture button: its state table, the look each state shows, the picture
// setters' errors, fonts and the label layout.
#include "controls/Nxpanel.h"
#include "controls/Timage.h"
#include "tests/controls/ControlsFixture.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTest>

#include <filesystem>
#include <optional>
#include <thread>

namespace {

const QColor idleColour(10, 20, 30), hoverColour(40, 50, 60), downColour(70, 80, 90), checkedColour(100, 110, 120),
    disabledColour(130, 140, 150);

class PanelTest : public testing::Test {
protected:
    void SetUp() override
    {
        window.resize(200, 100);
        panel = new TNXPanel(&window);
        panel->setGeometry(20, 20, 60, 30);
        panel->Loaded();
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    void SetAll(bool disabledPicture = true)
    {
        panel->SetPicOnIdle(pics.Solid("idle.png", 60, 30, idleColour));
        panel->SetPicOnMouseMove(pics.Solid("hover.png", 60, 30, hoverColour));
        panel->SetPicOnMouseDown(pics.Solid("down.png", 60, 30, downColour));
        panel->SetPicOnChecked(pics.Solid("checked.png", 60, 30, checkedColour));
        if (disabledPicture)
            panel->SetPicOnDisabled(pics.Solid("disabled.png", 60, 30, disabledColour));
    }
    QColor Shown() { return ShownAt(*panel, 5, 5); }
    void Enter() { QTest::mouseMove(panel, QPoint(10, 10)); }
    void Leave() { QTest::mouseMove(&window, QPoint(150, 80)); }

    PictureFolder pics;
    QWidget window;
    TNXPanel* panel = nullptr;
};

TEST_F(PanelTest, StateTableFollowsHoverLeavePressAndChecked)
{
    SetAll();
    EXPECT_EQ(panel->State(), TNXPanel::StateIdle);
    EXPECT_EQ(Shown(), idleColour);
    Enter();
    EXPECT_EQ(panel->State(), TNXPanel::StateMouseMove);
    EXPECT_EQ(Shown(), hoverColour);
    QTest::mousePress(panel, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(panel->State(), TNXPanel::StateMouseDown);
    EXPECT_EQ(Shown(), downColour);
    QTest::mouseRelease(panel, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(panel->State(), TNXPanel::StateMouseDown); // no mouse-up handling: pressed stays
    Leave();
    EXPECT_EQ(panel->State(), TNXPanel::StateIdle);
    EXPECT_EQ(Shown(), idleColour);

    panel->SetChecked(true);
    EXPECT_EQ(panel->State(), TNXPanel::StateChecked);
    EXPECT_EQ(Shown(), checkedColour);
    Enter(); // a checked panel shows its checked look whatever the state
    EXPECT_EQ(panel->State(), TNXPanel::StateMouseMove);
    EXPECT_EQ(Shown(), checkedColour);
    panel->SetChecked(false);
    EXPECT_EQ(panel->State(), TNXPanel::StateIdle);
}

TEST_F(PanelTest, HoverNeedsAMouseOverPictureAndPressNeedsAPressedOne)
{
    panel->SetPicOnIdle(pics.Solid("idle.png", 60, 30, idleColour));
    Enter();
    EXPECT_EQ(panel->State(), TNXPanel::StateIdle);
    QTest::mouseClick(panel, Qt::RightButton, {}, QPoint(10, 10));
    EXPECT_EQ(panel->State(), TNXPanel::StateIdle);
    EXPECT_EQ(Shown(), idleColour);
}

TEST_F(PanelTest, DisabledShowsItsPictureOrThePlainFaceInTheDisabledFont)
{
    SetAll();
    panel->setEnabled(false);
    EXPECT_EQ(Shown(), disabledColour);

    // An empty name is a missing file; the slot keeps the picture it had.
    EXPECT_THROW(panel->SetPicOnDisabled(""), std::runtime_error);
    EXPECT_EQ(Shown(), disabledColour);

    TNXPanel plain(&window);
    plain.setGeometry(100, 20, 60, 30);
    plain.Loaded();
    plain.SetPicOnIdle(pics.Solid("idle.png", 60, 30, idleColour));
    plain.SetBkColor(QColor(1, 200, 3));
    LabelFont font = DefaultLabelFont();
    font.colour = QColor(255, 0, 0);
    plain.SetFontOnDisabled(font);
    plain.SetText("WWWW");
    plain.setEnabled(false);
    const QImage shown = plain.grab().toImage();
    EXPECT_EQ(shown.pixelColor(1, 1), QColor(1, 200, 3));
    bool redText = false;
    for (int x = 0; x < shown.width(); ++x)
        redText |= shown.pixelColor(x, 15).red() > 200 && shown.pixelColor(x, 15).green() < 100;
    EXPECT_TRUE(redText);
}

// Start-up decodes only what the first paint shows: the other looks wait for their first use.
TEST_F(PanelTest, PicturesAreDecodedWhenFirstShown)
{
    SetAll();
    EXPECT_EQ(Shown(), idleColour);
    EXPECT_TRUE(panel->PictureDecoded(TNXPanel::SlotIdle));
    for (int slot : {TNXPanel::SlotMouseMove, TNXPanel::SlotMouseDown, TNXPanel::SlotChecked, TNXPanel::SlotDisabled}) {
        EXPECT_TRUE(panel->HoldsPicture(slot)) << slot;
        EXPECT_FALSE(panel->PictureDecoded(slot)) << slot;
    }
    Leave();
    Enter();
    EXPECT_EQ(Shown(), hoverColour);
    EXPECT_TRUE(panel->PictureDecoded(TNXPanel::SlotMouseMove));

    // A file read when it was set shows even if it is gone by its first paint.
    const std::string pressed = pics.Solid("pressed.png", 60, 30, downColour);
    panel->SetPicOnChecked(pressed);
    std::filesystem::remove(pressed);
    panel->SetChecked(true);
    EXPECT_EQ(Shown(), downColour);
}

// The shown picture may be decoded on another thread and handed back; one whose slot has
// taken another file meanwhile is dropped, and the new file shows.
TEST_F(PanelTest, ShownPictureDecodedElsewhereIsUsedUnlessTheSlotChanged)
{
    SetAll();
    panel->SetChecked(true);
    std::optional<TNXPanel::PictureJob> job = panel->ShownPictureJob();
    ASSERT_TRUE(job);
    EXPECT_EQ(job->slot, TNXPanel::SlotChecked);
    std::thread([&] { job->Decode(); }).join();
    panel->PutDecoded(std::move(*job));
    EXPECT_TRUE(panel->PictureDecoded(TNXPanel::SlotChecked));
    EXPECT_FALSE(panel->ShownPictureJob()) << "nothing left to decode";
    EXPECT_EQ(Shown(), checkedColour);

    panel->SetChecked(false);
    job = panel->ShownPictureJob();
    ASSERT_TRUE(job);
    job->Decode();
    panel->SetPicOnIdle(pics.Solid("other.png", 60, 30, hoverColour));
    panel->PutDecoded(std::move(*job));
    EXPECT_FALSE(panel->PictureDecoded(TNXPanel::SlotIdle));
    EXPECT_EQ(Shown(), hoverColour);
}

TEST_F(PanelTest, AStateWithoutItsPictureShowsTheDisabledPicture)
{
    panel->SetPicOnDisabled(pics.Solid("disabled.png", 60, 30, disabledColour));
    EXPECT_EQ(Shown(), disabledColour); // enabled, idle, but no idle picture
}

TEST_F(PanelTest, PictureSettersReportMissingFilesAndKeepTheOldPicture)
{
    const std::string idle = pics.Solid("idle.png", 60, 30, idleColour);
    panel->SetPicOnIdle(idle);
    std::filesystem::remove(idle);
    EXPECT_NO_THROW(panel->SetPicOnIdle(idle)); // unchanged name: not loaded again
    try {
        panel->SetPicOnIdle(pics.Path("gone.png"));
        FAIL() << "no exception";
    } catch (const std::runtime_error& error) {
        EXPECT_EQ(std::string(error.what()), "File not found : " + pics.Path("gone.png"));
    }
    EXPECT_EQ(panel->GetPicOnIdle(), "");
    EXPECT_EQ(Shown(), idleColour);
}

TEST_F(PanelTest, CheckedPictureMayBeTheIdleFile)
{
    const std::string idle = pics.Solid("idle.png", 60, 30, idleColour);
    panel->SetPicOnIdle(idle);
    panel->SetPicOnChecked(idle);
    EXPECT_TRUE(panel->HoldsPicture(TNXPanel::SlotChecked));
    EXPECT_EQ(panel->GetPicOnChecked(), idle);
}

TEST_F(PanelTest, AlphaPicturesBlendOverThePlainFace)
{
    QImage half(60, 30, QImage::Format_ARGB32);
    half.fill(QColor(255, 255, 255, 128));
    const std::string file = pics.Path("half.png");
    ASSERT_TRUE(half.save(QString::fromStdString(file), "PNG"));
    panel->UseAlpha = true;
    panel->SetBkColor(Qt::black);
    panel->SetPicOnIdle(file);
    EXPECT_EQ(Shown(), QColor(127, 127, 127));
}

TEST_F(PanelTest, BackgroundImageShowsThroughBehindThePanel)
{
    TImage background(&window);
    background.setGeometry(0, 0, 200, 100);
    QImage canvas(200, 100, QImage::Format_RGB32);
    canvas.fill(Qt::black);
    canvas.setPixelColor(25, 25, QColor(0, 255, 0)); // panel pixel (5, 5)
    background.SetPicture(canvas);
    background.lower();
    panel->BackgroundImage = &background;
    // A picture smaller than the panel leaves the background around it.
    panel->SetPicOnIdle(pics.Solid("corner.png", 2, 2, idleColour));
    EXPECT_EQ(Shown(), QColor(0, 255, 0));
    EXPECT_EQ(ShownAt(*panel, 1, 1), idleColour);
}

TEST_F(PanelTest, LoadedRunsOnce)
{
    TNXPanel fresh(&window);
    EXPECT_EQ(fresh.State(), TNXPanel::StateNotLoaded);
    fresh.Loaded();
    EXPECT_EQ(fresh.State(), TNXPanel::StateIdle);
    fresh.SetChecked(true);
    fresh.Loaded();
    EXPECT_EQ(fresh.State(), TNXPanel::StateChecked);
}

TEST_F(PanelTest, IdleFontReplacesAllFiveOthersOnlyTheirOwn)
{
    LabelFont big = DefaultLabelFont();
    big.font.setPixelSize(20);
    big.colour = Qt::red;
    panel->SetFontOnIdle(big);
    for (const LabelFont* font : {&panel->FontOnIdle(), &panel->FontOnMouseMove(), &panel->FontOnMouseDown(),
                                  &panel->FontOnChecked(), &panel->FontOnDisabled()}) {
        EXPECT_EQ(font->font.pixelSize(), 20);
        EXPECT_EQ(font->colour, QColor(Qt::red));
        EXPECT_EQ(font->font.styleStrategy() & QFont::PreferAntialias, QFont::PreferAntialias);
    }
    LabelFont small = big;
    small.font.setPixelSize(9);
    panel->SetFontOnMouseMove(small);
    EXPECT_EQ(panel->FontOnMouseMove().font.pixelSize(), 9);
    EXPECT_EQ(panel->FontOnIdle().font.pixelSize(), 20);
    EXPECT_EQ(panel->FontOnChecked().font.pixelSize(), 20);
}

TEST_F(PanelTest, EventsReachTheProgram)
{
    SetAll();
    QSignalSpy down(panel, &TNXPanel::mouseDown);
    QSignalSpy clicked(panel, &TNXPanel::clicked);
    QSignalSpy moved(panel, &TNXPanel::mouseMove);
    QTest::mouseMove(panel, QPoint(12, 7));
    QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(12, 7));
    ASSERT_EQ(down.count(), 1);
    EXPECT_EQ(down[0][0].value<Qt::MouseButton>(), Qt::LeftButton);
    EXPECT_EQ(down[0][2].toInt(), 12);
    EXPECT_EQ(down[0][3].toInt(), 7);
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_GE(moved.count(), 1);

    QSignalSpy entered(panel, &TNXPanel::focusEntered);
    QSignalSpy left(panel, &TNXPanel::focusLeft);
    QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(panel, &in);
    QApplication::sendEvent(panel, &out);
    EXPECT_EQ(entered.count(), 1);
    EXPECT_EQ(left.count(), 1);
}

// ---- label layout -----------------------------------------------------------

class LabelTest : public testing::Test {
protected:
    QFont font = DefaultLabelFont().font;
    QFontMetrics metrics{font};
};

TEST_F(LabelTest, LongLabelIsShortenedFromTheEndWithDots)
{
    const QString text = QStringLiteral("A much too long label for sixty pixels");
    const PanelLabel label = LayOutPanelLabel(metrics, text, QSize(60, 20), {});
    ASSERT_TRUE(label.text.endsWith(QStringLiteral("..")));
    const QString kept = label.text.chopped(2);
    EXPECT_TRUE(text.startsWith(kept));
    EXPECT_LT(metrics.horizontalAdvance(label.text), 57);
    // One character more would not have fitted.
    EXPECT_GE(metrics.horizontalAdvance(text.left(kept.size() + 1) + QStringLiteral("..")), 57);
}

TEST_F(LabelTest, OneCharacterIsNeverShortened)
{
    QFont huge = font;
    huge.setPixelSize(80);
    const PanelLabel label = LayOutPanelLabel(QFontMetrics(huge), QStringLiteral("W"), QSize(60, 20), {});
    EXPECT_EQ(label.text, QStringLiteral("W"));
}

TEST_F(LabelTest, PositionFollowsAlignmentMarginsAndPress)
{
    const QString text = QStringLiteral("ab");
    const int w = metrics.horizontalAdvance(text);
    const int y = (30 - metrics.height()) / 2;
    struct Case {
        LabelPlacement placement;
        QPoint origin;
    };
    const Case cases[] = {
        {{3, 0, 0, 0, false, Qt::AlignLeft, false}, {2 + 3, y}},
        {{0, 0, 0, 0, false, Qt::AlignRight, false}, {100 - w - 2, y}},
        {{0, 0, 0, 0, false, Qt::AlignHCenter, false}, {(100 - w) / 2, y}},
        {{20, 4, 0, 0, true, Qt::AlignLeft, false}, {20, y + 4}},
        {{20, 4, 1, 2, true, Qt::AlignLeft, true}, {21, y + 6}},
        {{20, 4, 1, 2, true, Qt::AlignLeft, false}, {20, y + 4}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LayOutPanelLabel(metrics, text, QSize(100, 30), c.placement).origin, c.origin);
}

TEST_F(LabelTest, LineFeedsCentreTheLinesInABox)
{
    const int h = metrics.height();
    const PanelLabel two = LayOutPanelLabel(metrics, QStringLiteral("one\ntwo"), QSize(100, 40), {});
    ASSERT_TRUE(two.multiLine);
    EXPECT_EQ(two.box, QRect(0, (40 - 2 * h) / 2 - 1, 97, (40 + 2 * h) / 2 + 1 - ((40 - 2 * h) / 2 - 1)));
    const PanelLabel trailing = LayOutPanelLabel(metrics, QStringLiteral("one\n"), QSize(100, 40), {});
    EXPECT_EQ(trailing.box.height(), two.box.height()); // the empty last line counts
}

} // namespace
