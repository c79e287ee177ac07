// The settings dialog and, for the whole run, the holder of the user's settings: other
// code asks it for their current values (Values) when it needs them. Its code:
//   Settingsdialog.cpp        the dialog, its table of keys, loading and saving
//   SettingsdialogSound.cpp   the sound and MIDI rows: devices by name, why there is no
//                             sound, MIDI input, SoundFont, audio buffer
// Called on the GUI thread; the player's device notices arrive as queued events.
#pragma once

#include "midi/Tmidicontent.h"
#include "platform/MIDIOut.h"
#include "platform/SynthOptions.h"

#include <QDialog>
#include <memory>
#include <string>
#include <vector>

class IniFile;
class Player;
class QCheckBox;
class QComboBox;
class QFormLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QSpinBox;
template <typename Item>
class GuiRelay;

// "Settings" for a plain start, "Settings_guitar" for a start with the parameter guitar:
// each start mode keeps its own section.
std::string StartModeSection(const std::string& base, const std::string& firstParameter);

// The 128 General MIDI instrument names, index = program number.
extern const char* const GeneralMIDIInstrumentNames[128];

// How a setting is shown: each kind is one kind of row in the dialog.
enum class SettingKind {
    CheckBox,         // a check box with the caption as its text; 1 or 0
    InstrumentList,   // the 128 General MIDI instruments; the program number
    Volume,           // a slider 0 to 120 with its value beside it
    Milliseconds,     // a number field 0 to 1000 followed by "ms"
    SoundRow,         // one of the sound and MIDI rows, made with them (SettingsdialogSound.cpp)
};

// One key of the settings section: its name, the control that shows it (its object name),
// its default, and the row that shows it: the kind of control, the titled group it sits in
// and its caption. The table lists the keys in the order they are saved; the dialog shows
// the groups in the order of SettingGroups and each group's rows in table order. A new
// setting is one more row here (and a new kind of control one more case where the dialog
// makes its controls). A text setting has a text default (textDefault not null); the others
// are integers.
struct SettingDef {
    const char* key;
    const char* control;
    int defaultValue;
    SettingKind kind;
    const char* group;
    const char* caption;
    const char* textDefault = nullptr;
};
extern const std::vector<SettingDef> SettingsTable;
// The dialog's groups, top to bottom; a group not listed here follows them.
extern const std::vector<const char*> SettingGroups;

// Keys of the devices in the settings section.
inline constexpr const char* kDeviceKey = "MIDIOutDriver";         // place in the list of outputs
inline constexpr const char* kDeviceNameKey = "MIDIOutDriverName"; // name of the output
inline constexpr const char* kMIDIInputKey = "MIDIInput";          // name of the input

// The entry of the "MIDI input" list that listens to nothing.
inline constexpr const char* kNoMIDIInput = "None";

// What the program reads of the settings file before it builds the player, so that the
// built-in synthesizer opens once, with the chosen SoundFont and audio buffer.
SynthOptions ReadSynthOptions(const std::string& settingsFile, const std::string& firstParameter);

// The current settings as the main window uses them; the defaults stand for a run without
// a settings dialog.
struct UserSettings {
    bool convertDbl = false;            // "convert double accidentals"
    bool displayChordColor = false;     // draw tones in their degree colours
    bool rememberRootAndChord = true;   // restore the last chord at start
    bool nameFromLowestNote = false;    // the finder names chords from the lowest marked note
    std::string midiInput = kOwnInputName; // the MIDI input listened to; "" for none
    bool playIncomingNotes = true;      // notes from the MIDI input sound through the output device
    PlaybackSettings playback;          // instruments, volumes and arpeggio stagger (arpeggio itself is
                                        // the window's button)

    bool operator==(const UserSettings&) const = default;
};

