// What the JACK tests of the device list and of the window share: the device table of a
// program whose chosen output is a recorder with JACK behind it, and the note-ons among
// packed short messages.
#pragma once

#include "platform/BackgroundOpener.h"
#include "platform/MIDIBackEnd.h"
#include "platform/MIDIOut.h"
#include "platform/RecordingMIDIOut.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <memory>
#include <vector>

constexpr int kJackWaitMs = 10000; // generous: ThreadSanitizer makes every client slow

// A recorder as the chosen device, and JACK behind it, as in the program with another
// device chosen.
struct RecorderAndJack {
    std::shared_ptr<BackgroundOpener> opener = std::make_shared<BackgroundOpener>();
    std::shared_ptr<RecordingBackEnd> recorder = std::make_shared<RecordingBackEnd>(1);
    std::shared_ptr<MIDIDeviceList> devices = std::make_shared<MIDIDeviceList>(
        std::vector<std::shared_ptr<MIDIBackEnd>>{recorder, MakeJackBackEnd(opener)}, opener);
};

inline std::vector<uint32_t> NoteOns(const std::vector<uint32_t>& messages)
{
    std::vector<uint32_t> found;
    std::copy_if(messages.begin(), messages.end(), std::back_inserter(found),
                 [](uint32_t m) { return IsNoteOn(m); });
    return found;
}
