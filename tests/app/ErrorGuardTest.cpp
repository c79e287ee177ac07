// Errors of the chord knowledge during use: whatever the user does, a chord that cannot be
// shown is reported in the window's error box, nothing of it stays on show or plays, and
// the window carries on.
#include "WindowFixture.h"

#include "controls/Nxpanel.h"
#include "controls/Timage.h"
#include "dialogs/Settingsdialog.h"
#include "layout/Layout.h"

#include <QApplication>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <functional>

#include <gtest/gtest.h>

namespace {

// maj is sound; m7 and the list entry bad9 carry degree codes that are no numbers, and m7
// has a voicing, so the finder reaches it too.
const char* const kBrokenTypes =
    "maj,0100,0304,0507\n"
    "m7,0100,0303,0507,07x0\n"
    "list:majList\n"
    "add9,0100,0304,0507,0914\n"
    "bad9,0100,0304,05\n"
    "list:\n";
const char* const kM7Error = "'07x0' is not a valid integer value";
const char* const kBad9Error = "'05' is not a valid integer value";

int errorBoxes(const TMainForm& form)
{
    return int(form.findChildren<QMessageBox*>().size());
}

void pressRoot(TMainForm& form, int root)
{
    PressAt(form.Controls().LeftImage, layout::RootCentres[root].x, layout::RootCentres[root].y);
}

// The window after a failed chord: nothing listed, nothing to draw or play.
void expectNoChordOnShow(WindowFixture& fixture, TMainForm& form, const std::string& context)
{
    EXPECT_TRUE(form.CurrentChord.notes.empty()) << context;
    EXPECT_EQ(form.Controls().List->count(), 0) << context;
    fixture.ClearMessages();
    QTest::keyClick(form.Controls().List, Qt::Key_Space);
    QTest::qWait(20);
    EXPECT_TRUE(fixture.NoteOns(0, 0).empty()) << context;
}

// The window still works: a sound chord type shows and plays.
void expectWindowCarriesOn(WindowFixture& fixture, TMainForm& form, const std::string& context)
{
    fixture.ClearMessages();
    PressAt(button(form, "T_maj"), 10, 8);
    ASSERT_EQ(form.CurrentChord.degreeLabels, (std::vector<std::string>{"R", "3", "5"})) << context;
    EXPECT_GT(form.Controls().List->count(), 0) << context;
    EXPECT_EQ(fixture.NoteOns(3).size(), 3u) << context;
}

} // namespace

TEST(FirstShow, ChordsFileWithoutAUsableMajStillOpensTheWindow)
{
    struct Case { const char* name; std::string chords; const char* error; };
    const Case cases[] = {
        {"empty file", "", "invalid chord type: maj"},
        {"comments only", "; nothing here\n\n   ; still nothing\n", "invalid chord type: maj"},
        {"bad degree code in maj", "maj,0100,03o4,0507\nm,0100,0303,0507\n", "'03o4' is not a valid integer value"},
    };
    for (const Case& c : cases)
        for (const char* instrument : {"", "guitar"}) {
            const std::string context = std::string(c.name) + " " + instrument;
            FixtureFiles files;
            files.chords = c.chords;
            WindowFixture fixture(files);
            TMainForm* form = nullptr;
            try {
                form = &fixture.Start(instrument);
            } catch (const std::exception& error) {
                ADD_FAILURE() << context << ": start-up failed: " << error.what();
                continue;
            }
            EXPECT_TRUE(form->isVisible()) << context;
            EXPECT_EQ(ShownError(*form), c.error) << context;
            EXPECT_EQ(form->CurrentChordTypeName(), "maj") << context;
            expectNoChordOnShow(fixture, *form, context);
            // The window carries on: the root column still answers (and says again that
            // the chord cannot be shown), and closing saves the state.
            const int boxes = errorBoxes(*form);
            pressRoot(*form, 6);
            EXPECT_EQ(form->SelectedRoot, 6) << context;
            EXPECT_EQ(errorBoxes(*form), boxes + 1) << context;
            fixture.Close();
            EXPECT_NE(fixture.ReadFile("Tonvera.ini").find("SelectedRoot=6"), std::string::npos) << context;
        }
}

