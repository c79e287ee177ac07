// The commands of the main window: what plays, the reverse finder end to end, the
// top-row buttons and the key map.
#include "WindowFixture.h"

#include "app/FocusFrame.h"
#include "controls/Nxpanel.h"
#include "controls/Timage.h"
#include "dialogs/Settingsdialog.h"
#include "dialogs/Tsplashscreen.h"
#include "layout/Layout.h"

#include <QApplication>
#include <QCheckBox>
#include <QCursor>
#include <QLabel>
#include <QSignalSpy>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

using Notes = std::vector<std::pair<int, int>>;

void hoverAndPress(TMainForm& form, int x, int y)
{
    QCursor::setPos(form.Controls().BottomImage->mapToGlobal(QPoint(x, y)));
    form.MoveEchoTimerTimer();
    PressAt(form.Controls().BottomImage, x, y);
}

void fillList(TMainForm& form, int lines)
{
    form.Controls().List->clear();
    for (int i = 0; i < lines; ++i)
        form.Controls().List->addItem(QString("line %1").arg(i));
}

// Runs action, which opens a modal window, and presses that window's OK from the event loop.
template <typename Action>
void acceptModal(Action action, bool& seen)
{
    QTimer::singleShot(0, [&seen] {
        QWidget* modal = QApplication::activeModalWidget();
        seen = modal != nullptr;
        if (auto* settings = qobject_cast<TSettings*>(modal))
            settings->Button1Click();
        else if (auto* about = qobject_cast<TSplashScreen*>(modal))
            about->HideButtonClick();
    });
    action();
}

} // namespace

TEST(PlayChordChoice, SelectedVariationElseTheCurrentChord)
{
    WindowFixture fixture;
    TMainForm& form = fixture.Start();
    form.Controls().List->setCurrentRow(1);   // C major, second voicing: -60 64 67
    fixture.ClearMessages();
    form.PlayChord();
    EXPECT_EQ(fixture.NoteOns(3), (Notes{{1, 60}, {0, 64}, {0, 67}}));

    fixture.ClearMessages();
    form.ThisChordContainsButtonClick();   // the calculated chord, root on its channel
    EXPECT_EQ(form.Controls().List->currentRow(), -1);
    EXPECT_EQ(fixture.NoteOns(3), (Notes{{1, 60}, {0, 64}, {0, 67}}));

    // The finder in "Show all chords" plays the current chord, not the selected line.
    form.Controls().List->setCurrentRow(1);
    form.Controls().ReverseFinder->SetChecked(true);
    fixture.ClearMessages();
    form.PlayChord();
    EXPECT_EQ(fixture.NoteOns(3), (Notes{{1, 60}, {0, 64}, {0, 67}}));
}

TEST(PlayChordChoice, GuitarVariationSkipsTheUnplayedString)
{
    WindowFixture fixture;
    TMainForm& form = fixture.Start("guitar");
    ASSERT_EQ(form.Controls().List->currentRow(), 0);   // x,3,2,0,1,0
    fixture.ClearMessages();
    form.PlayChord();
    const Notes notes = fixture.NoteOns(5);
    std::vector<int> played;
    for (const auto& n : notes)
        played.push_back(n.second);
    EXPECT_EQ(played, (std::vector<int>{48, 52, 55, 60, 64}));
}

