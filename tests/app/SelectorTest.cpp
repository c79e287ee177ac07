// The root and chord-type selectors, categories and chord lists on the real window.
#include "WindowFixture.h"

#include "app/MenuColumns.h"
#include "controls/Nxpanel.h"
#include "controls/Timage.h"
#include "layout/Layout.h"

#include <QApplication>
#include <QLabel>
#include <QComboBox>
#include <QListWidget>
#include <QSlider>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

namespace {

std::vector<std::string> listLines(const TMainForm& form)
{
    std::vector<std::string> lines;
    for (int i = 0; i < form.Controls().List->count(); ++i)
        lines.push_back(form.Controls().List->item(i)->text().toStdString());
    return lines;
}

// Chord types whose domList holds the given number of entries, d1, d2 ...; the lines before
// it give the other types and lists.
FixtureFiles withLongDomList(int entries, const std::string& before = "maj,0100,0304,0507\n")
{
    FixtureFiles files;
    std::string chords = before + "list:domList\n";
    for (int i = 1; i <= entries; ++i)
        chords.append("d").append(std::to_string(i)).append(",0100,0304,0507,0710\n");
    files.chords = chords;
    return files;
}

// Where Qt sends a key while a popup menu is open: its focus widget, else the menu itself.
QWidget* menuKeyTarget()
{
    QWidget* popup = QApplication::activePopupWidget();
    return popup && popup->focusWidget() ? popup->focusWidget() : popup;
}

} // namespace

TEST(RootSelector, PressWithin16PixelsSelectsAndPlaysTheRoot)
{
    WindowFixture fixture;
    TMainForm& form = fixture.Start();
    fixture.ClearMessages();
    PressAt(form.Controls().LeftImage, 106, 194 + 16);   // G, 16 pixels below its centre
    EXPECT_EQ(form.SelectedRoot, 6);
    EXPECT_EQ(form.RootCursor, 6);
    EXPECT_EQ(form.Controls().RootLabel->text(), "G");
    // The root alone sounds, on the root channel two octaves below middle C.
    const auto notes = fixture.NoteOns(1);
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0], std::make_pair(1, 36 + 7));

    PressAt(form.Controls().LeftImage, 106, 194 + 17);   // just out of reach
    EXPECT_EQ(form.SelectedRoot, 6);
}

TEST(RootSelector, PressOnTheSelectedRootReplaysItWithoutRefreshing)
{
    WindowFixture fixture;
    TMainForm& form = fixture.Start();
    PressAt(form.Controls().LeftImage, 106, 194);
    fixture.NoteOns(1);   // the first press's note has arrived
    form.Controls().List->clear();   // a refresh would rebuild the list
    fixture.ClearMessages();
    PressAt(form.Controls().LeftImage, 106, 194);
    EXPECT_EQ(form.Controls().List->count(), 0);
    EXPECT_EQ(fixture.NoteOns(1), (std::vector<std::pair<int, int>>{{1, 43}}));
}

TEST(RootSelector, SpotAndNameDrawnOnTheSelectedRoot)
{
    WindowFixture fixture;
    TMainForm& form = fixture.Start();
    const QImage& canvas = form.Controls().LeftImage->Canvas();
    // The spot (yellowish, half transparent) shows around C and not around G.
    const layout::Point c = layout::RootCentres[16];
    const QColor nearC = canvas.pixelColor(c.x - 15, c.y);
    EXPECT_GT(nearC.red(), kInstrumentGround.red() + 50);
    const layout::Point g = layout::RootCentres[6];
    EXPECT_EQ(canvas.pixelColor(g.x - 15, g.y), kInstrumentGround);
}

TEST(ChordTypeButtons, PressChecksOnlyItRefreshesAndPlaysTheChord)
{
    WindowFixture fixture;
    TMainForm& form = fixture.Start();
    fixture.ClearMessages();
    TNXPanel* maj7 = button(form, "T_maj7");
    ASSERT_NE(maj7, nullptr);
    PressAt(maj7, 10, 8);
    for (TNXPanel* b : form.Controls().ChordTypeButtons)
        EXPECT_EQ(b->Checked(), b == maj7) << b->objectName().toStdString();
    EXPECT_EQ(form.CurrentChordTypeName(), "maj7");
    EXPECT_EQ(form.Controls().ChordLabel->text(), "maj7");
    EXPECT_EQ(form.Controls().RootLabel->text(), "C");
    EXPECT_EQ(form.Controls().ChordLabel->x(), form.Controls().RootLabel->x() + form.Controls().RootLabel->width() + 8);
    EXPECT_EQ(form.Controls().RootLabel->x(), 24);
    ASSERT_EQ(form.Controls().List->count(), 1);
    EXPECT_EQ(form.Controls().List->currentRow(), 0);
    // The first variation plays: C E G B, the root on its own channel.
    const auto notes = fixture.NoteOns(4);
    EXPECT_EQ(notes, (std::vector<std::pair<int, int>>{{1, 48}, {0, 52}, {0, 55}, {0, 59}}));
}

