// The fixed geometry the skin is drawn for: where the window places each control,
// the root and chord-type button positions and the marker centres of the
// keyboard and fretboard. Shared by the picture generator and the preview.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace skin {

struct Rect {
    int x, y, w, h;
};

struct RootPlace {
    const char* name;
    int x, y;
};

// The 17 roots of the root column, highest first, with their centres.
inline constexpr std::array<RootPlace, 17> roots{{
    {"B", 106, 85}, {"Bb", 37, 103}, {"A#", 73, 103}, {"A", 106, 140}, {"Ab", 37, 166}, {"G#", 73, 166},
    {"G", 106, 194}, {"Gb", 37, 229}, {"F#", 73, 229}, {"F", 106, 250}, {"E", 106, 305}, {"Eb", 37, 327},
    {"D#", 73, 327}, {"D", 106, 359}, {"Db", 37, 393}, {"C#", 73, 393}, {"C", 106, 415},
}};

struct ChordTypeButton {
    const char* name;
    int x, y;
    bool list;
};

// The chord-type buttons on the chord-type column, in tab order.
inline constexpr std::array<ChordTypeButton, 23> chordTypeButtons{{
    {"maj", 16, 79, false},    {"maj6", 16, 97, false},  {"maj7", 16, 115, false},    {"maj69", 16, 133, false},
    {"maj9", 16, 151, false},  {"2", 88, 79, false},     {"5", 88, 97, false},        {"majList", 88, 115, true},
    {"m", 16, 191, false},     {"m7", 16, 209, false},   {"m6", 16, 227, false},      {"m9", 16, 245, false},
    {"mMaj7", 16, 263, false}, {"m7b5", 88, 191, false}, {"dim7", 88, 209, false},    {"minList", 88, 227, true},
    {"7", 16, 303, false},     {"9", 16, 321, false},    {"13", 16, 339, false},      {"7b9", 16, 357, false},
    {"sus", 16, 375, false},   {"7sus", 88, 303, false}, {"domList", 88, 321, true},
}};
inline constexpr int chordButtonWidth = 66;
inline constexpr int listButtonWidth = 85;
inline constexpr int chordButtonHeight = 17;
// A list button's drop-down arrow takes its rightmost 19 pixels.
inline constexpr int listArrowLeft = 66;
// Where a list button's text starts (its text margin).
inline constexpr int listTextLeft = 20;

// Marker centres on the instrument pictures.
inline constexpr std::array<int, 6> stringY{141, 116, 92, 66, 42, 18};
inline constexpr std::array<int, 16> fretX{39, 104, 208, 300, 384, 462, 535, 599, 659, 717, 769, 817, 862, 903, 941, 977};
inline constexpr std::array<int, 48> keyX{34,  49,  70,  90,  104, 139, 153, 175, 192, 209, 232, 244,
                                          278, 294, 315, 336, 349, 384, 399, 420, 437, 455, 477, 490,
                                          524, 540, 559, 581, 595, 630, 644, 665, 683, 699, 723, 735,
                                          769, 786, 804, 827, 839, 875, 889, 910, 928, 945, 968, 980};
inline constexpr int lowestKey = 36;
inline constexpr int whiteKeyY = 150;
inline constexpr int blackKeyY = 90;
inline bool isBlackKey(int midiNote)
{
    const int pc = midiNote % 12;
    return pc == 1 || pc == 3 || pc == 6 || pc == 8 || pc == 10;
}

// Panels of the window (relative to the 1016 x 710 window panel).
inline constexpr Rect topPanel{0, 0, 1016, 65};
inline constexpr Rect leftPanel{0, 65, 132, 452};
inline constexpr Rect centerPanel{132, 65, 190, 452};
inline constexpr Rect rightPanel{322, 65, 694, 452};
inline constexpr Rect bottomPanel{0, 517, 1016, 193};

// A state-picture button: its file stem, place on its panel and size.
struct StateButton {
    const char* stem;
    Rect place;
    bool hasPressed;
};

// Buttons on the top bar.
inline constexpr std::array<StateButton, 9> topButtons{{
    {"Tonvera", {10, 14, 188, 34}, false},
    {"NXLogo", {886, 7, 127, 55}, false},
    {"Chord", {263, 17, 60, 31}, true},
    {"Arpeggio", {323, 17, 81, 31}, true},
    {"NoteNames", {489, 17, 92, 31}, true},
    {"ScaleDegrees", {581, 17, 113, 31}, true},
    {"Speaker", {714, 17, 38, 31}, true},
    {"Settings", {752, 17, 75, 31}, true},
    {"Help", {827, 17, 43, 31}, true},
}};

// Buttons on the chord-type column.
inline constexpr Rect folkButton{8, 19, 47, 19};
inline constexpr Rect popButton{56, 19, 75, 19};
inline constexpr Rect jazzButton{132, 19, 49, 19};
inline constexpr Rect categoryFilter{8, 19, 173, 19};
inline constexpr Rect reverseFinder{16, 418, 157, 19};
inline constexpr int reverseFinderTextLeft = 20;

// On the play area.
inline constexpr Rect playChordButton{8, 19, 669, 172};
inline constexpr Rect thisChordContains{8, 203, 171, 49};
inline constexpr Rect chordInfo{179, 205, 495, 45};
inline constexpr Rect variationList{8, 270, 666, 169};

inline constexpr int aboutWidth = 376;
inline constexpr int aboutHeight = 238;

} // namespace skin