TEST(ReverseFinder, EndToEndOnTheKeyboard)
{
    WindowFixture fixture;
    TMainForm& form = fixture.Start();
    PressAt(button(form, "T_maj7"), 10, 8);
    fixture.NoteOns(4);   // the chord the press played has arrived
    form.ReverseFinderMouseDown(10);
    EXPECT_TRUE(form.ReverseFinderOn());
    EXPECT_FALSE(form.Controls().LeftImage->isEnabled());
    for (TNXPanel* b : form.Controls().ChordTypeButtons)
        EXPECT_TRUE(b->Checked());
    EXPECT_EQ(form.Controls().ChordLabel->text(), "maj7");

    for (int note : {60, 64, 67})
        hoverAndPress(form, layout::KeyCentre(note)->x, layout::KeyCentre(note)->y);
    EXPECT_EQ(form.FinderMarks.size(), 3u);
    ASSERT_GT(form.Controls().List->count(), 0);
    int cMajor = -1;
    for (int i = 0; i < form.Controls().List->count(); ++i)
        if (form.Controls().List->item(i)->text().startsWith("Cmaj "))
            cMajor = i;
    ASSERT_GE(cMajor, 0);

    // A double-click on a result selects its root and shows its chord type.
    form.SelectRoot(6);
    form.Controls().List->setCurrentRow(cMajor);
    fixture.ClearMessages();
    form.ListDblClick();
    EXPECT_EQ(form.SelectedRoot, 16);
    EXPECT_EQ(form.Controls().ChordLabel->text(), "maj");
    EXPECT_EQ(fixture.NoteOns(3), (Notes{{1, 60}, {0, 64}, {0, 67}}));
    // The same line again only plays.
    form.SelectRoot(6);
    fixture.ClearMessages();
    form.ListDblClick();
    EXPECT_EQ(form.SelectedRoot, 6);
    EXPECT_EQ(fixture.NoteOns(3).size(), 3u);

    // The sub-mode menu opens in the switch's right 40 pixels.
    form.ReverseFinderMouseDown(118);
    ASSERT_TRUE(form.Controls().SelChordMenu->isVisible());
    EXPECT_EQ(MenuCaptions(form.Controls().SelChordMenu),
              (std::vector<std::string>{"Show all chords", "Show specific voicings"}));
    ASSERT_TRUE(ChooseFromMenu(form.Controls().SelChordMenu, "Show specific voicings"));
    EXPECT_EQ(form.FinderMode(), 1);
    EXPECT_EQ(form.Controls().ReverseFinder->GetText(), "Show specific voicings");
    EXPECT_EQ(form.FinderMarks.size(), 3u);   // the piano keeps its marks

    // Off again at x = 117: the chord type of the chosen result stays selected.
    form.ReverseFinderMouseDown(117);
    EXPECT_FALSE(form.ReverseFinderOn());
    EXPECT_TRUE(form.Controls().LeftImage->isEnabled());
    EXPECT_EQ(form.CurrentChordTypeName(), "maj");
    for (TNXPanel* b : form.Controls().ChordTypeButtons)
        EXPECT_EQ(b->Checked(), b == button(form, "T_maj"));
}

TEST(ReverseFinder, SwitchingOffRestoresTheEarlierChordType)
{
    WindowFixture fixture;
    TMainForm& form = fixture.Start();
    PressAt(button(form, "T_m7"), 10, 8);
    form.ReverseFinderMouseDown(10);
    PressAt(button(form, "T_maj"), 10, 8, Qt::RightButton);   // the filter is maj alone now
    EXPECT_EQ(form.CurrentChordTypeName(), "m7");
    form.ReverseFinderMouseDown(10);
    EXPECT_EQ(form.CurrentChordTypeName(), "m7");
    for (TNXPanel* b : form.Controls().ChordTypeButtons)
        EXPECT_EQ(b->Checked(), b == button(form, "T_m7"));
}

TEST(ReverseFinder, NamesChordsFromTheLowestMarkWhenTheSettingSaysSo)
{
    WindowFixture fixture;
    TMainForm& form = fixture.Start();
    form.ReverseFinderMouseDown(10);
    for (bool fromBass : {false, true}) {
        fixture.Settings().NameFromLowestNote->setChecked(fromBass);
        form.FinderMarks.clear();
        for (int note : {64, 67, 72})   // E G C, E lowest
            hoverAndPress(form, layout::KeyCentre(note)->x, layout::KeyCentre(note)->y);
        ASSERT_GT(form.Controls().List->count(), 0);
        EXPECT_EQ(form.Controls().List->item(0)->text().toStdString(), fromBass ? "Cmaj/E " : "Cmaj ");
    }
}

