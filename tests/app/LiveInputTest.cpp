// Live MIDI input in the window, played into the recorder's own input port: a chord switches
// the finder on and is named, the marks follow the keys and stay after they are let go, the
// notes sound on the chord's channel unless the setting is off, and the speaker's hint says
// why there is no sound.
#include "LiveMIDIFixture.h"

#include "chords/HeardNotes.h"
#include "controls/Nxpanel.h"
#include "dialogs/Settingsdialog.h"
#include "layout/Layout.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

namespace {

uint32_t noteOn(int note) { return NoteOnMessage(note); }
uint32_t noteOff(int note) { return NoteOffMessage(note); }

class LiveMIDI : public testing::Test {
protected:
    LiveMIDI() : fixture(files()) { WriteLiveMIDIVoicings(fixture); }
    static FixtureFiles files()
    {
        FixtureFiles f = LiveMIDIFiles();
        f.ownPorts = true;
        return f;
    }
    TMainForm& start(const std::string& parameter = "")
    {
        TMainForm& form = fixture.Start(parameter);
        fixture.Devices->WaitForBackground(); // the own input port opens in the background
        return form;
    }
    // Plays messages into Tonvera's input port, as a keyboard would, and lets them arrive.
    void play(std::initializer_list<uint32_t> messages)
    {
        for (uint32_t message : messages)
            fixture.Devices->Recorder().PlayIntoInput(message);
        QTest::qWait(20);
    }
    std::string firstResult() const { return FirstResult(fixture.Form()); }
    std::set<int> marks() const { return MarkCodes(fixture.Form()); }
    // What went to the chosen output device (the own port's copy left out).
    std::vector<uint32_t> sent() const
    {
        std::vector<uint32_t> messages;
        for (const RecordedMessage& m : fixture.Devices->Messages())
            if (m.device == 0)
                messages.push_back(m.message);
        return messages;
    }

    mutable WindowFixture fixture;
};

} // namespace

TEST_F(LiveMIDI, APlayedChordSwitchesTheFinderOnAndIsNamedFromItsKeys)
{
    TMainForm& form = start();
    ASSERT_FALSE(form.ReverseFinderOn());
    play({noteOn(60), noteOn(64), noteOn(67), noteOn(69)});
    EXPECT_TRUE(form.ReverseFinderOn());
    EXPECT_EQ(marks(), (std::set<int>{60, 64, 67, 69}));
    EXPECT_EQ(firstResult(), "Cmaj6 ");

    // Let go: the marks and the answer stay until the next chord starts.
    play({noteOff(60), noteOff(64), noteOff(67), noteOff(69)});
    EXPECT_EQ(marks(), (std::set<int>{60, 64, 67, 69}));
    EXPECT_EQ(firstResult(), "Cmaj6 ");
    play({noteOn(57)});
    EXPECT_EQ(marks(), (std::set<int>{57}));
    play({noteOn(60), noteOn(64), noteOn(67)});
    EXPECT_EQ(marks(), (std::set<int>{57, 60, 64, 67}));
    EXPECT_EQ(firstResult(), "Am7 ");

    // A note below the keyboard is marked an octave (or more) up; the finder stays on.
    play({noteOff(57), noteOff(60), noteOff(64), noteOff(67), noteOn(24), noteOn(40)});
    EXPECT_EQ(marks(), (std::set<int>{36, 40}));
    EXPECT_TRUE(form.ReverseFinderOn());
}

TEST_F(LiveMIDI, OnTheGuitarTheKeysBecomeAShapeOnTheFretboard)
{
    TMainForm& form = start("guitar");
    play({noteOn(60), noteOn(64), noteOn(67)});
    EXPECT_TRUE(form.ReverseFinderOn());
    const InstrumentRange range{layout::FirstKey, layout::LastKey, layout::FretCount};
    EXPECT_EQ(marks(), GuitarCodesForNotes({60, 64, 67}, range));
    EXPECT_EQ(marks().size(), 3u);
}

TEST_F(LiveMIDI, HeardNotesSoundOnTheChordChannelWithTheChordsInstrumentUnlessSwitchedOff)
{
    start();
    fixture.Settings().ChordPatch->setCurrentIndex(5);
    fixture.Settings().ChordVolume->setValue(120);
    fixture.ClearMessages();
    play({0x643C93, 0x3C83}); // a keyboard on channel 4
    // Volume 120 as the player plays it (100), the instrument, then the note as played.
    EXPECT_EQ(sent(), (std::vector<uint32_t>{0x6407B0, 0x05C0, 0x643C90, 0x3C80}));

    fixture.Settings().PlayIncomingNotes->setChecked(false);
    fixture.ClearMessages();
    play({noteOn(62), noteOff(62)});
    EXPECT_EQ(sent(), (std::vector<uint32_t>{noteOff(62)})) << "releases still pass, so nothing hangs";
    EXPECT_EQ(marks(), (std::set<int>{62})) << "the finder still follows";
}

TEST_F(LiveMIDI, NoneListensToNothingAndTheChoiceTakesEffectWhenTheDialogCloses)
{
    TMainForm& form = start();
    QComboBox* input = fixture.Settings().MIDIInput;
    EXPECT_EQ(input->currentText(), "Tonvera input port");
    EXPECT_EQ(input->itemText(0), kNoMIDIInput);
    input->setCurrentIndex(0);
    form.ApplyMIDIInput();
    fixture.ClearMessages();
    play({noteOn(60), noteOn(64)});
    EXPECT_FALSE(form.ReverseFinderOn());
    EXPECT_TRUE(sent().empty());
}

TEST_F(LiveMIDI, TheSpeakersHintSaysWhyThereIsNoSound)
{
    TMainForm& form = start();
    const QString hint = form.Controls().SpeakerButton->toolTip();
    fixture.Devices->Recorder().HoldOpening(true);
    fixture.Settings().MIDIOutDriver->setCurrentIndex(1);
    fixture.Settings().MIDIOutDriverChange();
    fixture.Devices->Recorder().SettleOpening(false, "No SoundFont found.");
    ASSERT_TRUE(QTest::qWaitFor([&] { return form.Controls().SpeakerButton->toolTip() != hint; }));
    EXPECT_EQ(form.Controls().SpeakerButton->toolTip(), hint + "\nNo sound: No SoundFont found.");
    EXPECT_EQ(fixture.Settings().DeviceProblem->text(), "No SoundFont found.");

    fixture.Devices->Recorder().HoldOpening(false);
    fixture.Settings().MIDIOutDriver->setCurrentIndex(0);
    fixture.Settings().MIDIOutDriverChange();
    EXPECT_EQ(form.Controls().SpeakerButton->toolTip(), hint);
    EXPECT_TRUE(fixture.Settings().DeviceProblem->isHidden());
}
