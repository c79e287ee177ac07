// Taking the chord out of the window: clipboard, MIDI file, diagram, drag, context menu, and
// names from the data files in UTF-8.
#include "WindowFixture.h"

#include "controls/Nxpanel.h"
#include "controls/Timage.h"
#include "layout/Layout.h"
#include "midi/MIDIData.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QCursor>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

using Notes = std::vector<std::pair<int, int>>;

std::string clipboardText() { return QApplication::clipboard()->text().toStdString(); }

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The note-ons of a MIDI file as (channel, note), in the order they start.
Notes noteOnsIn(const std::string& path)
{
    MIDIData data;
    FileByteSource source(path);
    EXPECT_TRUE(data.Read(source)) << path;
    Notes notes;
    if (const MIDITrack* track = data.Track(0))
        for (const MIDIEvent& event : track->events)
            if ((event.status & 0xF0) == kNoteOn)
                notes.emplace_back(event.status & 0x0F, event.data1);
    return notes;
}

std::size_t count(const std::string& text, const std::string& part)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

} // namespace

TEST(ChordExport, CtrlCCopiesTheNameNotesDegreesAndTheVoicingThatPlays)
{
    WindowFixture piano;
    TMainForm& form = piano.Start();
    ASSERT_EQ(form.Controls().List->currentRow(), 0);   // [Basic] C maj 48 52 55
    QTest::keyClick(&form, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboardText(), "Cmaj\nNotes: C E G\nDegrees: R 3 5\nVoicing: C3 E3 G3\n");
    form.ThisChordContainsButtonClick();   // the calculated chord plays now
    QTest::keyClick(form.Controls().List, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboardText(), "Cmaj\nNotes: C E G\nDegrees: R 3 5\nVoicing: C4 E4 G4\n")
        << "the list has the focus, and the window's command still takes the key";
    piano.Close();

    WindowFixture guitar;
    TMainForm& box = guitar.Start("guitar");
    QTest::keyClick(&box, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboardText(), "Cmaj\nNotes: C E G\nDegrees: R 3 5\nVoicing: x32010\n");
    box.ThisChordContainsButtonClick();
    EXPECT_EQ(box.ChordClipboardText(), "Cmaj\nNotes: C E G\nDegrees: R 3 5\n") << "a calculated chord has no shape";
}

TEST(ChordExport, TheMIDIFileHoldsWhatPlaysAndTheDiagramWhatIsShown)
{
    WindowFixture fixture;
    TMainForm& form = fixture.Start();
    QTemporaryDir out;
    const std::string mid = out.filePath("c.mid").toStdString(), svg = out.filePath("c.svg").toStdString();

    form.Controls().List->setCurrentRow(1);   // C maj -60 64 67
    form.SaveChordAsMIDIFile(mid);
    EXPECT_EQ(noteOnsIn(mid), (Notes{{1, 60}, {0, 64}, {0, 67}}));
    fixture.ClearMessages();
    form.PlayChord();
    EXPECT_EQ(fixture.NoteOns(3), noteOnsIn(mid)) << "the file and the sound agree";

    form.ScaleDegreesButtonClick();
    form.SaveChordDiagram(svg);
    const std::string text = readFile(svg);
    EXPECT_NE(text.find(">Cmaj</text>"), std::string::npos);
    EXPECT_EQ(count(text, "class=\"root\""), 1u);
    EXPECT_EQ(count(text, "class=\"dot\""), 2u);
    EXPECT_NE(text.find(">R</text>"), std::string::npos) << "labels follow the label style";
    EXPECT_EQ(text.find(">C</text>"), std::string::npos);
}

