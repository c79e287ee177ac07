#include "dialogs/Settingsdialog.h"

#include "controls/Nxcomponentutils.h"
#include "dialogs/GuiRelay.h"
#include "dialogs/HintTiming.h"

#include "midi/Player.h"
#include "platform/IniFile.h"

#include <QApplication>
#include <algorithm>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

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

// In the order SaveSettings writes them; LoadSettings reads the device last.
// In the order SaveSettings writes them; LoadSettings reads the devices last. The output
// device is saved by its place in the list (as it always was) and by its name, which wins
// while that port exists (places shift as ports come and go).
const std::vector<SettingDef> SettingsTable = {
    {"ShowFlyByHint", "ShowGUIhints", 1, SettingKind::CheckBox, "Options", "show fly-by hints"},
    {"ConvertDblToEq", "ConvertDbl", 0, SettingKind::CheckBox, "Options",
     "convert double-flats/double-sharps to their enharmonic equivalents"},
    {"RootPatch", "RootPatch", 0, SettingKind::InstrumentList, "Root", "Instrument"},
    {"ChordPatch", "ChordPatch", 0, SettingKind::InstrumentList, "Chord", "Instrument"},
    {"RootVolume", "RootVolume", 100, SettingKind::Volume, "Root", "Volume"},
    {"ChordVolume", "ChordVolume", 100, SettingKind::Volume, "Chord", "Volume"},
    {kDeviceKey, "MIDIOutDriver", 0, SettingKind::SoundRow, "Sound and MIDI", "MIDI Driver:"},
    {kDeviceNameKey, "MIDIOutDriver", 0, SettingKind::SoundRow, "Sound and MIDI", "MIDI Driver:", ""},
    {"ArpegioStaggers", "ArpegioStaggers", 50, SettingKind::Milliseconds, "Chord", "Arpeggio staggers notes at"},
    {"DisplayChordColor", "DisplayChordColor", 0, SettingKind::CheckBox, "Options",
     "Display chord tones in different colors"},
    {"RememberRootAndChord", "RememberRootAndChord", 1, SettingKind::CheckBox, "Options",
     "Remember the last root and chord played when closing program"},
    {"NameFromLowestNote", "NameFromLowestNote", 0, SettingKind::CheckBox, "Chord finder",
     "Name chords from the lowest note"},
    {kMIDIInputKey, "MIDIInput", 0, SettingKind::SoundRow, "Sound and MIDI", "MIDI input:", kOwnInputName},
    {"PlayIncomingNotes", "PlayIncomingNotes", 1, SettingKind::SoundRow, "Sound and MIDI", "Play incoming notes"},
    {kSoundFontKey, "SoundFont", 0, SettingKind::SoundRow, "Sound and MIDI", "SoundFont:", ""},
    {kAudioBufferKey, "AudioBuffer", kDefaultAudioBufferMs, SettingKind::SoundRow, "Sound and MIDI", "Audio buffer:"},
};

const std::vector<const char*> SettingGroups = {"Sound and MIDI", "Options", "Root", "Chord", "Chord finder"};

