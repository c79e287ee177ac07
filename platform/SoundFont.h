// Finding the built-in synthesizer's SoundFont, and telling from its first bytes whether
// a file is one, so that a wrong file is named in plain words instead of reaching the
// library's loaders.
#pragma once

#include <string>
#include <vector>

// Where to look when nothing was chosen: FluidSynth's default SoundFont, then folders.
struct SoundFontPlaces {
    std::string fluidDefault;         // FluidSynth's synth.default-soundfont; may not exist
    std::vector<std::string> folders; // searched in order for .sf2 and .sf3 files
};

// The system's places: FluidSynth's default, /usr/share/sounds/sf3/, /usr/share/sounds/sf2/
// and /usr/share/soundfonts/.
SoundFontPlaces SystemSoundFontPlaces();

// Either a path or, when there is no usable choice, the reason in plain words.
struct SoundFontChoice {
    std::string path;
    std::string problem;
};

// $TONVERA_SOUNDFONT, else the SoundFont chosen in the settings: an explicit choice is
// taken as it is (a missing file is reported, not replaced). Else the first that exists
// of places.fluidDefault and the files of places.folders (in each folder the well-known
// General MIDI sets first, then the others by name).
SoundFontChoice FindSoundFont(const std::string& chosen, const SoundFontPlaces& places);
SoundFontChoice FindSoundFont(const std::string& chosen = {});
// The path FindSoundFont() finds, empty when none.
std::string FindGeneralMIDISoundFont();

// Empty when the file looks like a SoundFont (a RIFF "sfbk" whose three parts fit in the
// file); otherwise why it does not, in plain words.
std::string SoundFontFileProblem(const std::string& path);

// The plain-words reasons, for the messages that other units compose.
std::string NoSoundFontProblem();
std::string SoundFontLoadProblem(const std::string& path, const std::string& libraryError);
// "sentence: reason." (the reason's own closing full stop dropped), or "sentence." alone.
std::string SentenceWithReason(const std::string& sentence, std::string reason);