TEST(ReverseFinder, EmptyListSaysWhatIsMissingAndTheLockedRootsAreDimmed)
{
    WindowFixture fixture;
    TMainForm& form = fixture.Start();
    VariationListBox* list = form.Controls().List;
    const QImage& roots = form.Controls().LeftImage->Canvas();
    const QPoint clear(60, 20);   // a point of the root column far from any root
    ASSERT_EQ(roots.pixelColor(clear), kInstrumentGround);
    EXPECT_FALSE(list->EmptyTextShown());

    form.ReverseFinderMouseDown(10);
    EXPECT_LT(roots.pixelColor(clear).lightness(), kInstrumentGround.lightness() / 2);
    EXPECT_NE(form.Controls().LeftPanel->accessibleName().indexOf("locked"), -1);
    // The text stands in the empty list; it is no line that a key or a click could pick.
    EXPECT_EQ(list->count(), 0);
    EXPECT_TRUE(list->EmptyTextShown());
    EXPECT_EQ(list->EmptyText(), "Mark two or more notes");
    hoverAndPress(form, layout::KeyCentre(60)->x, layout::KeyCentre(60)->y);
    EXPECT_EQ(list->EmptyText(), "Mark two or more notes");
    hoverAndPress(form, layout::KeyCentre(64)->x, layout::KeyCentre(64)->y);
    EXPECT_GT(list->count(), 0);
    EXPECT_FALSE(list->EmptyTextShown());
    // C, C# and E together: no chord with voicings in the file holds them.
    hoverAndPress(form, layout::KeyCentre(61)->x, layout::KeyCentre(61)->y);
    EXPECT_EQ(list->count(), 0);
    EXPECT_TRUE(list->EmptyTextShown());
    EXPECT_EQ(list->EmptyText(), "No chord contains these notes");

    form.ReverseFinderMouseDown(10);
    EXPECT_FALSE(list->EmptyTextShown());
    EXPECT_GT(list->count(), 0);
    EXPECT_EQ(roots.pixelColor(clear), kInstrumentGround);
    EXPECT_EQ(form.Controls().LeftPanel->accessibleName(), "Root: C");
}

TEST(ReverseFinder, FocusFollowsTheChordTypeRestoredWhenItEnds)
{
    WindowFixture fixture;
    TMainForm& form = fixture.Start();
    PressAt(button(form, "T_m7"), 10, 8);
    form.ReverseFinderMouseDown(10);
    QTest::keyClick(form.Controls().List, Qt::Key_C, Qt::AltModifier);
    ASSERT_TRUE(button(form, "T_maj")->hasFocus());   // every button is checked: the first takes it
    form.ReverseFinderMouseDown(10);
    EXPECT_EQ(form.CurrentChordTypeName(), "m7");
    EXPECT_TRUE(button(form, "T_m7")->hasFocus());
    EXPECT_EQ(form.Controls().ChordSpot->geometry(), button(form, "T_m7")->geometry().adjusted(-2, -2, 2, 2));
}

TEST(ReverseFinder, ResultLineGivesRootAndChordType)
{
    WindowFixture fixture;
    TMainForm& form = fixture.Start();
    form.ReverseFinderMouseDown(10);
    struct Case {
        const char* line;
        int root;
        const char* rootName;
        const char* type;
    };
    const Case cases[] = {
        {"F#m7b5 - 3 of 4", 8, "F#", "m7b5"},
        {"Cmaj/E ", 16, "C", "maj"},      // named from its bass
        {"Ebm7/Gb ", 11, "Eb", "m7"},
    };
    form.Controls().List->clear();
    for (const Case& c : cases)
        form.Controls().List->addItem(c.line);
    for (int row = 0; row < int(std::size(cases)); ++row) {
        const Case& c = cases[row];
        form.Controls().List->setCurrentRow(row);
        form.ListDblClick();
        EXPECT_EQ(form.SelectedRoot, c.root) << c.line;
        EXPECT_EQ(form.Controls().RootLabel->text(), c.rootName) << c.line;
        EXPECT_EQ(form.Controls().ChordLabel->text(), c.type) << c.line;
    }
}

