// Chord playback: the reusable one-track sequence handed to the player, the event makers,
// and the three sound commands of the main window. Used on the GUI thread.
#pragma once

#include "midi/MIDIData.h"

#include <optional>
#include <string>
#include <vector>

class Player;

inline constexpr uint8_t kChordChannel = 0;
inline constexpr uint8_t kRootChannel = 1;

// One track, 120 ticks per quarter, 500000 us per quarter, 4/4. Only the events change.
class TMIDIContent {
public:
    TMIDIContent();
    void Clear();
    void Add(const MIDIEvent& event);
    // Adds the events in one go: the track is put in order once, however many there are.
    void Add(const std::vector<MIDIEvent>& events);
    // player->Play with this sequence; false when there is no player.
    bool Play(Player* player);
    const MIDIData& Data() const { return data_; }
    MIDIData& Data() { return data_; }

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

    bool operator==(const PlaybackSettings&) const = default;
};

// The chord the window chose to play: a variation or the current chord, as sounding notes.
struct ChordToPlay {
    std::vector<std::optional<int>> notes; // MIDI note of each tone; none for a string not played
    std::vector<std::string> labels;       // degree label of each tone ("R" goes to the root channel)
};

// Fills content with what PlayChord plays for chord: the channels' volumes and programs, then
// the notes as a block chord or an arpeggio. False, leaving content alone, when there are no notes.
bool ComposeChord(TMIDIContent& content, const ChordToPlay& chord, const PlaybackSettings& settings);

// The volume a device receives for a volume controller value of a sequence: the player scales
// the settings' 0-120 range onto 0-100.
unsigned PlayedVolume(unsigned value);

// What PlayChord plays for chord as the bytes of a Standard MIDI File named name, with the
// volumes the device would receive; "" when the chord has no notes.
std::string ChordMIDIFile(const ChordToPlay& chord, const PlaybackSettings& settings, const std::string& name);

// Each function plays through player (the program's one Player); a null player plays nothing.
// Plays the chord as a block chord or an arpeggio; does nothing when it has no notes.
void PlayChord(Player* player, TMIDIContent& content, const ChordToPlay& chord, const PlaybackSettings& settings);
// Plays the root (pitch class 0-11) alone, two octaves below middle C.
void PlayRootNote(Player* player, TMIDIContent& content, int rootPitchClass, const PlaybackSettings& settings);
// Sounds one MIDI note at once for 600 ms, without stopping what plays.
void SoundFinderNote(Player* player, int note, const PlaybackSettings& settings);
// Gives the chord channel the settings' chord instrument and the volume a played chord gets,
// for notes sent straight to the device.
void SetChordChannelSound(Player* player, const PlaybackSettings& settings);