TEST(FirstShow, ButtonsOfUndefinedTypesFindNothingInTheFinder)
{
    FixtureFiles files;
    files.chords = "";
    WindowFixture fixture(files);
    TMainForm& form = fixture.Start();
    const int boxes = errorBoxes(form);
    PressAt(form.Controls().ReverseFinder, 10, 8);
    ASSERT_TRUE(form.ReverseFinderOn());
    form.FinderMarks = {{60, ""}, {64, ""}};
    PressAt(button(form, "T_maj"), 10, 8);   // a filter change searches again
    EXPECT_EQ(form.Controls().List->count(), 0);
    EXPECT_EQ(errorBoxes(form), boxes);
}

TEST(ErrorGuard, EveryWayToShowABrokenChordReportsItAndCarriesOn)
{
    struct Case {
        const char* name;
        const char* error;
        std::function<void(WindowFixture&, TMainForm&)> action;
    };
    const Case cases[] = {
        {"press on the button", kM7Error,
         [](WindowFixture&, TMainForm& form) { PressAt(button(form, "T_m7"), 10, 8); }},
        {"Enter on the focused button", kM7Error,
         [](WindowFixture&, TMainForm& form) {
             TNXPanel* m7 = button(form, "T_m7");
             m7->setFocus();
             QTest::keyClick(m7, Qt::Key_Return);
         }},
        {"choice from the chord list", kBad9Error,
         [](WindowFixture&, TMainForm& form) {
             PressAt(button(form, "majList"), layout::ListArrowLeft + 4, 8);
             ASSERT_TRUE(ChooseFromMenu(form.Controls().SelChordMenu, "bad9"));
         }},
        {"another root under a broken type", kM7Error,
         [](WindowFixture&, TMainForm& form) {
             form.SelectChordTypeByName("m7");
             pressRoot(form, 6);
         }},
        {"settings OK refreshes a broken type", kM7Error,
         [](WindowFixture& fixture, TMainForm& form) {
             form.SelectChordTypeByName("m7");
             // OK once the dialog runs (the press itself may already process events).
             QTimer ok;
             QObject::connect(&ok, &QTimer::timeout, [&fixture] {
                 if (QApplication::activeModalWidget() == &fixture.Settings())
                     fixture.Settings().Button1Click();
             });
             ok.start(5);
             PressAt(form.Controls().SettingsButton, 5, 5);
         }},
        {"finder switched off onto a broken type", kM7Error,
         [](WindowFixture&, TMainForm& form) {
             form.SelectChordTypeByName("m7");
             PressAt(form.Controls().ReverseFinder, 10, 8);
             PressAt(form.Controls().ReverseFinder, 10, 8);
         }},
    };
    for (const Case& c : cases) {
        FixtureFiles files;
        files.chords = kBrokenTypes;
        WindowFixture fixture(files);
        TMainForm& form = fixture.Start();
        ASSERT_EQ(ShownError(form), "") << c.name;
        c.action(fixture, form);
        EXPECT_EQ(ShownError(form), c.error) << c.name;
        expectNoChordOnShow(fixture, form, c.name);
        expectWindowCarriesOn(fixture, form, c.name);
    }
}

TEST(ErrorGuard, FinderSearchesThatMeetABrokenTypeReportIt)
{
    FixtureFiles files;
    files.chords = kBrokenTypes;
    WindowFixture fixture(files);
    fixture.WriteFile("pianochords.def", "[Basic]\nC,maj,0,48,52,55\nC,m7,0,48,51,55,58\n");
    TMainForm& form = fixture.Start();
    PressAt(form.Controls().ReverseFinder, 10, 8);
    ASSERT_TRUE(form.ReverseFinderOn());
    form.FinderMarks = {{48, ""}, {55, ""}};
    // A filter change through the button searches again; the search meets m7.
    PressAt(button(form, "T_maj"), 10, 8);
    EXPECT_EQ(ShownError(form), kM7Error);
    // Marks through the instrument view search the same way.
    const int boxes = errorBoxes(form);
    form.FinderMarks = {{48, ""}};
    form.HoverNote = 55;
    PressAt(form.Controls().BottomImage, layout::KeyCentre(55)->x, layout::KeyCentre(55)->y);
    EXPECT_EQ(form.FinderMarks.size(), 2u);
    EXPECT_EQ(errorBoxes(form), boxes + 1);
    // Switched off onto maj, the window shows chords again.
    form.SelectChordTypeByName("maj");
    PressAt(form.Controls().ReverseFinder, 10, 8);
    EXPECT_FALSE(form.ReverseFinderOn());
    expectWindowCarriesOn(fixture, form, "after the finder");
}