TEST(ChordTypeButtons, SelectByNameIgnoresCaseAndFindsListMembers)
{
    WindowFixture fixture;
    TMainForm& form = fixture.Start();
    form.SelectChordTypeByName("MMAJ7");
    EXPECT_TRUE(button(form, "T_mMaj7")->Checked());
    EXPECT_EQ(form.CurrentChordTypeName(), "mmaj7");
    form.SelectChordTypeByName("Maj13");
    EXPECT_TRUE(button(form, "majList")->Checked());
    EXPECT_EQ(button(form, "majList")->GetText(), "maj13");
    EXPECT_EQ(form.CurrentChordTypeName(), "maj13");
    form.SelectChordTypeByName("nosuch");
    EXPECT_EQ(form.CurrentChordTypeName(), "maj13");
}

TEST(ChordTypeButtons, NothingCheckedUpdatesOnlyTheLabels)
{
    WindowFixture fixture;
    TMainForm& form = fixture.Start();
    form.CheckOnlyButton(nullptr);
    form.Controls().List->clear();
    form.SelectionChanged(true);
    EXPECT_EQ(form.Controls().ChordLabel->text(), "");
    EXPECT_EQ(form.Controls().List->count(), 0);
}

TEST(ChordLists, ArrowZoneOpensTheListAndAChoicePlays)
{
    WindowFixture fixture;
    TMainForm& form = fixture.Start();
    TNXPanel* majList = button(form, "majList");
    PressAt(majList, 70, 8);
    EXPECT_TRUE(form.Controls().SelChordMenu->isVisible());
    EXPECT_EQ(MenuCaptions(form.Controls().SelChordMenu), (std::vector<std::string>{"add9", "maj13"}));
    EXPECT_FALSE(majList->Checked());
    fixture.ClearMessages();
    ASSERT_TRUE(ChooseFromMenu(form.Controls().SelChordMenu, "add9"));
    EXPECT_EQ(majList->GetText(), "add9");
    EXPECT_TRUE(majList->Checked());
    EXPECT_EQ(form.CurrentChordTypeName(), "add9");
    EXPECT_EQ(listLines(form), (std::vector<std::string>{"No variations found!"}));
    // No voicing: the calculated chord plays, C E G D.
    EXPECT_EQ(fixture.NoteOns(4).size(), 4u);
    // Reopened, the chosen entry is the default one.
    PressAt(majList, 84, 8);
    ASSERT_NE(form.Controls().SelChordMenu->defaultAction(), nullptr);
    EXPECT_EQ(form.Controls().SelChordMenu->defaultAction()->text(), "add9");
    form.Controls().SelChordMenu->close();

    // At x = 65 the same button is checked and played instead.
    PressAt(majList, 65, 8);
    EXPECT_FALSE(form.Controls().SelChordMenu->isVisible());
    EXPECT_TRUE(majList->Checked());
}

TEST(ChordLists, EveryTwentiethEntryStartsAColumn)
{
    WindowFixture fixture(withLongDomList(45));
    TMainForm& form = fixture.Start();
    form.OpenChordList(button(form, "domList"));
    MenuColumns* columns = MenuColumnsWidget(form.Controls().SelChordMenu);
    ASSERT_NE(columns, nullptr);
    ASSERT_EQ(columns->ColumnCount(), 3);
    const int sizes[] = {19, 20, 6};
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(columns->Column(c).size(), sizes[c]);
    EXPECT_EQ(columns->Column(1).front()->text(), "d20");
    form.Controls().SelChordMenu->close();
    // A plain button has no list under its name: an empty drop-down.
    form.OpenChordList(button(form, "T_maj"));
    EXPECT_TRUE(MenuCaptions(form.Controls().SelChordMenu).empty());
    form.Controls().SelChordMenu->close();
}

