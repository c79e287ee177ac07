// A temporary installation for window tests: small definition files, plain pictures
// of the skin's names and sizes, a recording MIDI device behind the player, and the
// program's windows built on it.
#pragma once

#include "app/Startup.h"
#include "midi/Player.h"
#include "midi/Tmidicontent.h"
#include "platform/RecordingMIDIOut.h"

#include <QTemporaryDir>
#include <QColor>

#include <memory>
#include <optional>
#include <string>
#include <vector>

// What the fixture folder holds; tests switch parts off to show failures.
struct FixtureFiles {
    bool marker = true;
    bool piano = true;
    bool guitar = true;
    std::optional<std::string> chords;   // none = the default chords.def; "" writes an empty one
    std::string definitions;             // "" = the default Tonvera.def; "-" = none
    bool ownPorts = false;               // the recorder offers an own output and input port
};

// The instrument picture is one flat colour, so marker pixels stand out.
inline const QColor kInstrumentGround(40, 40, 40);

class WindowFixture {
public:
    explicit WindowFixture(const FixtureFiles& files = {});
    ~WindowFixture();

    std::string Folder() const;
    // "Tonvera.ini" in the folder, unless a test moved it elsewhere.
    std::string SettingsFile() const { return settingsFile_.empty() ? Folder() + "/Tonvera.ini" : settingsFile_; }
    void UseSettingsFile(std::string path) { settingsFile_ = std::move(path); }
    void WriteFile(const std::string& name, const std::string& text) const;
    std::string ReadFile(const std::string& name) const;

    // Builds the windows with this first parameter (throws what start-up throws) and
    // shows the main window, which runs the first-show restore.
    TMainForm& Start(const std::string& firstParameter = "");
    // Before Start: the player plays to these devices instead of the recorder (as the program
    // makes it: the settings' synthesizer choices first).
    void UseDevices(std::shared_ptr<MIDIDeviceList> devices);
    // Closes the main window (saving its state) and destroys the windows.
    void Close();

    TMainForm& Form() { return *windows_.main; }
    TSettings& Settings() { return *windows_.settings; }
    TSplashScreen& About() { return *windows_.about; }

    // Messages recorded since the last clear, waiting up to timeoutMs for at least count.
    std::vector<uint32_t> Messages(size_t count = 0, int timeoutMs = 3000);
    // The note-on messages among them as (channel, note).
    std::vector<std::pair<int, int>> NoteOns(size_t count, int timeoutMs = 3000);
    void ClearMessages();

    std::shared_ptr<RecordingMIDIDevices> Devices;
    std::unique_ptr<Player> ThePlayer;
    TMIDIContent Content;

private:
    QTemporaryDir dir_;
    std::string settingsFile_;
    ProgramWindows windows_;
};

// The chord-type button with this component name ("T_maj", "majList"), or null.
TNXPanel* button(TMainForm& form, const char* name);
// Presses a skinned control or canvas at (x, y) with the given button.
void PressAt(QWidget* widget, int x, int y, Qt::MouseButton button = Qt::LeftButton);
// The text of the newest error box the window shows, "" when it shows none.
std::string ShownError(const QWidget& form);
// The menu's visible actions' captions (columns included).
std::vector<std::string> MenuCaptions(const QMenu* menu);
// Triggers the menu's action with this caption; false when there is none.
bool ChooseFromMenu(QMenu* menu, const std::string& caption);
