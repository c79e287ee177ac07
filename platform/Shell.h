// What the desktop shell does for the program: the help file's name and starting the system's
// volume control. No Qt here; opening the help page itself is the dialogs' job.
#pragma once

#include <string>
#include <vector>

// The help page's file name for the program at exePath (a full path or a bare name): the program's
// file name lower-cased, with its first ".exe" replaced by ".chm" when it has one, else with ".html"
// appended. Only the name is used, because Linux folder names are case-sensitive:
// "Setup.EXE.exe" gives "setup.chm.exe", "/opt/tonvera/tonvera" gives "tonvera.html".
std::string HelpFileName(const std::string& exePath);

// Starts the first of programs (searched on PATH) that starts, detached from this process, with no
// arguments. Returns the index of the one started, or -1 when none did.
// Called on the GUI thread; a detached thread reaps the child when it ends.
int StartFirstProgram(const std::vector<std::string>& programs);

// Opens the system volume control: pavucontrol, else pavucontrol-qt; silently nothing when neither
// starts.
void StartVolumeControl();
