// The instrument view: markers on the keyboard and fretboard, and the finder's marks.
#include "WindowFixture.h"

#include "app/Geometry.h"
#include "chords/Notes.h"
#include "controls/Nxpanel.h"
#include "controls/Timage.h"
#include "dialogs/Settingsdialog.h"
#include "layout/Layout.h"

#include <QCheckBox>
#include <QCursor>
#include <QListWidget>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QColor pixel(const TMainForm& form, int x, int y)
{
    return form.Controls().BottomImage->Canvas().pixelColor(x, y);
}

// A point inside the ellipse but clear of its label, and a corner only a square covers.
bool markerAt(const TMainForm& form, int x, int y, const QColor& fill)
{
    return pixel(form, x - 12, y) == fill;
}
bool squareAt(const TMainForm& form, int x, int y, const QColor& fill)
{
    return pixel(form, x - 14, y - 9) == fill;
}

// Puts the window in reverse-finder mode as its switch does, with no marks.
void startFinder(TMainForm& form)
{
    form.Controls().ReverseFinder->SetChecked(true);
    form.FinderMarks.clear();
    form.DrawFinderMarks();
}

// Hovers the view at (x, y) and lets the echo timer run.
void hover(TMainForm& form, int x, int y)
{
    QCursor::setPos(form.Controls().BottomImage->mapToGlobal(QPoint(x, y)));
    form.MoveEchoTimerTimer();
}

const QColor kPianoRed(200, 0, 0);

// The marker centre of a piano key.
layout::Point key(int note)
{
    return *layout::KeyCentre(note);
}

} // namespace

TEST(InstrumentView, PianoMarkersAtTheKeyCentresSquaresForMarkedNotes)
{
    WindowFixture fixture;
    TMainForm& form = fixture.Start();
    // C major's first voicing: 48 52 55 (no mark).
    for (int note : {48, 52, 55})
        EXPECT_TRUE(markerAt(form, key(note).x, key(note).y, kPianoRed)) << note;
    EXPECT_FALSE(markerAt(form, key(60).x, key(60).y, kPianoRed));
    // The second voicing marks its 60: a square there.
    form.Controls().List->setCurrentRow(1);
    form.ListClick();
    EXPECT_TRUE(squareAt(form, key(60).x, key(60).y, kPianoRed));
    EXPECT_FALSE(squareAt(form, key(64).x, key(64).y, kPianoRed));   // 64 is round
    EXPECT_TRUE(markerAt(form, key(64).x, key(64).y, kPianoRed));
    EXPECT_FALSE(markerAt(form, key(48).x, key(48).y, kPianoRed));   // 48 gone
}

