// The settings dialog on a temporary settings file and recording MIDI devices.
#include "dialogs/HintTiming.h"
#include "dialogs/Settingsdialog.h"
#include "midi/Player.h"
#include "platform/IniFile.h"
#include "platform/RecordingMIDIOut.h"
#include "platform/SoundFont.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/SoundTestSupport.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QTimer>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLayout>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class SettingsDialog : public testing::Test {
protected:
    std::string file() const { return dir.path().toStdString() + "/Tonvera.ini"; }
    std::string read() const
    {
        QFile f(QString::fromStdString(file()));
        return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string();
    }
    void write(const std::string& text) const
    {
        QFile f(QString::fromStdString(file()));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text.c_str());
    }

    QTemporaryDir dir;
    std::shared_ptr<RecordingMIDIDevices> devices = std::make_shared<RecordingMIDIDevices>(3);
    Player player{devices};
};

// Ports that come and go while the program runs: recorders under names the test changes,
// and an input port of another program.
class ChangingPorts : public MIDIBackEnd {
public:
    std::vector<std::string> outputs{"Recorder 0", "Recorder 2"};
    std::vector<std::string> inputs{"Keyboard:out"};
    std::vector<std::string> OutputPorts() override { return outputs; }
    MIDIOutHandle OpenOutput(const std::string& port) override { return recorder_->OpenOutput(port); }
    std::vector<std::string> InputPorts() override { return inputs; }

private:
    std::shared_ptr<RecordingBackEnd> recorder_ = std::make_shared<RecordingBackEnd>(4);
};

std::vector<std::string> entries(const QComboBox* list)
{
    std::vector<std::string> texts;
    for (int i = 0; i < list->count(); ++i)
        texts.push_back(list->itemText(i).toStdString());
    return texts;
}

} // namespace

TEST_F(SettingsDialog, FirstStartShowsTheDefaults)
{
    TSettings settings(file(), "", &player);
    EXPECT_TRUE(settings.ShowGUIhints->isChecked());
    EXPECT_EQ(settings.HintPause(), 400);
    EXPECT_EQ(HintPause(), 400) << "the tool tips' own delay follows the setting";
    EXPECT_FALSE(settings.ConvertDbl->isChecked());
    EXPECT_FALSE(settings.DisplayChordColor->isChecked());
    EXPECT_TRUE(settings.RememberRootAndChord->isChecked());
    EXPECT_EQ(settings.RootPatch->currentIndex(), 0);
    EXPECT_EQ(settings.ChordPatch->currentIndex(), 0);
    EXPECT_EQ(settings.RootVolume->value(), 100);
    EXPECT_EQ(settings.ChordVolume->value(), 100);
    EXPECT_EQ(settings.ArpegioStaggers->value(), 50);
    EXPECT_EQ(settings.MIDIOutDriver->currentIndex(), 0);
    EXPECT_EQ(settings.MIDIOutDriver->count(), 3);
    EXPECT_EQ(settings.MIDIOutDriver->itemText(1), "Recorder 1");
    EXPECT_EQ(player.CurrentDevice(), 0);
    EXPECT_EQ(read(), "");
}

TEST_F(SettingsDialog, ControlsHaveTheirRangesAndInstrumentNames)
{
    TSettings settings(file(), "", &player);
    ASSERT_EQ(settings.RootPatch->count(), 128);
    EXPECT_EQ(settings.RootPatch->itemText(0), "Acoustic Grand Piano");
    const std::pair<int, const char*> spellings[] = {
        {4, "Rhodes Piano"}, {5, "Chorused Piano"}, {7, "Clavinet"}, {16, "Hammond Organ"},
        {31, "Guitar Harmonics"}, {44, "Tremelo Strings"}, {62, "Synth Brass 1"}, {63, "Synth Brass 2"},
        {76, "Bottle Blow"}, {82, "Lead 3 (calliope lead)"}, {83, "Lead 4 (chiff lead)"}, {109, "Bagpipe"},
        {127, "Gunshot"},
    };
    for (const auto& [index, name] : spellings)
        EXPECT_EQ(settings.ChordPatch->itemText(index).toStdString(), name);
    EXPECT_EQ(settings.RootVolume->maximum(), 120);
    EXPECT_EQ(settings.RootVolume->tickInterval(), 10);
    settings.ArpegioStaggers->setValue(5000);
    EXPECT_EQ(settings.ArpegioStaggers->value(), 1000);
    settings.ChordVolume->setValue(-3);
    EXPECT_EQ(settings.ChordVolume->value(), 0);
    EXPECT_EQ(settings.windowTitle(), "Settings");
}

