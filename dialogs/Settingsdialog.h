// The settings dialog and, for the whole run, the holder of the user's settings: other
// code asks it for their current values (Values) when it needs them.
// Called on the GUI thread.
#pragma once

#include "midi/Tmidicontent.h"

#include <QDialog>
#include <string>

class Player;
class QCheckBox;
class QComboBox;
class QPushButton;
class QSlider;
class QSpinBox;

// "Settings" for a plain start, "Settings_guitar" for a start with the parameter guitar:
// each start mode keeps its own section.
std::string StartModeSection(const std::string& base, const std::string& firstParameter);

// The 128 General MIDI instrument names, index = program number.
extern const char* const GeneralMIDIInstrumentNames[128];

// One key of the settings section: its name, the control that shows it and its default.
// The table lists them in the order they are saved.
struct SettingDef {
    const char* key;
    const char* control;
    int defaultValue;
};
extern const SettingDef SettingsTable[11];

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
    void fitCheckBoxesToTheirTexts();
    void applyHintSetting();
    void showSaveError(const std::string& reason);
    QWidget* controlNamed(const char* name) const;

    std::string settingsFile_;
    std::string section_;
    Player* player_;
    int hintPause_ = 400;
};