TEST(ChordExport, TheContextMenuSavesThroughAFileDialog)
{
    WindowFixture fixture;
    TMainForm& form = fixture.Start("guitar");
    QTemporaryDir out;
    TImage* playArea = form.Controls().PlayChordButton;
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(20, 20), playArea->mapToGlobal(QPoint(20, 20)));
    QApplication::sendEvent(playArea, &rightClick);
    QMenu* menu = form.Controls().ChordMenu;
    ASSERT_TRUE(menu->isVisible()) << "a right click on the play area opens the menu";
    EXPECT_EQ(MenuCaptions(menu), (std::vector<std::string>{"Copy chord", "Save as MIDI file\u2026", "Save diagram\u2026"}));
    for (QAction* item : menu->actions())
        EXPECT_TRUE(item->isEnabled());

    ASSERT_TRUE(ChooseFromMenu(menu, "Save diagram\u2026"));
    auto* dialog = form.findChild<QFileDialog*>("ExportFileDialog");
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->selectedFiles().value(0).section('/', -1), "Cmaj.svg");
    const QString picture = out.filePath("shape.png");
    dialog->selectFile(picture);
    static_cast<QDialog*>(dialog)->accept();   // as the Save button does
    EXPECT_EQ(QImage(picture).size(), QSize(312, 342)) << "a chord box, twice its size";
    EXPECT_EQ(ShownError(form), "");

    // Without a voicing the guitar has no chord box to offer.
    form.ThisChordContainsButtonClick();
    menu->close();
    form.ChordMenuPopup(form.Controls().BottomImage, QPoint(10, 10));
    ASSERT_TRUE(menu->isVisible());
    EXPECT_TRUE(menu->actions().front()->isEnabled());
    EXPECT_FALSE(menu->actions().back()->isEnabled());
    menu->close();
}

TEST(ChordExport, ARightClickOnAFinderNoteKeepsItsLabelMenu)
{
    WindowFixture fixture;
    TMainForm& form = fixture.Start();
    form.ReverseFinderMouseDown(10);
    const layout::Point c = *layout::KeyCentre(60);
    QCursor::setPos(form.Controls().BottomImage->mapToGlobal(QPoint(c.x, c.y)));
    form.MoveEchoTimerTimer();
    ASSERT_GE(form.HoverNote, 0);
    PressAt(form.Controls().BottomImage, c.x, c.y, Qt::RightButton);
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(c.x, c.y), QPoint(c.x, c.y));
    QApplication::sendEvent(form.Controls().BottomImage, &rightClick);
    EXPECT_TRUE(form.Controls().SelChordMenu->isVisible());
    EXPECT_FALSE(form.Controls().ChordMenu->isVisible());
    form.Controls().SelChordMenu->close();

    // Away from the keys the chord's own menu opens.
    form.HoverNote = -1;
    QApplication::sendEvent(form.Controls().BottomImage, &rightClick);
    EXPECT_TRUE(form.Controls().ChordMenu->isVisible());
    form.Controls().ChordMenu->close();
}

TEST(ChordExport, ADragCarriesAMidFileFromAFolderRemovedWithTheWindow)
{
    WindowFixture fixture;
    TMainForm& form = fixture.Start("guitar");
    std::unique_ptr<QMimeData> data(form.ChordDragData());
    ASSERT_TRUE(data);
    ASSERT_EQ(data->urls().size(), 1);
    const QUrl url = data->urls().front();
    ASSERT_TRUE(url.isLocalFile());
    const QFileInfo file(url.toLocalFile());
    EXPECT_EQ(file.fileName(), "Cmaj.mid");
    EXPECT_TRUE(file.dir().dirName().startsWith("tonvera-drag-"));
    EXPECT_EQ(noteOnsIn(file.filePath().toStdString()), (Notes{{1, 48}, {0, 52}, {0, 55}, {1, 60}, {0, 64}}));
    fixture.Close();
    EXPECT_FALSE(file.dir().exists());
}

TEST(Utf8Names, ChordTypesShowAsWrittenInTheDataFile)
{
    FixtureFiles files;
    files.chords = "maj,0100,0304,0507\nm,0100,0303,0507\nlist:majList\n\xce\x94" "7,0100,0304,0507,0711\n"
                   "\xc3\xb8" "7,0100,0303,0506,0710\nlist:\n";
    WindowFixture fixture(files);
    TMainForm& form = fixture.Start();
    form.OpenChordList(button(form, "majList"));
    QMenu* list = form.Controls().SelChordMenu;
    ASSERT_TRUE(list->isVisible());
    EXPECT_EQ(MenuCaptions(list), (std::vector<std::string>{"\xce\x94" "7", "\xc3\xb8" "7"}));
    ASSERT_TRUE(ChooseFromMenu(list, "\xc3\xb8" "7"));
    EXPECT_EQ(form.Controls().ChordLabel->text(), QString::fromUtf8("\xc3\xb8" "7"));
    EXPECT_EQ(form.CurrentChordTypeName(), "\xc3\xb8" "7") << "compared and kept byte-wise";
    form.CopyChordClick();
    EXPECT_EQ(clipboardText(), "C\xc3\xb8" "7\nNotes: C Eb Gb Bb\nDegrees: R b3 b5 b7\nVoicing: C4 Eb4 Gb4 Bb4\n");
}
