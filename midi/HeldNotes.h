// Which notes a MIDI keyboard player holds, sustain pedal included, turned into the marks
// that the reverse finder shows: the marks follow the sounding keys, and when every key is
// up they keep the chord as it was held, until the next note starts a new chord.
// Pure logic for the GUI thread: the window feeds it the messages that the MIDI input
// delivers.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <utility>

class HeldNotes {
public:
    // Releases closer together than this count as letting go of one chord: its marks stay
    // whole although the fingers leave the keys one after the other.
    static constexpr double kReleaseGapMs = 200;

    // Feeds one packed short message (note-on, note-off, controller 64 sustain or 123 all
    // notes off; anything else is ignored) that arrived at timeMs. True when Marks changed.
    bool Feed(uint32_t message, double timeMs);

    // MIDI notes to mark.
    const std::set<int>& Marks() const { return marks_; }
    // Whether any note sounds (held, or kept by the pedal).
    bool Sounding() const { return !held_.empty() || !sustained_.empty(); }
    // How many chords have started: a note-on while nothing sounded starts one.
    unsigned ChordsStarted() const { return chordsStarted_; }

private:
    using Key = std::pair<int, int>; // channel, note

    bool press(Key key);
    bool release(Key key, double timeMs);
    bool pedal(int channel, bool down, double timeMs);
    bool allNotesOff(int channel, double timeMs);
    std::set<int> soundingNotes() const;
    // The sounding set shrank: the marks follow it, or keep the released chord.
    bool afterRelease(const std::set<int>& before, double timeMs);

    std::multiset<Key> held_;
    std::set<Key> sustained_;
    std::array<bool, 16> pedalDown_{};
    std::set<int> marks_;
    std::optional<std::set<int>> releasedChord_; // what sounded when the current release began
    double lastReleaseMs_ = 0;
    unsigned chordsStarted_ = 0;
};