// Each row of the settings table is a control of its name in its group, with the caption as
// its label (or as its own text), under the name a screen reader says.
TEST_F(SettingsDialog, EveryRowOfTheTableIsALabelledControlInItsGroup)
{
    TSettings settings(file(), "", &player);
    const QList<QLabel*> labels = settings.findChildren<QLabel*>();
    for (const SettingDef& setting : SettingsTable) {
        QWidget* control = settings.findChild<QWidget*>(setting.control);
        ASSERT_NE(control, nullptr) << setting.control;
        auto* group = qobject_cast<QGroupBox*>(control->parentWidget());
        ASSERT_NE(group, nullptr) << setting.control;
        EXPECT_EQ(group->title().toStdString(), setting.group);
        EXPECT_FALSE(control->accessibleName().isEmpty()) << setting.control;
        if (auto* box = qobject_cast<QCheckBox*>(control)) {
            EXPECT_EQ(box->text().toStdString(), setting.caption);
            continue;
        }
        const auto label = std::find_if(labels.begin(), labels.end(), [&](QLabel* l) { return l->buddy() == control; });
        ASSERT_NE(label, labels.end()) << setting.control;
        EXPECT_EQ((*label)->text().toStdString(), setting.caption);
    }
    // The groups come in their listed order, top to bottom.
    settings.layout()->activate();
    int top = -1;
    for (const char* title : SettingGroups) {
        auto* group = settings.findChild<QGroupBox*>(QString(title) + "Group");
        ASSERT_NE(group, nullptr) << title;
        EXPECT_GT(group->y(), top) << title;
        top = group->y();
    }
    // A slider says its value beside it.
    settings.RootVolume->setValue(87);
    EXPECT_EQ(settings.findChild<QLabel*>("RootVolumeValue")->text(), "87");
    EXPECT_EQ(settings.findChild<QLabel*>("ChordVolumeValue")->text(), "100");
}

// At the default font and at one and a half and twice its size, every text and control has
// the room it asks for and lies inside the dialog.
TEST_F(SettingsDialog, NothingIsCutAtAnyTextSize)
{
    for (int pixels : {11, 16, 22}) {
        TSettings settings(file(), "", &player);
        QFont font = settings.font();
        font.setPixelSize(pixels);
        settings.setFont(font);
        settings.show();
        settings.layout()->activate();
        const QRect inside = settings.rect();
        for (QWidget* child : settings.findChildren<QWidget*>()) {
            if (!child->isVisible() || child->inherits("QComboBoxPrivateContainer") || child->isWindow())
                continue;
            const std::string what = child->metaObject()->className() + (" " + child->objectName().toStdString()) +
                                     " at " + std::to_string(pixels) + " px";
            if (qobject_cast<QLabel*>(child) || qobject_cast<QAbstractButton*>(child) ||
                qobject_cast<QComboBox*>(child) || qobject_cast<QSpinBox*>(child)) {
                EXPECT_GE(child->width(), child->minimumSizeHint().width()) << what;
                EXPECT_GE(child->height(), child->minimumSizeHint().height()) << what;
            }
            if (auto* label = qobject_cast<QLabel*>(child))
                EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text())) << what;
            if (auto* box = qobject_cast<QAbstractButton*>(child))
                EXPECT_GE(box->width(), box->sizeHint().width()) << what;
            const QRect place(child->mapTo(&settings, QPoint(0, 0)), child->size());
            EXPECT_TRUE(inside.contains(place)) << what;
        }
        settings.hide();
    }
}