namespace {

constexpr int kModalOk = 1;
constexpr int kModalCancel = 2;
constexpr int kLoudestVolume = 120;
constexpr int kLongestStaggerMs = 1000;

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

// A caption as a screen reader says it: without the colon and blanks at its end.
QString spokenName(const char* caption)
{
    QString name = QString::fromLatin1(caption).trimmed();
    if (name.endsWith(':'))
        name.chop(1);
    return name;
}

QComboBox* instrumentList()
{
    auto* list = new QComboBox;
    list->setMaxVisibleItems(16);
    for (const char* instrument : GeneralMIDIInstrumentNames)
        list->addItem(instrument);
    return list;
}

QSlider* volumeBar()
{
    auto* bar = new QSlider(Qt::Horizontal);
    bar->setRange(0, kLoudestVolume);
    bar->setTickInterval(10);
    bar->setTickPosition(QSlider::TicksBelow);
    bar->setValue(100);
    bar->setMinimumWidth(129);
    return bar;
}

// The control a setting of this kind is shown in, not yet named.
QWidget* controlFor(const SettingDef& setting)
{
    switch (setting.kind) {
    case SettingKind::CheckBox:
        return new QCheckBox(QString::fromLatin1(setting.caption));
    case SettingKind::InstrumentList:
        return instrumentList();
    case SettingKind::Volume:
        return volumeBar();
    case SettingKind::Milliseconds: {
        auto* spin = new QSpinBox;
        spin->setRange(0, kLongestStaggerMs);
        return spin;
    }
    case SettingKind::SoundRow:
        break;
    }
    return new QWidget;
}

// The control with what follows it on its row: a slider's value, kept up to date, or a
// unit. Null when nothing follows it.
QHBoxLayout* fieldWithTrailer(SettingKind kind, QWidget* control)
{
    auto* row = new QHBoxLayout;
    if (auto* bar = qobject_cast<QSlider*>(control); bar && kind == SettingKind::Volume) {
        auto* value = new QLabel(QString::number(bar->value()));
        value->setObjectName(bar->objectName() + "Value");
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        value->setMinimumWidth(value->fontMetrics().horizontalAdvance("000") + 2);
        QObject::connect(bar, &QSlider::valueChanged, value, [value](int v) { value->setNum(v); });
        row->addWidget(bar, 1);
        row->addWidget(value);
    } else if (kind == SettingKind::Milliseconds) {
        row->addWidget(control);
        row->addWidget(new QLabel("ms"));
        row->addStretch(1);
    } else {
        delete row;
        return nullptr;
    }
    return row;
}

// The value a control of this kind shows for a stored one, as the control itself makes it:
// an index outside the instrument list selects nothing, bars and number fields clamp.
int shownValue(SettingKind kind, int stored)
{
    switch (kind) {
    case SettingKind::InstrumentList:
        return stored >= 0 && stored < static_cast<int>(std::size(GeneralMIDIInstrumentNames)) ? stored : -1;
    case SettingKind::Volume:
        return std::clamp(stored, 0, kLoudestVolume);
    case SettingKind::Milliseconds:
        return std::clamp(stored, 0, kLongestStaggerMs);
    case SettingKind::CheckBox:
    case SettingKind::SoundRow:
        break;
    }
    return stored;
}

const SettingDef& settingOf(std::string_view key)
{
    return *std::find_if(SettingsTable.begin(), SettingsTable.end(),
                         [key](const SettingDef& setting) { return key == setting.key; });
}

} // namespace

std::string RestoredInput(const std::string& saved, const std::vector<std::string>& entries)
{
    return std::find(entries.begin(), entries.end(), saved) != entries.end() ? saved : std::string(kOwnInputName);
}

UserSettings ReadUserSettings(const std::string& settingsFile, const std::string& firstParameter, Player* player)
{
    const IniFile ini(settingsFile);
    const std::string section = StartModeSection("Settings", firstParameter);
    const auto stored = [&](std::string_view key) {
        const SettingDef& setting = settingOf(key);
        return shownValue(setting.kind, ini.ReadInteger(section, setting.key, setting.defaultValue));
    };
    UserSettings values;
    values.convertDbl = stored("ConvertDblToEq") != 0;
    values.displayChordColor = stored("DisplayChordColor") != 0;
    values.rememberRootAndChord = stored("RememberRootAndChord") != 0;
    values.nameFromLowestNote = stored("NameFromLowestNote") != 0;
    values.playIncomingNotes = stored("PlayIncomingNotes") != 0;
    values.playback.rootPatch = stored("RootPatch");
    values.playback.chordPatch = stored("ChordPatch");
    values.playback.rootVolume = stored("RootVolume");
    values.playback.chordVolume = stored("ChordVolume");
    values.playback.staggerMs = stored("ArpegioStaggers");
    // Tonvera's own input and "none" are always offered: only another port's name needs the
    // list of ports, which may mean asking a JACK server.
    const std::string savedInput = ini.ReadString(section, kMIDIInputKey, kOwnInputName);
    const bool alwaysOffered = savedInput == kOwnInputName || savedInput == kNoMIDIInput;
    values.midiInput = alwaysOffered ? savedInput : RestoredInput(savedInput, MIDIInputEntries(player));
    if (values.midiInput == kNoMIDIInput)
        values.midiInput.clear();
    return values;
}

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
    QFont font = this->font();
    font.setPixelSize(11);
    setFont(font);
    buildControls();
    qApp->installEventFilter(this);
    watchDevice();
    FormCreate();
}

