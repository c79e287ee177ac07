#include "dialogs/Settingsdialog.h"

#include "dialogs/GuiRelay.h"
#include "dialogs/HintTiming.h"

#include "midi/Player.h"
#include "platform/IniFile.h"

#include <QApplication>
#include <algorithm>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>

const char* const GeneralMIDIInstrumentNames[128] = {
    "Acoustic Grand Piano", "Bright Acoustic Piano", "Electric Grand Piano", "Honky-tonk Piano",
    "Rhodes Piano", "Chorused Piano", "Harpsichord", "Clavinet",
    "Celesta", "Glockenspiel", "Music Box", "Vibraphone",
    "Marimba", "Xylophone", "Tubular Bells", "Dulcimer",
    "Hammond Organ", "Percussive Organ", "Rock Organ", "Church Organ",
    "Reed Organ", "Accordion", "Harmonica", "Tango Accordion",
    "Acoustic Guitar (nylon)", "Acoustic Guitar (steel)", "Electric Guitar (jazz)", "Electric Guitar (clean)",
    "Electric Guitar (muted)", "Overdriven Guitar", "Distortion Guitar", "Guitar Harmonics",
    "Acoustic Bass", "Electric Bass (finger)", "Electric Bass (pick)", "Fretless Bass",
    "Slap Bass 1", "Slap Bass 2", "Synth Bass 1", "Synth Bass 2",
    "Violin", "Viola", "Cello", "Contrabass",
    "Tremelo Strings", "Pizzicato Strings", "Orchestral Harp", "Timpani",
    "String Ensemble 1", "String Ensemble 2", "SynthStrings 1", "SynthStrings 2",
    "Choir Aahs", "Voice Oohs", "Synth Voice", "Orchestra Hit",
    "Trumpet", "Trombone", "Tuba", "Muted Trumpet",
    "French Horn", "Brass Section", "Synth Brass 1", "Synth Brass 2",
    "Soprano Sax", "Alto Sax", "Tenor Sax", "Baritone Sax",
    "Oboe", "English Horn", "Bassoon", "Clarinet",
    "Piccolo", "Flute", "Recorder", "Pan Flute",
    "Bottle Blow", "Shakuhachi", "Whistle", "Ocarina",
    "Lead 1 (square)", "Lead 2 (sawtooth)", "Lead 3 (calliope lead)", "Lead 4 (chiff lead)",
    "Lead 5 (charang)", "Lead 6 (voice)", "Lead 7 (fifths)", "Lead 8 (bass + lead)",
    "Pad 1 (new age)", "Pad 2 (warm)", "Pad 3 (polysynth)", "Pad 4 (choir)",
    "Pad 5 (bowed)", "Pad 6 (metallic)", "Pad 7 (halo)", "Pad 8 (sweep)",
    "FX 1 (rain)", "FX 2 (soundtrack)", "FX 3 (crystal)", "FX 4 (atmosphere)",
    "FX 5 (brightness)", "FX 6 (goblins)", "FX 7 (echoes)", "FX 8 (sci-fi)",
    "Sitar", "Banjo", "Shamisen", "Koto",
    "Kalimba", "Bagpipe", "Fiddle", "Shanai",
    "Tinkle Bell", "Agogo", "Steel Drums", "Woodblock",
    "Taiko Drum", "Melodic Tom", "Synth Drum", "Reverse Cymbal",
    "Guitar Fret Noise", "Breath Noise", "Seashore", "Bird Tweet",
    "Telephone Ring", "Helicopter", "Applause", "Gunshot",
};