TEST(ReverseFinder, GuitarSpecificVoicingsStartWithoutMarks)
{
    WindowFixture fixture;
    TMainForm& form = fixture.Start("guitar");
    form.ReverseFinderMouseDown(10);
    hoverAndPress(form, 104, 141);
    ASSERT_EQ(form.FinderMarks.size(), 1u);
    form.FinderModeItemClick(0);   // the current mode again: nothing but a rebuild
    EXPECT_EQ(form.FinderMarks.size(), 1u);
    form.FinderModeItemClick(1);
    EXPECT_TRUE(form.FinderMarks.empty());
}

TEST(Commands, ToggleButtonsStayOnWhenPressedAgain)
{
    WindowFixture fixture;
    TMainForm& form = fixture.Start();
    form.ArpeggioButtonClick();
    form.ArpeggioButtonClick();
    EXPECT_TRUE(form.Controls().ArpeggioButton->Checked());
    EXPECT_FALSE(form.Controls().ChordButton->Checked());
    form.ScaleDegreesButtonClick();
    EXPECT_TRUE(form.Controls().ScaleDegreesButton->Checked());
    EXPECT_FALSE(form.Controls().NoteNamesButton->Checked());
    form.ChordButtonClick();
    EXPECT_TRUE(form.Controls().ChordButton->Checked());
    EXPECT_FALSE(form.Controls().ArpeggioButton->Checked());
}

TEST(Commands, SettingsOkRefreshesTheDisplayAndTheLogoShowsTheAboutWindow)
{
    WindowFixture fixture;
    TMainForm& form = fixture.Start();
    form.Controls().List->clear();
    bool seen = false;
    acceptModal([&] { form.SettingsButtonClick(); }, seen);
    EXPECT_TRUE(seen);
    EXPECT_EQ(form.Controls().List->count(), 2);   // refreshed

    seen = false;
    acceptModal([&] { QTest::keyClick(form.Controls().List, Qt::Key_S, Qt::AltModifier); }, seen);
    EXPECT_TRUE(seen);

    seen = false;
    acceptModal([&] { form.NXLogoClick(); }, seen);
    EXPECT_TRUE(seen);
    EXPECT_FALSE(fixture.About().isVisible());
}

TEST(KeyMap, WhichKeysAreConsumed)
{
    struct Case { int key; Qt::KeyboardModifiers modifiers; bool guitar; bool consumed; };
    const Case cases[] = {
        {Qt::Key_T, Qt::AltModifier, false, false},   // Alt+T belongs to the guitar
        {Qt::Key_F, Qt::AltModifier, true, false},    // Alt+F to the piano
        {Qt::Key_T, Qt::NoModifier, true, false},     // letters without Alt pass on
        {Qt::Key_P, Qt::AltModifier, false, true},
        {Qt::Key_D, Qt::AltModifier, true, true},
        {Qt::Key_QuoteLeft, Qt::NoModifier, false, true},
        {Qt::Key_Return, Qt::NoModifier, false, false},   // nothing with the focus elsewhere
        {Qt::Key_X, Qt::AltModifier, false, false},
    };
    for (const Case& c : cases) {
        WindowFixture fixture;
        TMainForm& form = fixture.Start(c.guitar ? "guitar" : "");
        form.Controls().ThisChordContainsButton->setFocus();
        EXPECT_EQ(form.FormKeyDown(c.key, c.modifiers), c.consumed) << c.key << " guitar=" << c.guitar;
    }
}

