// The program's windows, made in their start-up order, and the report of a failed start.
// Called on the GUI thread.
#pragma once

#include "app/Tmainform.h"
#include "dialogs/Settingsdialog.h"
#include "dialogs/Tsplashscreen.h"
#include "platform/BackgroundOpener.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>

struct ProgramWindows {
    std::unique_ptr<TMainForm> main;
    std::unique_ptr<TSplashScreen> about;
    std::unique_ptr<TSettings> settings;
};

// The program's player on these devices. The settings' choices for the built-in synthesizer
// go to the devices first, so it opens once, with them.
std::unique_ptr<Player> MakeProgramPlayer(std::shared_ptr<MIDIDeviceList> devices, const std::string& settingsFile,
                                          const std::string& firstParameter);

// How long the program holds back what follows the window's first paint (the sound, the
// dialogs), at most: the first paint comes long before on any working machine.
inline constexpr std::chrono::milliseconds kSoundHoldAtStart{1000};

// The program's player on the system's devices, as the program starts: the slow openings
// (the built-in synthesizer, the first JACK connection) wait until hold is released, once
// the window has painted, or until kSoundHoldAtStart has passed. A note asked for
// meanwhile plays when the synthesizer is ready.
struct ProgramSound {
    std::unique_ptr<BackgroundHold> hold;
    std::unique_ptr<Player> player;
};
ProgramSound MakeProgramSound(const std::string& settingsFile, const std::string& firstParameter);


// Runs then once, on the turn of the event loop after the window's first expose, which paints
// it, or after atMost when the window has not been exposed by then. The window must have been
// shown.
void AfterFirstPaint(QWidget& window, std::function<void()> then,
                     std::chrono::milliseconds atMost = kSoundHoldAtStart);

// The main window, with its creation step. Throws what the creation step throws.
ProgramWindows CreateProgramWindows(const MainFormSetup& setup);

// The about window and the settings dialog (which loads the settings the creation step may
// just have written), handed to the main window. The program makes them once the window has
// painted: until then the window reads the same settings from the file.
void AddDialogs(ProgramWindows& windows, const MainFormSetup& setup);

// The text a failed start shows: "General error: \n" and the error's message.
std::string StartupFailureText(const std::string& message);

// Beeps, prints the text on standard error, shows it in a message box and returns the
// program's exit status, 1.
int ReportStartupFailure(const std::string& message);