TEST_F(SettingsDialog, OkWritesEveryKeyInOrder)
{
    TSettings settings(file(), "", &player);
    settings.RootPatch->setCurrentIndex(4);
    settings.ChordVolume->setValue(90);
    settings.ShowGUIhints->setChecked(false);
    settings.MIDIOutDriver->setCurrentIndex(2);
    settings.MIDIOutDriverChange();
    settings.Button1Click();
    EXPECT_EQ(settings.result(), 1);
    EXPECT_EQ(read(),
              "[Settings]\nShowFlyByHint=0\nConvertDblToEq=0\nRootPatch=4\nChordPatch=0\nRootVolume=100\n"
              "ChordVolume=90\nMIDIOutDriver=2\nMIDIOutDriverName=Recorder 2\nArpegioStaggers=50\n"
              "DisplayChordColor=0\nRememberRootAndChord=1\nNameFromLowestNote=0\n"
              "MIDIInput=Tonvera input port\nPlayIncomingNotes=1\nSoundFont=\nAudioBufferMs=4\n");
    EXPECT_EQ(player.CurrentDevice(), 2);
    // Hints are off now, not merely slow.
    EXPECT_FALSE(settings.HintsEnabled());
    EXPECT_EQ(settings.HintPause(), 65000);
}

TEST_F(SettingsDialog, CancelWritesNothingAndRestoresTheSavedDevice)
{
    write("[Settings]\nMIDIOutDriver=1\nRootPatch=3\n");
    TSettings settings(file(), "", &player);
    EXPECT_EQ(player.CurrentDevice(), 1);
    settings.MIDIOutDriver->setCurrentIndex(2);
    settings.MIDIOutDriverChange();
    EXPECT_EQ(player.CurrentDevice(), 2);   // switched at once
    settings.RootPatch->setCurrentIndex(9);
    settings.Button2Click();
    EXPECT_EQ(settings.result(), 2);
    EXPECT_EQ(read(), "[Settings]\nMIDIOutDriver=1\nRootPatch=3\n");
    EXPECT_EQ(player.CurrentDevice(), 1);
    EXPECT_EQ(settings.MIDIOutDriver->currentIndex(), 1);
    EXPECT_EQ(settings.RootPatch->currentIndex(), 3);
}

TEST_F(SettingsDialog, RefusedDeviceLeavesTheListOnTheCurrentOne)
{
    devices->FailOpen(2);
    TSettings settings(file(), "", &player);
    settings.MIDIOutDriver->setCurrentIndex(2);
    settings.MIDIOutDriverChange();
    EXPECT_EQ(player.CurrentDevice(), 0);
    EXPECT_EQ(settings.MIDIOutDriver->currentIndex(), 0);
}

TEST_F(SettingsDialog, PatchOutsideTheListShowsNoneAndIsSavedAsMinusOne)
{
    write("[Settings]\nRootPatch=200\n");
    TSettings settings(file(), "", &player);
    EXPECT_EQ(settings.RootPatch->currentIndex(), -1);
    settings.Button1Click();
    EXPECT_EQ(IniFile(file()).ReadInteger("Settings", "RootPatch", 0), -1);
}

// The window reads the settings from the file until the dialog is made: it must read what
// the dialog will show, whatever the file holds.
TEST_F(SettingsDialog, TheSettingsReadWithoutTheDialogAreTheDialogsValues)
{
    auto ports = std::make_shared<ChangingPorts>();
    Player withInputs(std::make_shared<MIDIDeviceList>(std::vector<std::shared_ptr<MIDIBackEnd>>{ports}, nullptr));
    const struct {
        std::string file;
        std::string parameter;
    } cases[] = {
        {"", ""},
        {"[Settings]\nConvertDblToEq=1\nDisplayChordColor=1\nRememberRootAndChord=0\nNameFromLowestNote=1\n"
         "PlayIncomingNotes=0\nRootPatch=5\nChordPatch=127\nRootVolume=77\nChordVolume=0\nArpegioStaggers=999\n"
         "MIDIInput=Keyboard:out\n",
         ""},
        {"[Settings]\nRootPatch=200\nChordPatch=-3\nRootVolume=500\nChordVolume=-1\nArpegioStaggers=5000\n"
         "ConvertDblToEq=7\nMIDIInput=Gone:port\n",
         ""},
        {"[Settings]\nRootVolume=loud\nRememberRootAndChord=\nMIDIInput=None\n", ""},
        {"[Settings]\nChordPatch=9\n[Settings_guitar]\nChordPatch=12\nMIDIInput=None\n", "guitar"},
    };
    for (const auto& c : cases) {
        write(c.file);
        const UserSettings read = ReadUserSettings(file(), c.parameter, &withInputs);
        TSettings settings(file(), c.parameter, &withInputs);
        EXPECT_TRUE(read == settings.Values()) << c.file;
        EXPECT_EQ(read.midiInput, settings.Values().midiInput) << c.file;
        EXPECT_EQ(read.playback.chordPatch, settings.Values().playback.chordPatch) << c.file;
    }
    EXPECT_TRUE(ReadUserSettings(file(), "", nullptr) == TSettings(file(), "", nullptr).Values())
        << "without a player: Tonvera's own input alone";
}

