// The held-notes tracker.
#include "midi/HeldNotes.h"

namespace {

constexpr int kSustainController = 64;
constexpr int kAllNotesOffController = 123;

} // namespace

bool HeldNotes::Feed(uint32_t message, double timeMs)
{
    const int status = message & 0xF0;
    const int channel = message & 0x0F;
    const int data1 = message >> 8 & 0x7F;
    const int data2 = message >> 16 & 0x7F;
    switch (status) {
    case 0x90:
        return data2 > 0 ? press({channel, data1}) : release({channel, data1}, timeMs);
    case 0x80:
        return release({channel, data1}, timeMs);
    case 0xB0:
        if (data1 == kSustainController)
            return pedal(channel, data2 >= 64, timeMs);
        if (data1 == kAllNotesOffController)
            return allNotesOff(channel, timeMs);
        return false;
    default:
        return false;
    }
}

std::set<int> HeldNotes::soundingNotes() const
{
    std::set<int> notes;
    for (const Key& key : held_)
        notes.insert(key.second);
    for (const Key& key : sustained_)
        notes.insert(key.second);
    return notes;
}

bool HeldNotes::press(Key key)
{
    if (!Sounding()) {
        ++chordsStarted_;
        marks_.clear();
    }
    held_.insert(key);
    sustained_.erase(key); // struck again: held now, not only kept by the pedal
    releasedChord_.reset();
    std::set<int> sounding = soundingNotes();
    const bool changed = sounding != marks_;
    marks_ = std::move(sounding);
    return changed;
}

bool HeldNotes::release(Key key, double timeMs)
{
    const auto found = held_.find(key);
    if (found == held_.end())
        return false;
    const std::set<int> before = soundingNotes();
    held_.erase(found);
    if (pedalDown_[key.first]) {
        sustained_.insert(key);
        return false;
    }
    return afterRelease(before, timeMs);
}

bool HeldNotes::pedal(int channel, bool down, double timeMs)
{
    pedalDown_[channel] = down;
    if (down)
        return false;
    const std::set<int> before = soundingNotes();
    std::erase_if(sustained_, [&](const Key& key) { return key.first == channel && !held_.count(key); });
    return afterRelease(before, timeMs);
}

bool HeldNotes::allNotesOff(int channel, double timeMs)
{
    const std::set<int> before = soundingNotes();
    std::erase_if(held_, [&](const Key& key) { return key.first == channel; });
    std::erase_if(sustained_, [&](const Key& key) { return key.first == channel; });
    return afterRelease(before, timeMs);
}

bool HeldNotes::afterRelease(const std::set<int>& before, double timeMs)
{
    std::set<int> sounding = soundingNotes();
    if (sounding == before)
        return false;
    if (!releasedChord_ || timeMs - lastReleaseMs_ > kReleaseGapMs)
        releasedChord_ = before;
    lastReleaseMs_ = timeMs;
    std::set<int> marks = sounding.empty() ? *releasedChord_ : std::move(sounding);
    const bool changed = marks != marks_;
    marks_ = std::move(marks);
    return changed;
}
