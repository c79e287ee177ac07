// Start-up of the main window: instrument choice, failures, the first settings file and
// the saved screen state.
#include "WindowFixture.h"

#include "controls/Nxpanel.h"
#include "controls/Timage.h"
#include "layout/Layout.h"
#include "platform/IniFile.h"
#include "tests/support/FileSizeLimit.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSpinBox>
#include <QListWidget>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <optional>

TEST(InstrumentChoice, VoicingFilesThenTheFirstParameter)
{
    struct Case { bool piano, guitar; const char* parameter; GameType game; };
    const Case cases[] = {
        {true, true, "", gtPiano},
        {true, true, "GUITAR", gtGuitar},
        {true, true, "bass", gtPiano},
        {false, true, "", gtGuitar},
        {false, true, "piano", gtGuitar},
        {true, false, "guitar", gtPiano},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChooseInstrument(c.piano, c.guitar, c.parameter), c.game) << c.parameter;
}

TEST(StartUp, ParameterChoosesInstrumentAndStateSection)
{
    struct Case { const char* parameter; GameType game; const char* section; int tag; };
    const Case cases[] = {
        {"", gtPiano, "SettingsScr", 6},
        {"GUITAR", gtGuitar, "SettingsScr_GUITAR", 7},
        {"bass", gtPiano, "SettingsScr_bass", 6},
    };
    for (const Case& c : cases) {
        WindowFixture fixture;
        TMainForm& form = fixture.Start(c.parameter);
        EXPECT_EQ(form.Game, c.game);
        EXPECT_EQ(form.ScreenStateSection(), c.section);
        EXPECT_EQ(form.Controls().BottomImage->Tag(), c.tag);
        // The guitar shows FOLK/POP/JAZZ where the piano shows its category filter.
        EXPECT_EQ(form.Controls().FolkButton->isVisible(), c.game == gtGuitar);
        EXPECT_EQ(form.Controls().CategoryFilter->isVisible(), c.game == gtPiano);
        EXPECT_EQ(form.Controls().ChordTypeButtons.size(), layout::ChordTypeButtons.size());   // one per table row
    }
}

TEST(StartUp, OnlyTheGuitarFileMeansGuitar)
{
    FixtureFiles files;
    files.piano = false;
    WindowFixture fixture(files);
    EXPECT_EQ(fixture.Start("piano").Game, gtGuitar);
}

TEST(StartUp, FailuresCarryTheUsersMessage)
{
    struct Case { FixtureFiles files; const char* message; };
    FixtureFiles noMarker;
    noMarker.marker = false;
    FixtureFiles brokenChords;
    brokenChords.chords = "maj,0100,0304\nma7=maj7\n";
    FixtureFiles noVoicings;
    noVoicings.piano = false;
    noVoicings.guitar = false;
    const Case cases[] = {
        {noMarker, "Software not properly installed or corrupted.\nPlease reinstall Tonvera."},
        {brokenChords, "error 'maj7' not yet defined: line=1, file=chords.def"},
        {noVoicings, "File not found: guitarchords.def"},
    };
    for (const Case& c : cases) {
        WindowFixture fixture(c.files);
        try {
            fixture.Start();
            ADD_FAILURE() << "start-up did not fail: " << c.message;
        } catch (const std::exception& error) {
            EXPECT_EQ(std::string(error.what()), c.message);
        }
    }
}

// The piano's chord-type column picture covers the guitar's, which is then never decoded,
// but a missing guitar column still means a broken installation.
TEST(StartUp, PianoShowsItsOwnChordTypeColumn)
{
    const auto paint = [](WindowFixture& fixture, const layout::Picture& picture, QColor colour) {
        QImage image(picture.w, picture.h, QImage::Format_RGB32);
        image.fill(colour);
        ASSERT_TRUE(image.save(QString::fromStdString(fixture.Folder() + "/pics/" + std::string(picture.file))));
    };
    for (const char* parameter : {"", "guitar"}) {
        WindowFixture fixture;
        paint(fixture, layout::ChordTypeAreaPicture, Qt::red);
        paint(fixture, layout::PianoChordTypeAreaPicture, Qt::blue);
        TMainForm& form = fixture.Start(parameter);
        const QColor expected = form.Game == gtPiano ? QColor(Qt::blue) : QColor(Qt::red);
        EXPECT_EQ(form.Controls().CenterImage->Canvas().pixelColor(100, 450), expected) << parameter;
    }
    WindowFixture broken;
    QDir(QString::fromStdString(broken.Folder() + "/pics")).remove(QString::fromLatin1(layout::ChordTypeAreaPicture.file.data()));
    try {
        broken.Start();
        ADD_FAILURE() << "start-up did not fail";
    } catch (const std::exception& error) {
        EXPECT_EQ(std::string(error.what()).rfind("File not found:" + broken.Folder() + "/pics/TypeChordsArea.png", 0), 0u)
            << error.what();
    }
}