TEST_F(SettingsDialog, EachStartModeKeepsItsOwnSectionDeviceIncluded)
{
    write("[Settings]\nMIDIOutDriver=1\nChordPatch=5\n[Settings_guitar]\nMIDIOutDriver=2\n");
    TSettings guitar(file(), "guitar", &player);
    EXPECT_EQ(guitar.Section(), "Settings_guitar");
    EXPECT_EQ(player.CurrentDevice(), 2);
    EXPECT_EQ(guitar.ChordPatch->currentIndex(), 0);
    guitar.ChordPatch->setCurrentIndex(7);
    guitar.Button1Click();
    const IniFile ini(file());
    EXPECT_EQ(ini.ReadInteger("Settings_guitar", "ChordPatch", -9), 7);
    EXPECT_EQ(ini.ReadInteger("Settings", "ChordPatch", -9), 5);
    EXPECT_EQ(ini.ReadInteger("Settings", "MIDIOutDriver", -9), 1);
}

TEST_F(SettingsDialog, EnterAnywhereIsOkEscapeIsCancel)
{
    {
        TSettings settings(file(), "", &player);
        settings.open();
        settings.Button2->setFocus();   // even with Cancel focused
        settings.ArpegioStaggers->setValue(70);
        QTest::keyClick(settings.Button2, Qt::Key_Return);
        EXPECT_FALSE(settings.isVisible());
        EXPECT_EQ(settings.result(), 1);
        EXPECT_EQ(IniFile(file()).ReadInteger("Settings", "ArpegioStaggers", 0), 70);
    }
    {
        TSettings settings(file(), "", &player);
        settings.open();
        settings.ArpegioStaggers->setValue(90);
        QTest::keyClick(settings.ArpegioStaggers, Qt::Key_Escape);
        EXPECT_FALSE(settings.isVisible());
        EXPECT_EQ(settings.result(), 2);
        EXPECT_EQ(settings.ArpegioStaggers->value(), 70);
    }
}

TEST_F(SettingsDialog, UncheckedHintsShowNoToolTips)
{
    TSettings settings(file(), "", &player);
    QLabel target("hinted");
    target.show();
    // Whether asking for the hint shows this text.
    auto shows = [&](const char* text) {
        target.setToolTip(text);
        QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), target.mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(&target, &help);
        return QToolTip::isVisible() && QToolTip::text() == text;
    };
    EXPECT_TRUE(shows("first hint"));
    settings.ShowGUIhints->setChecked(false);
    EXPECT_FALSE(shows("second hint"));
    settings.ShowGUIhints->setChecked(true);
    EXPECT_TRUE(shows("third hint"));
}

TEST(HintTiming, ToolTipsUseTheStartUpDelaysUntilTheSettingsSetTheirOwn)
{
    SetHintTiming(200, 300);
    EXPECT_EQ(HintPause(), 200);
    EXPECT_EQ(HintShortPause(), 300);
    SetHintPause(400);
    EXPECT_EQ(HintPause(), 400);
    EXPECT_EQ(HintShortPause(), 300);
}