// In the order SaveSettings writes them; LoadSettings reads the devices last. The output
// device is saved by its place in the list (as it always was) and by its name, which wins
// while that port exists (places shift as ports come and go).
const SettingDef SettingsTable[16] = {
    {"ShowFlyByHint", "ShowGUIhints", 1},
    {"ConvertDblToEq", "ConvertDbl", 0},
    {"RootPatch", "RootPatch", 0},
    {"ChordPatch", "ChordPatch", 0},
    {"RootVolume", "RootVolume", 100},
    {"ChordVolume", "ChordVolume", 100},
    {kDeviceKey, "MIDIOutDriver", 0},
    {kDeviceNameKey, "MIDIOutDriver", 0, ""},
    {"ArpegioStaggers", "ArpegioStaggers", 50},
    {"DisplayChordColor", "DisplayChordColor", 0},
    {"RememberRootAndChord", "RememberRootAndChord", 1},
    {"NameFromLowestNote", "NameFromLowestNote", 0},
    {kMIDIInputKey, "MIDIInput", 0, kOwnInputName},
    {"PlayIncomingNotes", "PlayIncomingNotes", 1},
    {kSoundFontKey, "SoundFont", 0, ""},
    {kAudioBufferKey, "AudioBuffer", kDefaultAudioBufferMs},
};

namespace {

constexpr int kModalOk = 1;
constexpr int kModalCancel = 2;

// The devices are restored together, by name first (restoreDevices).
bool isDeviceKey(std::string_view key) { return key == kDeviceKey || key == kDeviceNameKey || key == kMIDIInputKey; }

// A list's entries may carry the exact name they stand for (a port's name as its back end
// spells it); the text shown is for the eye.
std::string controlText(QWidget* control)
{
    if (auto* list = qobject_cast<QComboBox*>(control))
        return list->currentData().isValid() ? list->currentData().toByteArray().toStdString()
                                             : list->currentText().toStdString();
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        return edit->text().toStdString();
    return {};
}

void setControlText(QWidget* control, const std::string& text)
{
    if (auto* list = qobject_cast<QComboBox*>(control))
        list->setCurrentIndex(list->findData(QByteArray::fromStdString(text)));
    else if (auto* edit = qobject_cast<QLineEdit*>(control))
        edit->setText(QString::fromStdString(text));
}

int controlValue(QWidget* control)
{
    if (auto* box = qobject_cast<QCheckBox*>(control))
        return box->isChecked() ? 1 : 0;
    if (auto* list = qobject_cast<QComboBox*>(control))
        return list->currentIndex();
    if (auto* bar = qobject_cast<QSlider*>(control))
        return bar->value();
    if (auto* spin = qobject_cast<QSpinBox*>(control))
        return spin->value();
    return 0;
}

// An index outside a list leaves it without a selection; bars and the spin field clamp.
void setControlValue(QWidget* control, int value)
{
    if (auto* box = qobject_cast<QCheckBox*>(control))
        box->setChecked(value != 0);
    else if (auto* list = qobject_cast<QComboBox*>(control))
        list->setCurrentIndex(value >= 0 && value < list->count() ? value : -1);
    else if (auto* bar = qobject_cast<QSlider*>(control))
        bar->setValue(value);
    else if (auto* spin = qobject_cast<QSpinBox*>(control))
        spin->setValue(value);
}

QLabel* label(QWidget* parent, const char* text, int left, int top, int width, int height, bool bold = false)
{
    auto* result = new QLabel(text, parent);
    result->setGeometry(left, top, width, height);
    if (bold) {
        QFont font = result->font();
        font.setBold(true);
        result->setFont(font);
    }
    return result;
}

QCheckBox* checkBox(QWidget* parent, const char* name, const char* text, int left, int top, int width)
{
    auto* box = new QCheckBox(text, parent);
    box->setObjectName(name);
    box->setGeometry(left, top, width, 17);
    return box;
}

QComboBox* instrumentList(QWidget* parent, const char* name, int left, int top)
{
    auto* list = new QComboBox(parent);
    list->setObjectName(name);
    list->setGeometry(left, top, 169, 21);
    list->setMaxVisibleItems(16);
    for (const char* instrument : GeneralMIDIInstrumentNames)
        list->addItem(instrument);
    return list;
}

QSlider* volumeBar(QWidget* parent, const char* name, int left, int top)
{
    auto* bar = new QSlider(Qt::Horizontal, parent);
    bar->setObjectName(name);
    bar->setGeometry(left, top, 129, 25);
    bar->setRange(0, 120);
    bar->setTickInterval(10);
    bar->setTickPosition(QSlider::TicksBelow);
    bar->setValue(100);
    return bar;
}

void separator(QWidget* parent, int left, int top, int width)
{
    auto* line = new QFrame(parent);
    line->setGeometry(left, top, width, 9);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
}

} // namespace