// The pictures the buttons show at first are decoded before the window first paints, so
// the paint does not decode them; the buttons that change their look while the window is
// first shown (the remembered chord type) are few.
TEST(StartUp, ButtonsShowPicturesDecodedBeforeTheFirstPaint)
{
    for (const char* parameter : {"", "guitar"}) {
        WindowFixture fixture;
        TMainForm& form = fixture.Start(parameter);
        int visible = 0;
        std::vector<std::string> undecoded;
        for (TNXPanel* panel : form.findChildren<TNXPanel*>()) {
            if (!panel->isVisibleTo(&form))
                continue;
            ++visible;
            if (panel->ShownPictureJob())
                undecoded.push_back(panel->objectName().toStdString());
        }
        EXPECT_GT(visible, 20) << parameter;
        EXPECT_LE(undecoded.size(), 2u) << parameter << ": " << ::testing::PrintToString(undecoded);
    }
}

// The canvases' pictures decode on workers, but a missing one still stops start-up at once,
// naming the file, for either instrument.
TEST(StartUp, AMissingCanvasPictureStopsStartUp)
{
    struct Case { const char* parameter; layout::Picture picture; };
    const Case cases[] = {
        {"", layout::TopAreaPicture},          {"", layout::PianoChordTypeAreaPicture},
        {"", layout::RootAreaPicture},         {"", layout::KeyboardPicture},
        {"guitar", layout::FretboardPicture},  {"guitar", layout::PlayAreaPicture},
        {"guitar", layout::PlayChordPicture},
    };
    for (const Case& c : cases) {
        WindowFixture fixture;
        const std::string file = fixture.Folder() + "/pics/" + std::string(c.picture.file);
        ASSERT_TRUE(QFile::remove(QString::fromStdString(file)));
        try {
            fixture.Start(c.parameter);
            ADD_FAILURE() << "start-up did not fail without " << file;
        } catch (const std::exception& error) {
            EXPECT_EQ(std::string(error.what()).rfind("File not found:" + file + " ", 0), 0u) << error.what();
        }
    }
}

namespace {

class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

} // namespace

// The sound and the dialogs follow the window's first paint.
TEST(StartUp, WhatFollowsTheFirstPaintRunsOnceAfterIt)
{
    QWidget window;
    window.resize(300, 200);
    PaintCounter counter;
    window.installEventFilter(&counter);
    window.show();
    int runs = 0;
    int paintsBefore = -1;
    AfterFirstPaint(window, [&] {
        ++runs;
        paintsBefore = counter.paints;
    });
    for (int i = 0; i < 200 && runs == 0; ++i)
        QTest::qWait(5);
    EXPECT_EQ(runs, 1);
    EXPECT_GE(paintsBefore, 1);
    window.hide();
    window.show();
    window.repaint();
    QTest::qWait(20);
    EXPECT_EQ(runs, 1) << "once";

    // A window that is never exposed still gets it, once its time is up.
    QWidget hidden;
    hidden.winId();
    bool ran = false;
    AfterFirstPaint(hidden, [&] { ran = true; }, std::chrono::milliseconds(20));
    for (int i = 0; i < 200 && !ran; ++i)
        QTest::qWait(5);
    EXPECT_TRUE(ran);
}

TEST(StartUp, FailureReportShowsTheTextAndEndsWithStatusOne)
{
    EXPECT_EQ(StartupFailureText("boom"), "General error: \nboom");
    std::string shown;
    QTimer::singleShot(0, [&] {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(widget)) {
                shown = box->text().toStdString();
                box->accept();
            }
    });
    EXPECT_EQ(ReportStartupFailure("boom"), 1);
    EXPECT_EQ(shown, "General error: \nboom");
}

TEST(FirstRun, SettingsFileHoldsExactlyTheSettingsSections)
{
    FixtureFiles files;
    files.definitions =
        "[MySettings]\nA=1\n"
        "[Settings]\nShowFlyByHint=1\nRootPatch=4\n\n"
        "[SettingsScr]\nSelectedRoot=3\n"
        "[Colors]\nDefaultPiano=1,2,3\n"
        "[Settings_empty]\n"
        "[Hints]\nList=Voicings\n";
    WindowFixture fixture(files);
    fixture.Start();
    // Read before the window closes and adds its screen state.
    EXPECT_EQ(fixture.ReadFile("Tonvera.ini"),
              "[Settings]\nShowFlyByHint=1\nRootPatch=4\n[SettingsScr]\nSelectedRoot=3\n");
    EXPECT_EQ(fixture.Form().SelectedRoot, 3);
}

