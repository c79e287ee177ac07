// The program folder (where the executable, its data files and pics/ live) and the place of
// the settings file: beside the program for a portable copy, else in the user's config folder.
#pragma once

#include <functional>
#include <string>

// Full path of the running executable, from /proc/self/exe; "" when it cannot be read.
std::string ExecutablePath();

// Folder of the running executable, without a trailing slash; "" when unknown.
std::string ExecutableFolder();

// Whether the current user may create files in folder.
bool IsWritableFolder(const std::string& folder);

// The per-user folder for Tonvera's settings: $XDG_CONFIG_HOME/tonvera when that variable holds an
// absolute path, else $HOME/.config/tonvera. Not created here.
std::string UserConfigFolder();

// A program folder holding this file keeps its settings beside the program, as with --portable.
// The build tree has one; an installation has none.
inline constexpr const char* PortableMarkerName = "Tonvera.portable";

// Where "Tonvera.ini" lives: beside the program for a portable copy (started with --portable, or
// its folder holds the marker) whose folder is writable; else in UserConfigFolder(), which is
// created when missing, so an installed copy keeps its settings per user and they are never
// silently lost. The second form takes the writability test, so both branches can be tried
// whoever runs the program.
std::string SettingsFilePath(const std::string& programDir, bool portable);
std::string SettingsFilePath(const std::string& programDir, bool portable,
                             const std::function<bool(const std::string&)>& isWritable);

// Gets the settings file ready at start-up: removes what crashed saves left beside it, makes
// it from firstRunText when it does not exist yet (nothing is made when that text is empty),
// and checks that it can be saved. Returns "" when it can, else why not ("Cannot write
// <file>: <reason>"). Never throws: without a place to save, the program runs on its defaults.
std::string PrepareSettingsFile(const std::string& settingsFile, const std::string& firstRunText);