TEST(ChordLists, KeysChooseAnEntryInAShortMenuAndInColumns)
{
    WindowFixture fixture(withLongDomList(
        45, "maj,0100,0304,0507\nlist:majList\nadd9,0100,0304,0507,0914\nmaj13,0100,0304,0507,0711,0914,1321\n"));
    TMainForm& form = fixture.Start();
    QMenu* menu = form.Controls().SelChordMenu;
    auto openWithKeys = [&](const char* name) {
        // Without a window manager nothing gives the window back its activation after a menu.
        QApplication::setActiveWindow(&form);
        TNXPanel* list = button(form, name);
        form.Controls().CenterPanel->setFocus();
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Return, Qt::ControlModifier);
        EXPECT_TRUE(menu->isVisible());
        return list;
    };

    // A short list is a plain menu: Down to the second entry, Enter chooses and plays it.
    TNXPanel* majList = openWithKeys("majList");
    fixture.ClearMessages();
    QTest::keyClick(menuKeyTarget(), Qt::Key_Down);
    QTest::keyClick(menuKeyTarget(), Qt::Key_Down);
    QTest::keyClick(menuKeyTarget(), Qt::Key_Return);
    EXPECT_FALSE(menu->isVisible());
    EXPECT_EQ(majList->GetText(), "maj13");
    EXPECT_EQ(form.CurrentChordTypeName(), "maj13");
    EXPECT_EQ(fixture.NoteOns(6).size(), 6u);

    // In columns the grid has the keys: Down runs down the first column, Right keeps the row
    // in the next column, Left from the last row of a longer column lands on the shorter one's end.
    TNXPanel* domList = openWithKeys("domList");
    MenuColumns* columns = MenuColumnsWidget(menu);
    ASSERT_NE(columns, nullptr);
    ASSERT_EQ(menuKeyTarget(), columns);
    EXPECT_EQ(columns->Current(), nullptr);
    const std::pair<int, const char*> steps[] = {
        {Qt::Key_Down, "d1"}, {Qt::Key_Down, "d2"}, {Qt::Key_Right, "d21"}, {Qt::Key_Right, "d41"},
        {Qt::Key_Right, "d41"}, {Qt::Key_Up, "d40"}, {Qt::Key_End, "d45"}, {Qt::Key_Down, "d1"},
        {Qt::Key_Up, "d45"}, {Qt::Key_Home, "d1"},
    };
    for (const auto& [key, entry] : steps) {
        QTest::keyClick(menuKeyTarget(), Qt::Key(key));
        ASSERT_NE(columns->Current(), nullptr);
        EXPECT_EQ(columns->Current()->text().toStdString(), entry) << "after key " << key;
    }
    QTest::keyClick(menuKeyTarget(), Qt::Key_End);
    QTest::keyClick(menuKeyTarget(), Qt::Key_Up);
    QTest::keyClick(menuKeyTarget(), Qt::Key_Left);   // d44 is row 4 of the last column: d24
    EXPECT_EQ(columns->Current()->text(), "d24");
    QTest::keyClick(menuKeyTarget(), Qt::Key_Return);
    EXPECT_FALSE(menu->isVisible());
    EXPECT_EQ(domList->GetText(), "d24");
    EXPECT_TRUE(domList->Checked());

    // Opened again, the highlight starts on the chosen entry; Escape closes and keeps it.
    openWithKeys("domList");
    columns = MenuColumnsWidget(menu);
    ASSERT_NE(columns, nullptr);
    EXPECT_EQ(columns->Current()->text(), "d24");
    QTest::keyClick(menuKeyTarget(), Qt::Key_Down);
    QTest::keyClick(menuKeyTarget(), Qt::Key_Escape);
    EXPECT_FALSE(menu->isVisible());
    EXPECT_EQ(domList->GetText(), "d24");
}

TEST(ChordLists, ColumnEntriesHighlightUnderThePointerAndAClickChooses)
{
    WindowFixture fixture(withLongDomList(25));
    TMainForm& form = fixture.Start();
    TNXPanel* domList = button(form, "domList");
    form.OpenChordList(domList);
    MenuColumns* columns = MenuColumnsWidget(form.Controls().SelChordMenu);
    ASSERT_NE(columns, nullptr);
    QTest::qWaitForWindowExposed(form.Controls().SelChordMenu);
    // The second column's third entry, found by its place on the grid.
    QPoint target;
    for (int y = 0; y < columns->height() && target.isNull(); ++y)
        for (int x = columns->width() - 1; x > columns->width() / 2 && target.isNull(); --x) {
            QTest::mouseMove(columns, QPoint(x, y));
            if (columns->Current() && columns->Current()->text() == "d22")
                target = QPoint(x, y);
        }
    ASSERT_FALSE(target.isNull());
    // The highlighted entry is drawn in the menu's highlight, as any menu item (target is on
    // its top right corner).
    const QImage shot = columns->grab().toImage();
    const qreal ratio = shot.devicePixelRatio();
    EXPECT_EQ(shot.pixelColor(QPoint(target.x() - 10, target.y() + 5) * ratio).name(),
              form.Controls().SelChordMenu->palette().color(QPalette::Highlight).name());
    fixture.ClearMessages();
    QTest::mouseClick(columns, Qt::LeftButton, Qt::NoModifier, target);
    EXPECT_EQ(domList->GetText(), "d22");
    EXPECT_EQ(fixture.NoteOns(4).size(), 4u);
}