TEST(FirstRun, NoDefinitionsFileMeansDefaultsAndNoSettingsFile)
{
    FixtureFiles files;
    files.definitions = "-";
    WindowFixture fixture(files);
    TMainForm& form = fixture.Start();
    EXPECT_EQ(fixture.ReadFile("Tonvera.ini"), "");
    EXPECT_EQ(form.MarkerColor, ParseColour("255,0,0"));
    EXPECT_EQ(form.SelectedRoot, 16);
    EXPECT_EQ(form.CurrentChordTypeName(), "maj");
}

TEST(Colours, DefaultKeyPerInstrumentAndEveryKeyInTheMap)
{
    WindowFixture fixture;
    TMainForm& piano = fixture.Start();
    EXPECT_EQ(piano.MarkerColor, MakeColour(200, 0, 0));
    EXPECT_EQ(piano.Book.ColourMap.at("0100"), long(MakeColour(0, 0, 255)));
    EXPECT_EQ(piano.Book.ColourMap.count("DefaultGuitar"), 1u);
    fixture.Close();
    EXPECT_EQ(fixture.Start("guitar").MarkerColor, MakeColour(255, 255, 255));
}

TEST(ScreenState, SavedOnCloseRestoredPerSection)
{
    WindowFixture fixture;
    {
        TMainForm& form = fixture.Start();
        form.Controls().ArpeggioButton->SetChecked(true);
        form.Controls().ChordButton->SetChecked(false);
        form.Controls().ScaleDegreesButton->SetChecked(true);
        form.Controls().NoteNamesButton->SetChecked(false);
        form.SelectRoot(6);   // G
        form.SelectChordTypeByName("m7");
        fixture.Close();
    }
    const IniFile ini(fixture.SettingsFile());
    EXPECT_EQ(ini.ReadString("SettingsScr", "Arpeggio", ""), "1");
    EXPECT_EQ(ini.ReadString("SettingsScr", "ShowScaleDegrees", ""), "1");
    EXPECT_EQ(ini.ReadString("SettingsScr", "SelectedChord", ""), "m7");
    EXPECT_EQ(ini.ReadString("SettingsScr", "SelectedRoot", ""), "6");
    EXPECT_EQ(ini.ReadString("SettingsScr", "ReverseFinderMode", ""), "0");
    {
        TMainForm& form = fixture.Start();
        EXPECT_TRUE(form.Controls().ArpeggioButton->Checked());
        EXPECT_FALSE(form.Controls().ChordButton->Checked());
        EXPECT_TRUE(form.Controls().ScaleDegreesButton->Checked());
        EXPECT_EQ(form.SelectedRoot, 6);
        EXPECT_EQ(form.CurrentChordTypeName(), "m7");
        fixture.Close();
    }
    // A start with a parameter keeps its own state.
    TMainForm& guitar = fixture.Start("guitar");
    EXPECT_FALSE(guitar.Controls().ArpeggioButton->Checked());
    EXPECT_EQ(guitar.SelectedRoot, 16);
    EXPECT_EQ(guitar.CurrentChordTypeName(), "maj");
}

TEST(ScreenState, HandEditedValuesOutOfRangeCountAsDefaults)
{
    WindowFixture fixture;
    fixture.WriteFile("Tonvera.ini", "[SettingsScr]\nSelectedRoot=17\nReverseFinderMode=5\nSelectedChord=nosuch\n");
    TMainForm& form = fixture.Start();
    EXPECT_EQ(form.SelectedRoot, 16);
    EXPECT_EQ(form.FinderMode(), 0);
    EXPECT_EQ(form.Controls().ReverseFinder->GetText(), "Show all chords");
    // A chord name that matches no button falls back to the first button.
    EXPECT_EQ(form.CurrentChordTypeName(), "maj");
}

TEST(ScreenState, RememberOffAlwaysStartsOnCMajor)
{
    WindowFixture fixture;
    fixture.WriteFile("Tonvera.ini",
                      "[Settings]\nRememberRootAndChord=0\n[SettingsScr]\nSelectedRoot=6\nSelectedChord=m7\n"
                      "ReverseFinderMode=1\n");
    TMainForm& form = fixture.Start();
    EXPECT_EQ(form.SelectedRoot, 16);
    EXPECT_EQ(form.CurrentChordTypeName(), "maj");
    EXPECT_EQ(form.FinderMode(), 1);
    EXPECT_EQ(form.Controls().ReverseFinder->GetText(), "Show specific voicings");
}

