// The settings dialog and, for the whole run, the holder of the user's settings: other
// code asks it for their current values (Values) when it needs them.
// Called on the GUI thread.
#pragma once

#include "midi/Tmidicontent.h"

#include <QDialog>
#include <string>
#include <vector>

class Player;
class QCheckBox;
class QComboBox;
class QFormLayout;
class QPushButton;
class QSlider;
class QSpinBox;

// "Settings" for a plain start, "Settings_guitar" for a start with the parameter guitar:
// each start mode keeps its own section.
std::string StartModeSection(const std::string& base, const std::string& firstParameter);

// The 128 General MIDI instrument names, index = program number.
extern const char* const GeneralMIDIInstrumentNames[128];

// How a setting is shown: each kind is one kind of row in the dialog.
enum class SettingKind {
    CheckBox,         // a check box with the caption as its text; 1 or 0
    DeviceList,       // the MIDI output devices; the device's index
    InstrumentList,   // the 128 General MIDI instruments; the program number
    Volume,           // a slider 0 to 120 with its value beside it
    Milliseconds,     // a number field 0 to 1000 followed by "ms"
};

// One key of the settings section: its name, the control that shows it (its object name),
// its default, and the row that shows it: the kind of control, the titled group it sits in
// and its caption. The table lists the keys in the order they are saved; the dialog shows
// the groups in the order of SettingGroups and each group's rows in table order. A new
// setting is one more row here (and a new kind of control one more case where the dialog
// makes its controls).
struct SettingDef {
    const char* key;
    const char* control;
    int defaultValue;
    SettingKind kind;
    const char* group;
    const char* caption;
};
extern const std::vector<SettingDef> SettingsTable;
// The dialog's groups, top to bottom; a group not listed here follows them.
extern const std::vector<const char*> SettingGroups;

// The current settings as the main window uses them; the defaults stand for a run without
// a settings dialog.
struct UserSettings {
    bool convertDbl = false;            // "convert double accidentals"
    bool displayChordColor = false;     // draw tones in their degree colours
    bool rememberRootAndChord = true;   // restore the last chord at start
    bool nameFromLowestNote = false;    // the finder names chords from the lowest marked note
    PlaybackSettings playback;          // instruments, volumes and arpeggio stagger (arpeggio itself is
                                        // the window's button)
};

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

    void LoadSettings();
    // Throws std::runtime_error ("Cannot write <file>: <reason>") when the file cannot be
    // written; the file then keeps what it held.
    void SaveSettings();
    // OK: saves and closes; when the save fails, says why and stays open.
    void Button1Click();
    void Button2Click();
    void MIDIOutDriverChange();

    // The values the controls show now.
    UserSettings Values() const;

    const std::string& Section() const { return section_; }
    // Delay before a fly-by hint shows, in ms; hints are off while ShowGUIhints is unchecked.
    int HintPause() const { return hintPause_; }
    bool HintsEnabled() const;

protected:
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void FormClose();
    void buildControls();
    void addSettingRow(QFormLayout* group, const SettingDef& setting);
    void alignRowLabels();
    void applyHintSetting();
    void showSaveError(const std::string& reason);
    QWidget* controlNamed(const char* name) const;

    std::string settingsFile_;
    std::string section_;
    Player* player_;
    int hintPause_ = 400;
};
