// Chord playback content and the sound commands.
#include "midi/Tmidicontent.h"

#include "midi/MIDIFileWriter.h"
#include "midi/Player.h"

#include <algorithm>

namespace {

constexpr unsigned kVolumeController = 7;
constexpr unsigned kNoteVelocity = 100;
constexpr uint32_t kNoteTicks = 500;        // 2083 ms at the fixed tempo
constexpr uint32_t kRootNoteTicks = 128;    // 533 ms
constexpr unsigned kFinderNoteVelocity = 80;
constexpr unsigned kFinderNoteMs = 600;
constexpr int kLowestRootNote = 36;         // C2

// An instrument list without a selection gives -1; that plays the first instrument
// rather than masking to program 127 (a gunshot).
uint8_t clampedPatch(int patch) { return patch < 0 ? 0 : static_cast<uint8_t>(patch & 0x7F); }

void addChannelSetup(TMIDIContent& content, uint8_t channel, int volume, int patch)
{
    content.Add(MakeControlChange(0, channel, kVolumeController, static_cast<unsigned>(volume)));
    content.Add(MakeProgramChange(0, channel, clampedPatch(patch)));
}

} // namespace

TMIDIContent::TMIDIContent() : data_(1, 120)
{
    data_.tempos.emplace_back(0, 500000);
    TimeSigEvent fourFour;
    fourFour.SetNumerator(4);
    fourFour.SetDenominator(4);
    data_.timeSignatures.push_back(fourFour);
}

void TMIDIContent::Clear() { data_.Track(0)->Clear(); }

void TMIDIContent::Add(const MIDIEvent& event)
{
    MIDITrackProxy proxy(*data_.Track(0));
    proxy.Append(event);
}

void TMIDIContent::Add(const std::vector<MIDIEvent>& events)
{
    MIDITrackProxy proxy(*data_.Track(0));
    for (const MIDIEvent& event : events)
        proxy.Append(event);
}

bool TMIDIContent::Play(Player* player) { return player && player->Play(data_); }

MIDIEvent MakeControlChange(uint32_t tick, uint8_t channel, unsigned controller, unsigned value)
{
    MIDIEvent event(tick, kControlChange, channel);
    event.SetData1(controller);
    event.SetData2(value);
    return event;
}

MIDIEvent MakeProgramChange(uint32_t tick, uint8_t channel, unsigned program)
{
    MIDIEvent event(tick, kProgramChange, channel);
    event.SetData1(program);
    return event;
}

MIDIEvent MakeNote(uint32_t tick, uint8_t channel, unsigned note, unsigned velocity)
{
    MIDIEvent event(tick, velocity != 0 ? kNoteOn : kNoteOff, channel);
    event.SetData1(note);
    event.SetVelocity(velocity);
    return event;
}

bool ComposeChord(TMIDIContent& content, const ChordToPlay& chord, const PlaybackSettings& settings)
{
    if (chord.notes.empty())
        return false;
    content.Clear();
    addChannelSetup(content, kRootChannel, settings.rootVolume, settings.rootPatch);
    addChannelSetup(content, kChordChannel, settings.chordVolume, settings.chordPatch);
    // 240 ticks per second at the fixed tempo.
    const uint32_t stagger =
        settings.arpeggio ? static_cast<uint32_t>(std::max(0, settings.staggerMs) * 240 * 0.001) : 0;
    uint32_t t = 0;
    unsigned lastNote = 0;
    // Collected and ordered once: ordering the track after every note would cost the square
    // of the chord's size.
    std::vector<MIDIEvent> notes;
    notes.reserve(2 * chord.notes.size() + 2);
    for (size_t i = 0; i < chord.notes.size(); ++i) {
        if (!chord.notes[i])
            continue;
        const bool isRoot = i < chord.labels.size() && !chord.labels[i].empty() && chord.labels[i][0] == 'R';
        const uint8_t channel = isRoot ? kRootChannel : kChordChannel;
        lastNote = static_cast<unsigned>(*chord.notes[i]);
        notes.push_back(MakeNote(t, channel, lastNote, kNoteVelocity));
        notes.push_back(MakeNote(t + kNoteTicks, channel, lastNote, 0));
        t += stagger;
    }
    notes.push_back(MakeNote(t + kNoteTicks, kChordChannel, lastNote, 0));
    notes.push_back(MakeNote(t + kNoteTicks, kRootChannel, lastNote, 0));
    content.Add(notes);
    return true;
}

unsigned PlayedVolume(unsigned value) { return (value * 100 / 120) & 0x7F; }

std::string ChordMIDIFile(const ChordToPlay& chord, const PlaybackSettings& settings, const std::string& name)
{
    TMIDIContent content;
    if (!ComposeChord(content, chord, settings))
        return "";
    for (MIDIEvent& event : content.Data().Track(0)->events)
        if ((event.status & 0xF0) == kControlChange && event.data1 == kVolumeController)
            event.SetData2(PlayedVolume(event.data2));
    return StandardMIDIFileBytes(content.Data(), name);
}

void PlayChord(Player* player, TMIDIContent& content, const ChordToPlay& chord, const PlaybackSettings& settings)
{
    if (ComposeChord(content, chord, settings))
        content.Play(player);
}

void PlayRootNote(Player* player, TMIDIContent& content, int rootPitchClass, const PlaybackSettings& settings)
{
    if (player)
        player->Stop();
    content.Clear();
    addChannelSetup(content, kRootChannel, settings.rootVolume, settings.rootPatch);
    const unsigned note = static_cast<unsigned>(((rootPitchClass % 12) + 12) % 12 + kLowestRootNote);
    content.Add(MakeNote(0, kRootChannel, note, kNoteVelocity));
    content.Add(MakeNote(kRootNoteTicks, kRootChannel, note, 0));
    content.Add(MakeNote(kRootNoteTicks + 1, kRootChannel, note, 0));
    content.Play(player);
}

void SoundFinderNote(Player* player, int note, const PlaybackSettings& settings)
{
    if (!player)
        return;
    const MIDIEvent noteOn = MakeNote(0, kRootChannel, static_cast<unsigned>(note) & 0xFF, kFinderNoteVelocity);
    player->SendEvent(MakeControlChange(0, kRootChannel, kVolumeController, static_cast<unsigned>(settings.rootVolume)));
    player->SendEvent(MakeProgramChange(0, kRootChannel, clampedPatch(settings.rootPatch)));
    player->PlayNoteFor(noteOn, kFinderNoteMs);
}

void SetChordChannelSound(Player* player, const PlaybackSettings& settings)
{
    if (!player)
        return;
    const unsigned volume = PlayedVolume(static_cast<unsigned>(std::max(0, settings.chordVolume)));
    player->SendEvent(MakeControlChange(0, kChordChannel, kVolumeController, volume));
    player->SendEvent(MakeProgramChange(0, kChordChannel, clampedPatch(settings.chordPatch)));
}