TEST(ChordTypeButtons, BodyOfAListButtonWithNoChordTypeYetOpensItsList)
{
    WindowFixture fixture;
    TMainForm& form = fixture.Start();
    TNXPanel* majList = button(form, "majList");
    fixture.ClearMessages();
    PressAt(majList, 10, 8);
    EXPECT_TRUE(form.Controls().SelChordMenu->isVisible());
    EXPECT_FALSE(majList->Checked());
    EXPECT_EQ(form.CurrentChordTypeName(), "maj");
    EXPECT_EQ(form.Controls().ChordLabel->text(), "maj");
    ASSERT_TRUE(ChooseFromMenu(form.Controls().SelChordMenu, "add9"));
    EXPECT_EQ(fixture.NoteOns(4).size(), 4u);
    // Once it holds a chord type, its body selects that again.
    PressAt(button(form, "T_m7"), 10, 8);
    fixture.ClearMessages();
    PressAt(majList, 10, 8);
    EXPECT_FALSE(form.Controls().SelChordMenu->isVisible());
    EXPECT_EQ(form.CurrentChordTypeName(), "add9");
    EXPECT_EQ(fixture.NoteOns(4).size(), 4u);
}

TEST(Categories, GuitarButtonsNarrowTheVariations)
{
    WindowFixture fixture;
    TMainForm& form = fixture.Start("guitar");
    // The first show acts as a press on FOLK.
    EXPECT_EQ(form.GuitarCategory, "FOLK");
    EXPECT_TRUE(form.Controls().FolkButton->Checked());
    EXPECT_EQ(form.Controls().List->count(), 3);
    fixture.ClearMessages();
    form.FolkButtonClick(form.Controls().JazzButton);
    EXPECT_TRUE(form.Controls().JazzButton->Checked());
    EXPECT_FALSE(form.Controls().FolkButton->Checked());
    EXPECT_EQ(form.Controls().List->count(), 1);
    form.FolkButtonClick(form.Controls().PopButton);
    EXPECT_EQ(form.Controls().List->count(), 2);
    // Showing again plays nothing.
    QTest::qWait(30);
    EXPECT_TRUE(fixture.NoteOns(0, 0).empty());
}

TEST(Categories, PianoFilterMenuHoldsAllAndTheFilesCategories)
{
    WindowFixture fixture;
    TMainForm& form = fixture.Start();
    EXPECT_EQ(form.Controls().CategoryFilter->GetText(), "All");
    EXPECT_EQ(form.Controls().List->count(), 2);
    form.CategoryFilterClick();
    EXPECT_EQ(MenuCaptions(form.Controls().SelChordMenu), (std::vector<std::string>{"All", "Basic", "Jazz"}));
    EXPECT_EQ(form.Controls().SelChordMenu->defaultAction()->text(), "All");
    ASSERT_TRUE(ChooseFromMenu(form.Controls().SelChordMenu, "Jazz"));
    EXPECT_EQ(form.Controls().CategoryFilter->GetText(), "Jazz");
    EXPECT_EQ(form.Controls().List->count(), 1);
    EXPECT_EQ(form.Controls().List->item(0)->text().toStdString(), "No variations found!");
}

TEST(PlaybackSettings, ChangedPatchAndVolumeAreHeardInTheNextChord)
{
    WindowFixture fixture;
    TMainForm& form = fixture.Start();
    fixture.Settings().ChordPatch->setCurrentIndex(7);
    fixture.Settings().RootPatch->setCurrentIndex(5);
    fixture.Settings().ChordVolume->setValue(90);
    fixture.ClearMessages();
    form.PlayChord();
    fixture.NoteOns(3);
    const auto sent = fixture.Messages();
    auto has = [&](uint32_t message) { return std::find(sent.begin(), sent.end(), message) != sent.end(); };
    EXPECT_TRUE(has(0xC0u | (7u << 8)));                 // chord channel program 7
    EXPECT_TRUE(has(0xC1u | (5u << 8)));                 // root channel program 5
    EXPECT_TRUE(has(0xB0u | (7u << 8) | (75u << 16)));   // volume 90, scaled by 100/120
}