TEST(InstrumentView, KeysInTheListShowAndPlayTheHighlightedVoicing)
{
    WindowFixture fixture;
    TMainForm& form = fixture.Start();
    VariationListBox* list = form.Controls().List;
    list->setFocus();
    ASSERT_EQ(list->currentRow(), 0);
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(list->currentRow(), 1);
    EXPECT_TRUE(squareAt(form, key(60).x, key(60).y, kPianoRed));
    EXPECT_FALSE(markerAt(form, key(48).x, key(48).y, kPianoRed));
    fixture.ClearMessages();
    QTest::keyClick(list, Qt::Key_Space);
    EXPECT_EQ(fixture.NoteOns(3), (std::vector<std::pair<int, int>>{{1, 60}, {0, 64}, {0, 67}}));
    QTest::keyClick(list, Qt::Key_Up);
    EXPECT_TRUE(markerAt(form, key(48).x, key(48).y, kPianoRed));
    EXPECT_FALSE(squareAt(form, key(60).x, key(60).y, kPianoRed));

    // A click on the line already selected shows its voicing again.
    form.ThisChordContainsButtonClick();
    list->SelectLine(0);   // as the program selects: nothing is redrawn
    EXPECT_FALSE(markerAt(form, key(48).x, key(48).y, kPianoRed));
    const QRect line = list->visualItemRect(list->item(0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, line.center());
    EXPECT_TRUE(markerAt(form, key(48).x, key(48).y, kPianoRed));
}

TEST(InstrumentView, ChordColoursWhenTheSettingIsOn)
{
    WindowFixture fixture;
    TMainForm& form = fixture.Start();
    fixture.Settings().DisplayChordColor->setChecked(true);
    form.DrawChordOnInstrument(nullptr);
    // The root has its own colour (blue); the others keep the default fill.
    EXPECT_TRUE(markerAt(form, key(60).x, 150, QColor(0, 0, 255)));
    EXPECT_TRUE(markerAt(form, key(64).x, 150, kPianoRed));
}

TEST(InstrumentView, LabelFollowsTheTextColourRule)
{
    WindowFixture fixture;
    TMainForm& form = fixture.Start();
    QImage canvas(60, 40, QImage::Format_RGB32);
    auto inkOf = [&](ColourValue fill) {
        canvas.fill(Qt::black);
        form.DrawNoteMarker(canvas, 30, 20, false, fill, TextColourFor(fill), "W");
        // The brightest or darkest pixel near the centre is the label's ink.
        int lightest = 0, darkest = 255 * 3;
        for (int y = 14; y < 26; ++y)
            for (int x = 24; x < 36; ++x) {
                const QColor c = canvas.pixelColor(x, y);
                lightest = std::max(lightest, c.red() + c.green() + c.blue());
                darkest = std::min(darkest, c.red() + c.green() + c.blue());
            }
        return std::make_pair(lightest, darkest);
    };
    EXPECT_EQ(inkOf(MakeColour(0, 0, 255)).first, 255 * 3);    // white on blue
    EXPECT_EQ(inkOf(MakeColour(255, 255, 255)).second, 0);     // black on white
}

TEST(InstrumentView, GuitarChordShowsEveryPositionOfEveryTone)
{
    WindowFixture fixture;
    TMainForm& form = fixture.Start("guitar");
    form.DrawChordOnInstrument(nullptr);   // C E G on the whole fretboard
    const QColor white(255, 255, 255);
    for (int string = 0; string < 6; ++string)
        for (int fret = 0; fret < 16; ++fret) {
            const int pc = (OpenStringNote[string] + fret) % 12;
            const bool tone = pc == 0 || pc == 4 || pc == 7;
            EXPECT_EQ(markerAt(form, layout::FretX[fret], layout::StringY[string], white), tone)
                << string << "/" << fret;
        }
}

TEST(InstrumentView, GuitarVariationSkipsUnplayedStringsAndSquaresMarks)
{
    WindowFixture fixture;
    TMainForm& form = fixture.Start("guitar");
    TChordVariation variation;
    variation.notes = {65535, -3, 2, 0, 1, 0};
    variation.colours.assign(6, 0);
    variation.degreeLabels.assign(6, "");
    variation.noteNames.assign(6, "");
    form.DrawChordOnInstrument(&variation);
    const QColor white(255, 255, 255);
    for (int fret = 0; fret < 16; ++fret)
        EXPECT_FALSE(markerAt(form, layout::FretX[fret], layout::StringY[0], white));
    EXPECT_TRUE(squareAt(form, layout::FretX[3], 116, white));
    EXPECT_TRUE(markerAt(form, layout::FretX[2], layout::StringY[2], white));
    EXPECT_FALSE(squareAt(form, layout::FretX[2], layout::StringY[2], white));
}

TEST(InstrumentView, HitTestOnlyInFinderMode)
{
    WindowFixture fixture;
    TMainForm& form = fixture.Start();
    EXPECT_EQ(form.HitTestInstrument(34, 150), -1);
    form.Controls().ReverseFinder->SetChecked(true);
    EXPECT_EQ(form.HitTestInstrument(34, 150), 36);
    EXPECT_EQ(form.HitTestInstrument(49, 100), 37);
    EXPECT_EQ(form.HitTestInstrument(49, 150), -1);
}

TEST(FinderMarks, LeftPressAddsAndSoundsAPressOnAMarkRemovesIt)
{
    WindowFixture fixture;
    TMainForm& form = fixture.Start();
    startFinder(form);
    hover(form, 34, 150);
    EXPECT_EQ(form.HoverNote, 36);
    // The grey hover marker follows the pointer.
    EXPECT_TRUE(markerAt(form, 34, 150, QColor(160, 160, 160)));
    fixture.ClearMessages();
    PressAt(form.Controls().BottomImage, 34, 150);
    EXPECT_EQ(form.FinderMarks, (std::map<int, std::string>{{36, ""}}));
    EXPECT_EQ(fixture.NoteOns(1), (std::vector<std::pair<int, int>>{{1, 36}}));
    const auto sent = fixture.Messages();
    EXPECT_NE(std::find(sent.begin(), sent.end(), 0x90u | 1u | (36u << 8) | (80u << 16)), sent.end());
    // Over a mark the hover turns light grey.
    EXPECT_TRUE(markerAt(form, 34, 150, QColor(210, 210, 210)));

    fixture.ClearMessages();
    PressAt(form.Controls().BottomImage, 34, 150);
    EXPECT_TRUE(form.FinderMarks.empty());
    QTest::qWait(20);
    EXPECT_TRUE(fixture.NoteOns(0, 0).empty());
}

TEST(FinderMarks, GuitarPressSoundsTheStringsNoteAndSpecificVoicingsKeepOnePerString)
{
    WindowFixture fixture;
    TMainForm& form = fixture.Start("guitar");
    startFinder(form);
    hover(form, 104, 141);
    EXPECT_EQ(form.HoverNote, 1);
    fixture.ClearMessages();
    PressAt(form.Controls().BottomImage, 104, 141);
    EXPECT_EQ(fixture.NoteOns(1), (std::vector<std::pair<int, int>>{{1, 41}}));

    form.Controls().ReverseFinder->SetTag(1);
    form.FinderMarks = {{2 * 256 + 3, ""}};
    hover(form, layout::FretX[5], layout::StringY[2]);
    PressAt(form.Controls().BottomImage, layout::FretX[5], layout::StringY[2]);
    EXPECT_EQ(form.FinderMarks, (std::map<int, std::string>{{2 * 256 + 5, ""}}));
}

TEST(FinderMarks, RightPressMenuSetsAndClearsTheDegreeLabel)
{
    WindowFixture fixture;
    TMainForm& form = fixture.Start();
    form.Controls().ScaleDegreesButton->SetChecked(true);
    form.Controls().NoteNamesButton->SetChecked(false);
    startFinder(form);
    hover(form, 34, 150);
    PressAt(form.Controls().BottomImage, 34, 150);   // mark 36
    fixture.ClearMessages();

    PressAt(form.Controls().BottomImage, 34, 150, Qt::RightButton);
    std::vector<std::string> expected = {"clear"};
    for (const DegreeLabelEntry& entry : DegreeLabelTable)
        expected.emplace_back(entry.label);
    EXPECT_EQ(MenuCaptions(form.Controls().SelChordMenu), expected);
    ASSERT_TRUE(ChooseFromMenu(form.Controls().SelChordMenu, "b3"));
    EXPECT_EQ(form.FinderMarks.at(36), "b3");
    EXPECT_FALSE(form.MenuJustClosed);

    PressAt(form.Controls().BottomImage, 34, 150, Qt::RightButton);
    for (QAction* item : form.Controls().SelChordMenu->actions())
        EXPECT_EQ(item->isChecked(), item->text() == "b3") << item->text().toStdString();
    ASSERT_TRUE(ChooseFromMenu(form.Controls().SelChordMenu, "clear"));
    EXPECT_EQ(form.FinderMarks, (std::map<int, std::string>{{36, ""}}));

    // A choice on a free position adds a mark with the label and sounds nothing.
    hover(form, 70, 150);
    ASSERT_EQ(form.HoverNote, 38);
    PressAt(form.Controls().BottomImage, 70, 150, Qt::RightButton);
    ASSERT_TRUE(ChooseFromMenu(form.Controls().SelChordMenu, "5"));
    EXPECT_EQ(form.FinderMarks.at(38), "5");
    QTest::qWait(20);
    EXPECT_TRUE(fixture.NoteOns(0, 0).empty());
}

TEST(FinderMarks, PressAfterADismissedMenuOnlyClearsTheFlag)
{
    WindowFixture fixture;
    TMainForm& form = fixture.Start();
    startFinder(form);
    hover(form, 34, 150);
    PressAt(form.Controls().BottomImage, 34, 150, Qt::RightButton);
    form.Controls().SelChordMenu->close();   // dismissed without a choice
    EXPECT_TRUE(form.MenuJustClosed);
    PressAt(form.Controls().BottomImage, 34, 150);
    EXPECT_FALSE(form.MenuJustClosed);
    EXPECT_TRUE(form.FinderMarks.empty());
    PressAt(form.Controls().BottomImage, 34, 150);
    EXPECT_EQ(form.FinderMarks.size(), 1u);
}
