// Chord playback: the reusable one-track sequence handed to the player, the event makers,
// and the three sound commands of the main window. Used on the GUI thread.
#pragma once

#include "midi/MIDIData.h"

#include <array>
#include <string>
#include <vector>

// Open-string notes of the guitar, string 0 = low E.
inline constexpr std::array<int, 6> kGuitarOpenStringNotes = {40, 45, 50, 55, 59, 64};

inline constexpr uint8_t kChordChannel = 0;
inline constexpr uint8_t kRootChannel = 1;

// One track, 120 ticks per quarter, 500000 us per quarter, 4/4. Only the events change.
class TMIDIContent {
public:
    TMIDIContent();
    void Clear();
    void Add(const MIDIEvent& event);
    // _player->Play with this sequence; false when there is no player.
    bool Play();
    const MIDIData& Data() const { return data_; }

private:
    MIDIData data_;
};

MIDIEvent MakeControlChange(uint32_t tick, uint8_t channel, unsigned controller, unsigned value);
MIDIEvent MakeProgramChange(uint32_t tick, uint8_t channel, unsigned program);
// Velocity 0 makes a note-off.
MIDIEvent MakeNote(uint32_t tick, uint8_t channel, unsigned note, unsigned velocity);

// What the settings dialog holds, read at the moment of playing.
struct PlaybackSettings {
    int rootPatch = 0;     // General MIDI program 0-127; -1 (no selection) plays program 0
    int chordPatch = 0;
    int rootVolume = 100;  // 0-120
    int chordVolume = 100; // 0-120
    bool arpeggio = false; // the main window's Arpeggio button is down
    int staggerMs = 50;    // 0-1000
};

// The chord the window chose to play: a variation or the current chord.
struct ChordToPlay {
    std::vector<int> notes;          // 0xFFFF = unplayed string
    std::vector<std::string> labels; // degree label of each note ("R" goes to the root channel)
    bool guitarVariation = false;    // notes are frets of the strings, not MIDI notes
};

inline constexpr int kUnplayedString = 0xFFFF;

// Plays the chord as a block chord or an arpeggio; does nothing when it has no notes.
void PlayChord(TMIDIContent& content, const ChordToPlay& chord, const PlaybackSettings& settings);
// Plays the root (pitch class 0-11) alone, two octaves below middle C.
void PlayRootNote(TMIDIContent& content, int rootPitchClass, const PlaybackSettings& settings);
// Sounds one MIDI note at once for 600 ms, without stopping what plays.
void SoundFinderNote(int note, const PlaybackSettings& settings);