TEST_F(SettingsDialog, FailedSaveSaysWhyKeepsTheDialogOpenAndClosesCleanly)
{
    // A folder where the file belongs makes every save fail.
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(file() + "/inside")));
    TSettings settings(file(), "", &player);
    std::string shown;
    bool stillOpen = false;
    QTimer::singleShot(0, [&] {
        settings.RootPatch->setCurrentIndex(4);
        QTest::mouseClick(settings.Button1, Qt::LeftButton);
        stillOpen = settings.isVisible();
        if (auto* box = settings.findChild<QMessageBox*>()) {
            shown = box->text().toStdString();
            box->accept();
        }
        QTest::mouseClick(settings.Button2, Qt::LeftButton);
    });
    EXPECT_EQ(settings.exec(), 2);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(shown, "The settings could not be saved.\nCannot write " + file() + ": Is a directory");
    EXPECT_TRUE(QFileInfo(QString::fromStdString(file())).isDir());
    EXPECT_EQ(settings.RootPatch->currentIndex(), 0) << "closing shows what the file holds";
    // The dialog can be used again.
    QTimer::singleShot(0, [&] { settings.Button2Click(); });
    EXPECT_EQ(settings.exec(), 2);
}

TEST_F(SettingsDialog, ASaveThatCannotFinishLeavesTheOldFileWhole)
{
    const std::string before = "[Settings]\nRootPatch=3\n";
    write(before);
    TSettings settings(file(), "", &player);
    settings.open();
    settings.RootPatch->setCurrentIndex(5);
    {
        // Room for the first few keys only, as on a disk that fills up during the save.
        FileSizeLimit limit(80);
        settings.Button1Click();
    }
    EXPECT_EQ(read(), before);
    EXPECT_TRUE(settings.isVisible());
    auto* box = settings.findChild<QMessageBox*>();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text().toStdString(),
              "The settings could not be saved.\nCannot write " + file() + ": File too large");
    box->accept();
    // Once there is room again, OK saves every key and closes.
    settings.Button1Click();
    EXPECT_FALSE(settings.isVisible());
    EXPECT_EQ(IniFile(file()).ReadInteger("Settings", "RootPatch", 0), 5);
    EXPECT_EQ(IniFile(file()).ReadSection("Settings").size(), std::size(SettingsTable));
}

TEST_F(SettingsDialog, DevicesAreRestoredByNameWhileTheirPortExistsAndTheListsAreReadAgainOnOpening)
{
    auto ports = std::make_shared<ChangingPorts>();
    Player changing(std::make_shared<MIDIDeviceList>(std::vector<std::shared_ptr<MIDIBackEnd>>{ports}, nullptr));
    write("[Settings]\nMIDIOutDriver=0\nMIDIOutDriverName=Recorder 2\nMIDIInput=Keyboard:out\n");
    TSettings settings(file(), "", &changing);
    EXPECT_EQ(changing.CurrentDevice(), 1) << "the name wins over the saved place";
    EXPECT_EQ(entries(settings.MIDIInput), (std::vector<std::string>{"None", "Tonvera input port", "Keyboard:out"}));
    EXPECT_EQ(settings.Values().midiInput, "Keyboard:out");

    // A port appears before the saved one: opening the dialog lists it, and the device in use
    // keeps its name under its new place. The keyboard is gone: Tonvera's own input instead.
    ports->outputs = {"Recorder 0", "Recorder 1", "Recorder 2"};
    ports->inputs = {};
    settings.open();
    EXPECT_EQ(entries(settings.MIDIOutDriver), (std::vector<std::string>{"Recorder 0", "Recorder 1", "Recorder 2"}));
    EXPECT_EQ(changing.CurrentDevice(), 2);
    EXPECT_EQ(settings.MIDIOutDriver->currentIndex(), 2);
    EXPECT_EQ(settings.Values().midiInput, kOwnInputName);
    settings.Button1Click();
    const IniFile ini(file());
    EXPECT_EQ(ini.ReadInteger("Settings", "MIDIOutDriver", -9), 2);
    EXPECT_EQ(ini.ReadString("Settings", "MIDIOutDriverName", ""), "Recorder 2");

    // A saved name whose port is away keeps the device in use; a file that never saved a name
    // (an older one) is restored by place.
    write("[Settings]\nMIDIOutDriver=0\nMIDIOutDriverName=Recorder 3\nMIDIInput=None\n");
    settings.open();
    EXPECT_EQ(changing.CurrentDevice(), 2);
    EXPECT_EQ(settings.Values().midiInput, "");
    settings.Button2Click();
    write("[Settings]\nMIDIOutDriver=1\n");
    settings.open();
    EXPECT_EQ(changing.CurrentDevice(), 1);
    settings.Button2Click();
}

