// What the live MIDI tests share: a fixture folder whose finder names C E G A and A C E G
// from their lowest note (the voicings of maj6 and m7, the setting on, as shipped), the
// messages a keyboard plays, and what the window shows of them.
#pragma once

#include "WindowFixture.h"

#include <QListWidget>

#include <set>
#include <string>

inline uint32_t NoteOnMessage(int note, int velocity = 100) { return 0x90u | note << 8 | velocity << 16; }
inline uint32_t NoteOffMessage(int note) { return 0x80u | note << 8; }

inline FixtureFiles LiveMIDIFiles()
{
    FixtureFiles files;
    files.definitions = "[Settings]\n"
                        "NameFromLowestNote=1\n"
                        "[SettingsScr]\n"
                        "SelectedRoot=16\n"
                        "[Hints]\n"
                        "SpeakerButton=Open the volume control\n";
    return files;
}

// Call before Start.
inline void WriteLiveMIDIVoicings(const WindowFixture& fixture)
{
    fixture.WriteFile("pianochords.def", "[Basic]\n"
                                         "C,maj,0,48,52,55\n"
                                         "C,maj6,0,48,52,55,57\n"
                                         "C,m7,0,48,51,55,58\n");
}

inline std::string FirstResult(TMainForm& form)
{
    const QListWidget* list = form.Controls().List;
    return list->count() > 0 ? list->item(0)->text().toStdString() : std::string();
}

inline std::set<int> MarkCodes(const TMainForm& form)
{
    std::set<int> codes;
    for (const auto& [code, label] : form.FinderMarks)
        codes.insert(code);
    return codes;
}