TEST(SettingsFile, NoPlaceToSaveStillStartsOnTheDefaultsAndSaysSoOnce)
{
    struct Case { const char* name; bool blockFolder; const char* reason; };
    const Case cases[] = {
        {"folder is a file", true, "Not a directory"},
        {"disk full", false, "File too large"},
    };
    for (const Case& c : cases) {
        WindowFixture fixture;
        if (c.blockFolder) {
            fixture.WriteFile("config", "not a folder");
            fixture.UseSettingsFile(fixture.Folder() + "/config/Tonvera.ini");
        }
        std::optional<FileSizeLimit> fullDisk;
        if (!c.blockFolder)
            fullDisk.emplace(16);
        TMainForm* form = nullptr;
        try {
            form = &fixture.Start();
        } catch (const std::exception& error) {
            ADD_FAILURE() << c.name << ": start-up failed: " << error.what();
            continue;
        }
        fullDisk.reset();
        const std::string said = "Settings cannot be saved.\nCannot write " + fixture.SettingsFile() + ": " + c.reason;
        EXPECT_EQ(ShownError(*form), said) << c.name;
        EXPECT_EQ(form->SelectedRoot, 16) << c.name;
        EXPECT_EQ(fixture.Settings().ArpegioStaggers->value(), 50) << c.name;
        if (c.blockFolder) {
            // The save at close fails too, and is not announced a second time.
            form->close();
            EXPECT_EQ(ShownError(*form), said) << c.name;
        }
        EXPECT_EQ(form->findChildren<QMessageBox*>().size(), 1) << c.name;
    }
}

TEST(SettingsFile, LeftoversOfACrashedSaveAreRemovedAtStart)
{
    WindowFixture fixture;
    fixture.WriteFile("Tonvera.ini", "[SettingsScr]\nSelectedRoot=3\n");
    fixture.WriteFile(".Tonvera.ini.tonvera-tmp-Xy12Ab", "[SettingsScr]\nSelec");
    fixture.WriteFile("Tonvera.ini.bak", "mine");
    EXPECT_EQ(fixture.Start().SelectedRoot, 3);
    const QDir folder(QString::fromStdString(fixture.Folder()));
    EXPECT_FALSE(folder.exists(".Tonvera.ini.tonvera-tmp-Xy12Ab"));
    EXPECT_TRUE(folder.exists("Tonvera.ini.bak"));
    EXPECT_EQ(ShownError(fixture.Form()), "");
}

TEST(ScreenState, SavedInOneReplacementOfTheFile)
{
    WindowFixture fixture;
    const std::string before = "[SettingsScr]\nSelectedRoot=3\n";
    fixture.WriteFile("Tonvera.ini", before);
    TMainForm& form = fixture.Start();
    form.Controls().ArpeggioButton->SetChecked(true);
    form.SelectRoot(6);
    {
        // Room for the first keys only: none of them may reach the file.
        FileSizeLimit limit(64);
        form.close();
    }
    EXPECT_EQ(fixture.ReadFile("Tonvera.ini"), before);
    EXPECT_EQ(ShownError(form), "Cannot write " + fixture.SettingsFile() + ": File too large");
    fixture.Close();
    fixture.Start().Controls().ArpeggioButton->SetChecked(true);
    fixture.Close();
    EXPECT_EQ(IniFile(fixture.SettingsFile()).ReadSection("SettingsScr").size(), 5u);
}

TEST(Layout, CentredInTheClientAreaNeverSmallerThanThePanel)
{
    WindowFixture fixture;
    TMainForm& form = fixture.Start();
    form.resize(1200, 800);
    EXPECT_EQ(form.Controls().GlobalPanel->pos(), QPoint(92, 45));
    form.resize(800, 600);
    EXPECT_EQ(form.size(), QSize(1016, 710));
    EXPECT_EQ(form.Controls().GlobalPanel->pos(), QPoint(0, 0));
    EXPECT_EQ(form.Controls().GlobalPanel->size(), QSize(1016, 710));
    EXPECT_EQ(form.Controls().BottomImage->mapTo(form.Controls().GlobalPanel, QPoint(0, 0)), QPoint(0, 517));
    EXPECT_EQ(form.Controls().List->geometry(), QRect(8, 270, 666, 169));
    EXPECT_EQ(form.Controls().ChordInfoImage->geometry(), QRect(179, 205, 495, 45));
    EXPECT_EQ(form.windowTitle(), "Tonvera");
}