TEST(KeyMap, SpaceAndDigitsPlayWhateverHasTheFocus)
{
    WindowFixture fixture;
    TMainForm& form = fixture.Start();
    form.Controls().List->setFocus();
    form.Controls().List->setCurrentRow(0);
    fixture.ClearMessages();
    QTest::keyClick(form.Controls().List, Qt::Key_Space);
    EXPECT_EQ(fixture.NoteOns(3).size(), 3u);
    EXPECT_EQ(form.Controls().List->currentRow(), 0);

    fillList(form, 10);
    QSignalSpy beeps(&form, &TMainForm::beeped);
    QTest::keyClick(form.Controls().List, Qt::Key_0);
    EXPECT_EQ(form.Controls().List->currentRow(), 9);
    EXPECT_EQ(beeps.count(), 0);
    QTest::keyClick(form.Controls().List, Qt::Key_1, Qt::AltModifier);
    EXPECT_EQ(beeps.count(), 1);
    EXPECT_EQ(form.Controls().List->currentRow(), 9);
}

TEST(KeyMap, AltKeysSwitchStylesCategoriesAndFocus)
{
    WindowFixture fixture;
    TMainForm& form = fixture.Start("guitar");
    QWidget* target = form.Controls().List;
    QTest::keyClick(target, Qt::Key_P, Qt::AltModifier);
    EXPECT_TRUE(form.Controls().ArpeggioButton->Checked());
    QTest::keyClick(target, Qt::Key_D, Qt::AltModifier);
    EXPECT_TRUE(form.Controls().ScaleDegreesButton->Checked());
    for (const char* category : {"POP", "JAZZ", "FOLK"}) {
        QTest::keyClick(target, Qt::Key_T, Qt::AltModifier);
        EXPECT_EQ(form.GuitarCategory, category);
    }
    QTest::keyClick(target, Qt::Key_R, Qt::AltModifier);
    EXPECT_TRUE(form.Controls().LeftPanel->hasFocus());
    QTest::keyClick(form.Controls().LeftPanel, Qt::Key_C, Qt::AltModifier);
    EXPECT_TRUE(button(form, "T_maj")->hasFocus());   // the checked button takes the focus
    EXPECT_TRUE(form.Controls().CenterSpot->isVisible());
}

TEST(KeyMap, RootCursorAndEnter)
{
    WindowFixture fixture;
    TMainForm& form = fixture.Start();
    form.SelectRoot(0);
    form.Controls().LeftPanel->setFocus();
    QTest::keyClick(form.Controls().LeftPanel, Qt::Key_Up);
    EXPECT_EQ(form.RootCursor, 0);
    QTest::keyClick(form.Controls().LeftPanel, Qt::Key_Down);
    QTest::keyClick(form.Controls().LeftPanel, Qt::Key_Down);
    EXPECT_EQ(form.RootCursor, 2);
    EXPECT_EQ(form.SelectedRoot, 0);
    fixture.ClearMessages();
    QTest::keyClick(form.Controls().LeftPanel, Qt::Key_Return);
    EXPECT_EQ(form.SelectedRoot, 2);
    EXPECT_EQ(form.Controls().RootLabel->text(), "A#");
    EXPECT_EQ(fixture.NoteOns(1), (Notes{{1, 46}}));
}

TEST(KeyMap, EnterOnAChordTypeButtonAndCtrlEnterOpensItsList)
{
    WindowFixture fixture;
    TMainForm& form = fixture.Start();
    form.Controls().CenterPanel->setFocus();
    TNXPanel* m7 = button(form, "T_m7");
    m7->setFocus();
    QTest::keyClick(m7, Qt::Key_Return);
    EXPECT_EQ(form.CurrentChordTypeName(), "m7");
    TNXPanel* minList = button(form, "minList");
    minList->setFocus();
    QTest::keyClick(minList, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_TRUE(form.Controls().SelChordMenu->isVisible());
    EXPECT_EQ(MenuCaptions(form.Controls().SelChordMenu), (std::vector<std::string>{"m11"}));
    form.Controls().SelChordMenu->close();
}

TEST(KeyMap, AltSpaceClosesTheWindow)
{
    WindowFixture fixture;
    TMainForm& form = fixture.Start();
    QTest::keyClick(form.Controls().List, Qt::Key_Space, Qt::AltModifier);
    EXPECT_FALSE(form.isVisible());
}