TEST_F(SettingsDialog, ADeviceThatCannotStartSaysWhyUnderTheDeviceBox)
{
    TSettings settings(file(), "", &player);
    settings.show(); // an open dialog makes room at once; a hidden one when it opens
    QSignalSpy changed(&settings, &TSettings::deviceChanged);
    const int heightBefore = settings.height();
    EXPECT_TRUE(settings.DeviceProblem->isHidden());
    devices->Recorder().HoldOpening(true);
    settings.MIDIOutDriver->setCurrentIndex(1);
    settings.MIDIOutDriverChange();
    EXPECT_TRUE(settings.DeviceProblem->isHidden()) << "still opening";
    devices->Recorder().SettleOpening(false, "The audio output could not be opened (audio driver \"alsa\"): "
                                             "no sound card was found.");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !settings.DeviceProblem->isHidden(); }));
    EXPECT_EQ(settings.DeviceProblem->text().toStdString(),
              "The audio output could not be opened (audio driver \"alsa\"): no sound card was found.");
    EXPECT_GE(changed.count(), 2);
    // The reason takes lines of its own: everything below moves down, nothing is covered.
    EXPECT_GT(settings.height(), heightBefore);
    EXPECT_LT(settings.DeviceProblem->mapTo(&settings, settings.DeviceProblem->rect().bottomLeft()).y(),
              settings.ShowGUIhints->mapTo(&settings, QPoint(0, 0)).y());
    EXPECT_LE(settings.Button1->mapTo(&settings, settings.Button1->rect().bottomLeft()).y(), settings.height());

    devices->Recorder().HoldOpening(false);
    settings.MIDIOutDriver->setCurrentIndex(2);
    settings.MIDIOutDriverChange();
    EXPECT_TRUE(settings.DeviceProblem->isHidden());
    EXPECT_EQ(settings.height(), heightBefore);
}

// The real synthesizer behind the dialog: a file that is not a SoundFont and a missing one
// are named in plain words; a good one plays. The choice and the audio buffer are saved and
// read back before the player is built.
TEST_F(SettingsDialog, TheSoundFontPickerSaysWhyAChoiceGivesNoSound)
{
    ScopedEnvironment environment;
    environment.Set("TONVERA_SOUNDFONT", nullptr).Set("TONVERA_AUDIO_DRIVER", "file").Set("TONVERA_AUDIO_FILE", "/dev/null");
    auto synth = MakeSystemMIDIDevices({"built-in synthesizer"});
    Player real(synth);
    TSettings settings(file(), "", &real);
    const std::string fake = dir.path().toStdString() + "/fake.sf2", missing = dir.path().toStdString() + "/none.sf2";
    {
        QFile f(QString::fromStdString(fake));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("not a SoundFont\n");
    }
    const auto reasonFor = [&](const std::string& soundFont) {
        settings.SoundFontChosen(soundFont);
        synth->WaitForBackground();
        EXPECT_TRUE(QTest::qWaitFor([&] { return real.CurrentDeviceState() != DeviceState::Opening; }));
        QTest::qWait(20); // the device notice arrives as a queued event
        return settings.DeviceProblem->isHidden() ? std::string() : settings.DeviceProblem->text().toStdString();
    };
    EXPECT_EQ(reasonFor(fake), "\"" + fake + "\" is not a SoundFont.");
    EXPECT_EQ(reasonFor(missing), "The SoundFont \"" + missing + "\" does not exist.");
    const std::string good = FindGeneralMIDISoundFont();
    if (!good.empty()) {
        EXPECT_EQ(reasonFor(good), "") << "a General MIDI SoundFont plays";
    }

    settings.AudioBuffer->setValue(20);
    settings.Button1Click();
    const SynthOptions saved = ReadSynthOptions(file(), "");
    EXPECT_EQ(saved.soundFont, good.empty() ? missing : good);
    EXPECT_EQ(saved.audioBufferMs, 20);
    EXPECT_EQ(ReadSynthOptions(file(), "guitar"), SynthOptions()) << "each start mode has its own";
}