// The entries of the MIDI input box: "None", then the inputs the player's devices offer
// (Tonvera's own first), or Tonvera's own alone without devices.
std::vector<std::string> MIDIInputEntries(Player* player);
// The input the box shows for a saved name: that name while it is an entry, else Tonvera's
// own (a port that is away does not leave the program deaf).
std::string RestoredInput(const std::string& saved, const std::vector<std::string>& entries);

// The settings of a start mode exactly as a settings dialog made now on this file would show
// them (its Values()), read without making one: the window uses them until the dialog is made.
UserSettings ReadUserSettings(const std::string& settingsFile, const std::string& firstParameter, Player* player);

class TSettings : public QDialog {
    Q_OBJECT
public:
    // settingsFile: full path of "Tonvera.ini"; firstParameter: the program's first
    // command-line parameter ("" for none). player may be null (no sound).
    TSettings(std::string settingsFile, const std::string& firstParameter, Player* player,
              QWidget* parent = nullptr);
    ~TSettings() override;

    QComboBox* MIDIOutDriver = nullptr;
    QCheckBox* ShowGUIhints = nullptr;
    QCheckBox* ConvertDbl = nullptr;
    QCheckBox* DisplayChordColor = nullptr;
    QCheckBox* RememberRootAndChord = nullptr;
    QCheckBox* NameFromLowestNote = nullptr;
    QComboBox* RootPatch = nullptr;
    QSlider* RootVolume = nullptr;
    QComboBox* ChordPatch = nullptr;
    QSlider* ChordVolume = nullptr;
    QSpinBox* ArpegioStaggers = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    // The sound and MIDI rows (SettingsdialogSound.cpp).
    QLabel* DeviceProblem = nullptr;   // why the output device gives no sound, under its box
    QComboBox* MIDIInput = nullptr;
    QCheckBox* PlayIncomingNotes = nullptr;
    QLineEdit* SoundFont = nullptr;    // empty: the synthesizer searches the usual places
    QPushButton* SoundFontButton = nullptr;
    QSpinBox* AudioBuffer = nullptr;   // ms

    void LoadSettings();
    // Throws std::runtime_error ("Cannot write <file>: <reason>") when the file cannot be
    // written; the file then keeps what it held.
    void SaveSettings();
    // OK: saves and closes; when the save fails, says why and stays open.
    void Button1Click();
    void Button2Click();
    void MIDIOutDriverChange();
    // Opens a file dialog for the SoundFont; a chosen file is applied at once.
    void SoundFontButtonClick();
    // The built-in synthesizer opens again with this SoundFont ("" searches), so the dialog
    // can say at once whether it works.
    void SoundFontChosen(const std::string& path);
    // Shows under the device box why the current output device gives no sound, or nothing.
    void ShowDeviceProblem();

    // The values the controls show now.
    UserSettings Values() const;
    SynthOptions SynthChoices() const;

    const std::string& Section() const { return section_; }
    // Delay before a fly-by hint shows, in ms; hints are off while ShowGUIhints is unchecked.
    int HintPause() const { return hintPause_; }
    bool HintsEnabled() const;

signals:
    // The output device was switched, or finished opening, or failed: what the window shows
    // about the sound may have changed.
    void deviceChanged();

protected:
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;
    // Each time the dialog opens, the port lists are read again.
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    void FormClose();
    void buildControls();
    void addSettingRow(QFormLayout* group, const SettingDef& setting);
    void alignRowLabels();
    void applyHintSetting();
    void showSaveError(const std::string& reason);
    QWidget* controlNamed(const char* name) const;
    // sound and MIDI rows (SettingsdialogSound.cpp)
    QGroupBox* buildSoundRows();
    void watchDevice();
    void stopWatchingDevice();
    void fillDeviceLists();
    void restoreDevices(const IniFile& ini);
    void applySynthChoices();

    std::string settingsFile_;
    std::string section_;
    Player* player_;
    int hintPause_ = 400;
    std::shared_ptr<GuiRelay<bool>> deviceNotices_; // the player's device notices, from its timer thread
};