TSettings::~TSettings()
{
    qApp->removeEventFilter(this);
    stopWatchingDevice();
}

// Titled groups of labelled rows, laid out by Qt: every text gets the room it needs at any
// font size and scale, and the dialog takes the size of what it holds.
void TSettings::buildControls()
{
    auto* page = new QVBoxLayout(this);
    page->setSizeConstraint(QLayout::SetFixedSize);
    page->addWidget(buildSoundRows());
    std::vector<std::string> order(SettingGroups.begin(), SettingGroups.end());
    for (const SettingDef& setting : SettingsTable)
        if (std::find(order.begin(), order.end(), setting.group) == order.end())
            order.emplace_back(setting.group);
    for (const std::string& title : order) {
        auto* group = new QGroupBox(QString::fromLatin1(title.c_str()), this);
        group->setObjectName(QString::fromLatin1(title.c_str()) + "Group");
        auto* rows = new QFormLayout(group);
        rows->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
        for (const SettingDef& setting : SettingsTable)
            if (title == setting.group && setting.kind != SettingKind::SoundRow)
                addSettingRow(rows, setting);
        if (rows->rowCount() > 0)
            page->addWidget(group);
        else
            delete group;
    }

    alignRowLabels();

    Button1 = new QPushButton("OK", this);
    Button1->setObjectName("Button1");
    Button1->setDefault(true);
    Button2 = new QPushButton("Cancel", this);
    Button2->setObjectName("Button2");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    page->addSpacing(4);
    page->addLayout(buttons);

    ShowGUIhints = findChild<QCheckBox*>("ShowGUIhints");
    ConvertDbl = findChild<QCheckBox*>("ConvertDbl");
    DisplayChordColor = findChild<QCheckBox*>("DisplayChordColor");
    RememberRootAndChord = findChild<QCheckBox*>("RememberRootAndChord");
    RootPatch = findChild<QComboBox*>("RootPatch");
    RootVolume = findChild<QSlider*>("RootVolume");
    ChordPatch = findChild<QComboBox*>("ChordPatch");
    ChordVolume = findChild<QSlider*>("ChordVolume");
    ArpegioStaggers = findChild<QSpinBox*>("ArpegioStaggers");
    NameFromLowestNote = findChild<QCheckBox*>("NameFromLowestNote");

    connect(Button1, &QPushButton::clicked, this, &TSettings::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TSettings::Button2Click);
}

void TSettings::addSettingRow(QFormLayout* group, const SettingDef& setting)
{
    QWidget* control = controlFor(setting);
    control->setObjectName(setting.control);
    control->setAccessibleName(spokenName(setting.caption));
    if (setting.kind == SettingKind::CheckBox) {
        group->addRow(control);
        return;
    }
    auto* label = new QLabel(QString::fromLatin1(setting.caption));
    label->setObjectName("RowLabel");
    label->setBuddy(control);
    if (QHBoxLayout* field = fieldWithTrailer(setting.kind, control))
        group->addRow(label, field);
    else
        group->addRow(label, control);
}

// Every group's fields start at the same place: the row labels all take the widest one's width.
void TSettings::alignRowLabels()
{
    const QList<QLabel*> labels = findChildren<QLabel*>("RowLabel");
    int widest = 0;
    for (const QLabel* label : labels)
        widest = std::max(widest, label->sizeHint().width());
    for (QLabel* label : labels)
        label->setMinimumWidth(widest);
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