std::string StartModeSection(const std::string& base, const std::string& firstParameter)
{
    return firstParameter.empty() ? base : base + "_" + firstParameter;
}

TSettings::TSettings(std::string settingsFile, const std::string& firstParameter, Player* player,
                     QWidget* parent)
    : QDialog(parent),
      settingsFile_(std::move(settingsFile)),
      section_(StartModeSection("Settings", firstParameter)),
      player_(player)
{
    setObjectName("Settings");
    setWindowTitle("Settings");
    setFixedSize(358, 395);
    QFont font = this->font();
    font.setPixelSize(11);
    setFont(font);
    buildControls();
    fitCheckBoxesToTheirTexts();
    qApp->installEventFilter(this);
    watchDevice();
    FormCreate();
}

TSettings::~TSettings()
{
    qApp->removeEventFilter(this);
    stopWatchingDevice();
}

void TSettings::buildControls()
{
    // The sound and MIDI rows, the device box among them, take the top (fitSoundRows).
    QGroupBox* sound = buildSoundRows();
    sound->setGeometry(8, 4, 342, 44);

    ShowGUIhints = checkBox(this, "ShowGUIhints", "show fly-by hints", 8, 56, 137);
    ConvertDbl = checkBox(this, "ConvertDbl",
                          "convert double-flats/double-sharps to their enharmonic equivalents", 8, 80, 345);
    DisplayChordColor = checkBox(this, "DisplayChordColor", "Display chord tones in different colors", 8, 104, 300);
    RememberRootAndChord = checkBox(this, "RememberRootAndChord",
                                    "Remember the last root and chord played when closing program", 8, 128, 345);
    separator(this, 16, 152, 337);

    label(this, "Root", 8, 160, 40, 13, true);
    RootPatch = instrumentList(this, "RootPatch", 8, 175);
    label(this, "Volume", 184, 177, 40, 13);
    RootVolume = volumeBar(this, "RootVolume", 224, 173);

    label(this, "Chord", 8, 211, 40, 13, true);
    ChordPatch = instrumentList(this, "ChordPatch", 8, 227);
    label(this, "Volume", 184, 228, 40, 13);
    ChordVolume = volumeBar(this, "ChordVolume", 224, 225);
    separator(this, 8, 264, 337);

    label(this, "Arpeggio staggers notes at ", 8, 284, 134, 13);
    ArpegioStaggers = new QSpinBox(this);
    ArpegioStaggers->setObjectName("ArpegioStaggers");
    ArpegioStaggers->setGeometry(144, 280, 55, 22);
    ArpegioStaggers->setRange(0, 1000);
    label(this, "ms", 205, 284, 20, 13);
    NameFromLowestNote = checkBox(this, "NameFromLowestNote", "Name chords from the lowest note", 8, 310, 300);

    Button1 = new QPushButton("OK", this);
    Button1->setObjectName("Button1");
    Button1->setGeometry(192, 362, 75, 25);
    Button1->setDefault(true);
    Button2 = new QPushButton("Cancel", this);
    Button2->setObjectName("Button2");
    Button2->setGeometry(272, 362, 75, 25);

    connect(Button1, &QPushButton::clicked, this, &TSettings::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TSettings::Button2Click);

    QWidget* order[] = {Button1, Button2, MIDIOutDriver, MIDIInput, PlayIncomingNotes, SoundFont,
                        SoundFontButton, AudioBuffer, ShowGUIhints, RootPatch, RootVolume,
                        ChordPatch, ChordVolume, ConvertDbl, ArpegioStaggers, DisplayChordColor,
                        RememberRootAndChord, NameFromLowestNote};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

// The captions are set in the system font, which can be wider than the one this layout was
// drawn for: a check box whose text would be cut grows to fit it, and the dialog grows with
// it, keeping OK and Cancel at its right edge.
void TSettings::fitCheckBoxesToTheirTexts()
{
    int right = width();
    for (QCheckBox* box : {ShowGUIhints, ConvertDbl, DisplayChordColor, RememberRootAndChord, NameFromLowestNote}) {
        box->resize(std::max(box->width(), box->sizeHint().width()), box->height());
        right = std::max(right, box->x() + box->width() + 8);
    }
    const int growth = right - width();
    for (QPushButton* button : {Button1, Button2})
        button->move(button->x() + growth, button->y());
    setFixedSize(right, height());
    fitSoundRows();
}

QWidget* TSettings::controlNamed(const char* name) const
{
    return findChild<QWidget*>(name);
}

void TSettings::FormCreate()
{
    fillDeviceLists();
    RootPatch->setCurrentIndex(0);
    ChordPatch->setCurrentIndex(0);
    LoadSettings();
}

void TSettings::LoadSettings()
{
    const IniFile ini(settingsFile_);
    for (const SettingDef& def : SettingsTable) {
        if (isDeviceKey(def.key))
            continue;
        if (def.textDefault)
            setControlText(controlNamed(def.control), ini.ReadString(section_, def.key, def.textDefault));
        else
            setControlValue(controlNamed(def.control), ini.ReadInteger(section_, def.key, def.defaultValue));
    }
    // The devices belong to the start mode, like every other key of their section.
    try {
        restoreDevices(ini);
    } catch (...) {
        // A device that cannot be restored leaves the player as it is.
    }
    applySynthChoices();
    applyHintSetting();
}

// Every key in one replacement of the file: a crash or a full disk never leaves half of them.
void TSettings::SaveSettings()
{
    IniFile ini(settingsFile_);
    IniFile::Batch batch(ini);
    for (const SettingDef& def : SettingsTable)
        if (def.textDefault)
            batch.WriteString(section_, def.key, controlText(controlNamed(def.control)));
        else
            batch.WriteInteger(section_, def.key, controlValue(controlNamed(def.control)));
    batch.Commit();
    applySynthChoices();
    applyHintSetting();
}

void TSettings::applyHintSetting()
{
    hintPause_ = ShowGUIhints->isChecked() ? 400 : 65000;
    SetHintPause(hintPause_);
}

UserSettings TSettings::Values() const
{
    UserSettings values;
    values.convertDbl = ConvertDbl->isChecked();
    values.displayChordColor = DisplayChordColor->isChecked();
    values.rememberRootAndChord = RememberRootAndChord->isChecked();
    values.nameFromLowestNote = NameFromLowestNote->isChecked();
    values.playback.rootPatch = RootPatch->currentIndex();
    values.playback.chordPatch = ChordPatch->currentIndex();
    values.playback.rootVolume = RootVolume->value();
    values.playback.chordVolume = ChordVolume->value();
    values.playback.staggerMs = ArpegioStaggers->value();
    values.midiInput = controlText(MIDIInput);
    if (values.midiInput == kNoMIDIInput)
        values.midiInput.clear();
    values.playIncomingNotes = PlayIncomingNotes->isChecked();
    return values;
}

bool TSettings::HintsEnabled() const
{
    return ShowGUIhints->isChecked();
}

// A save that fails keeps the dialog open with the user's choices, so they can try again or
// cancel; the file keeps what it held.
void TSettings::Button1Click()
{
    try {
        SaveSettings();
    } catch (const std::exception& error) {
        showSaveError(error.what());
        return;
    }
    done(kModalOk);
}

void TSettings::showSaveError(const std::string& reason)
{
    const std::string text = "The settings could not be saved.\n" + reason;
    auto* box = new QMessageBox(QMessageBox::Critical, "Tonvera", QString::fromStdString(text),
                                QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void TSettings::Button2Click()
{
    done(kModalCancel);
}

void TSettings::done(int result)
{
    QDialog::done(result);
    FormClose();
}

void TSettings::FormClose()
{
    LoadSettings();
}

// Hints are tool tips: while the box is unchecked none is shown anywhere in the program.
// The dialog also sees every key of its own controls first: Enter anywhere is OK, Escape
// is Cancel, whichever control has the focus.
bool TSettings::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ToolTip && !HintsEnabled())
        return true;
    if (event->type() == QEvent::KeyPress) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && (widget == this || isAncestorOf(widget))) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                Button1Click();
                return true;
            }
            if (key == Qt::Key_Escape) {
                Button2Click();
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}
