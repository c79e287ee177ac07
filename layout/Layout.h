// Every fixed position and size of the main window and its skin, as plain constants: the
// panels and controls, the chord-type buttons, the root centres, the marker centres of the
// keyboard and the fretboard, marker and picture sizes. The window, the skin generator and
// its preview, the data checker and the tests all read this one table. No Qt, links nothing.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace layout {

struct Point {
    int x = 0;
    int y = 0;
};

// A control's place relative to its parent; right and bottom are exclusive.
struct Rect {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
    constexpr int Right() const { return x + w; }
    constexpr int Bottom() const { return y + h; }
};

// A child rectangle moved from its parent's coordinates into the grandparent's.
constexpr Rect Within(const Rect& parent, const Rect& child)
{
    return {parent.x + child.x, parent.y + child.y, child.w, child.h};
}

// A canvas that fills its panel.
constexpr Rect Filling(const Rect& panel)
{
    return {0, 0, panel.w, panel.h};
}

// ---- The window tree: each panel relative to its parent.

// The form's client size before it is maximised.
inline constexpr int DesignedClientWidth = 1046;
inline constexpr int DesignedClientHeight = 717;
// The whole composition; centred in the client area at run time.
inline constexpr Rect GlobalPanel{0, 0, 1016, 710};
inline constexpr Rect TopPanel{0, 0, GlobalPanel.w, 65};
inline constexpr Rect BackPanel{0, TopPanel.Bottom(), GlobalPanel.w, 452};
inline constexpr Rect BottomPanel{0, BackPanel.Bottom(), GlobalPanel.w, GlobalPanel.h - BackPanel.Bottom()};
// The three columns of BackPanel: roots, chord types, the play area.
inline constexpr Rect LeftPanel{0, 0, 132, BackPanel.h};
inline constexpr Rect CenterPanel{LeftPanel.Right(), 0, 190, BackPanel.h};
inline constexpr Rect RightPanel{CenterPanel.Right(), 0, BackPanel.w - CenterPanel.Right(), BackPanel.h};
// The focus frame around the chord-type buttons, on CenterPanel.
inline constexpr Rect CenterSpot{8, 60, 170, 378};

// ---- Pictures: a file of the pics folder and the size it is drawn for.

struct Picture {
    std::string_view file;
    int w = 0;
    int h = 0;
};

inline constexpr Picture TopAreaPicture{"ControllsArea.png", TopPanel.w, TopPanel.h};
inline constexpr Picture ChordTypeAreaPicture{"TypeChordsArea.png", CenterPanel.w, CenterPanel.h};
// Drawn over the chord-type area on the piano, where one category field replaces three buttons.
inline constexpr Picture PianoChordTypeAreaPicture{"TypeChordsAreaFree.png", CenterPanel.w, CenterPanel.h};
inline constexpr Picture RootAreaPicture{"RootArea.png", LeftPanel.w, LeftPanel.h};
// The glow behind the selected root, with an alpha channel; drawn centred on the root.
inline constexpr Picture RootSpotPicture{"Spot01.png", 40, 40};
inline constexpr Picture KeyboardPicture{"KeyboardArea.png", BottomPanel.w, BottomPanel.h};
inline constexpr Picture FretboardPicture{"FretboardArea.png", BottomPanel.w, BottomPanel.h};
inline constexpr Picture PlayAreaPicture{"PlayChordArea.png", RightPanel.w, RightPanel.h};
// The about window's picture.
inline constexpr Picture AboutPicture{"About.png", 376, 238};

// ---- Skinned picture buttons (TNXPanel).

// A skinned button: its component name, the stem of its pictures (stem + "Initial.png",
// "Mouse.png" and "Pressed.png"), its place on its panel, and whether the pressed picture
// shows while the mouse is down and while the button is checked.
struct SkinButton {
    std::string_view name;
    std::string_view stem;
    Rect place;
    bool pressedLook = true;
    bool checkedLook = true;
};

constexpr bool HasPressedPicture(const SkinButton& button)
{
    return button.pressedLook || button.checkedLook;
}

// On TopPanel.
inline constexpr SkinButton TonveraPanel{"TonveraPanel", "Tonvera", {10, 14, 188, 34}, false, false};
inline constexpr SkinButton NXLogo{"NXLogo", "NXLogo", {886, 7, 127, 55}, false, false};
inline constexpr SkinButton ChordButton{"ChordButton", "Chord", {263, 17, 60, 31}};
inline constexpr SkinButton ArpeggioButton{"ArpeggioButton", "Arpeggio", {323, 17, 81, 31}};
inline constexpr SkinButton NoteNamesButton{"NoteNamesButton", "NoteNames", {489, 17, 92, 31}};
inline constexpr SkinButton ScaleDegreesButton{"ScaleDegreesButton", "ScaleDegrees", {581, 17, 113, 31}};
inline constexpr SkinButton SpeakerButton{"SpeakerButton", "Speaker", {714, 17, 38, 31}, true, false};
inline constexpr SkinButton SettingsButton{"SettingsButton", "Settings", {752, 17, 75, 31}, true, false};
inline constexpr SkinButton HelpButton{"HelpButton", "Help", {827, 17, 43, 31}, true, false};
inline constexpr std::array TopBarButtons{TonveraPanel,    NXLogo,        ChordButton,    ArpeggioButton, NoteNamesButton,
                                          ScaleDegreesButton, SpeakerButton, SettingsButton, HelpButton};

// On CenterPanel: the guitar's three category buttons, or the piano's category field in
// their place, and the reverse-finder switch under the chord-type buttons.
inline constexpr SkinButton FolkButton{"FolkButton", "Folk", {8, 19, 47, 19}};
inline constexpr SkinButton PopButton{"PopButton", "Pop", {56, 19, 75, 19}};
inline constexpr SkinButton JazzButton{"JazzButton", "Jazz", {132, 19, 49, 19}};
inline constexpr SkinButton CategoryFilter{"CategoryFilter", "Key", {8, 19, 173, 19}};
inline constexpr SkinButton ReverseFinder{"ReverseFinder", "ReverseChordFinder", {16, 418, 157, 19}};
// Where the reverse finder's mode name starts (its text margin).
inline constexpr int ReverseFinderTextLeft = 20;
// A press this close to the reverse finder's right end opens its mode menu (while it is on);
// the skin marks the end with a drop-down arrow as wide as the category field's.
inline constexpr int ReverseFinderMenuZone = 40;
// Headings in the skin sit this far above the first row of what they head (the groups of
// chord-type buttons, the reverse finder).
inline constexpr int HeadingRise = 6;
// The width of the category field's drop-down arrow, at its right end.
inline constexpr int CategoryArrowWidth = 19;

// On RightPanel.
inline constexpr SkinButton ThisChordContainsButton{"ThisChordContainsButton", "ThisChordContains", {8, 203, 171, 49}};

inline constexpr std::array OtherSkinButtons{FolkButton, PopButton, JazzButton, CategoryFilter, ReverseFinder,
                                             ThisChordContainsButton};

// ---- The play area, on RightPanel.

// A press on the display plays the chord; the root and chord-type labels sit on it.
inline constexpr Rect PlayChordButton{8, 19, 669, 172};
inline constexpr Picture PlayChordPicture{"PlayChordInitial.png", PlayChordButton.w, PlayChordButton.h};
// The root label starts this far into the display; the chord-type label follows this far after it.
inline constexpr int RootLabelIndent = 16;
inline constexpr int ChordLabelGap = 8;
// The chord's degrees and note names, right of ThisChordContainsButton up to x 674.
inline constexpr int ChordInfoRight = 674;
inline constexpr Rect ChordInfoImage{ThisChordContainsButton.place.Right(), ThisChordContainsButton.place.y + 2,
                                     ChordInfoRight - ThisChordContainsButton.place.Right(),
                                     ThisChordContainsButton.place.h - 4};
// The variation list (the window's List box) and the height of one line.
inline constexpr Rect VariationList{8, 270, 666, 169};
inline constexpr int ListItemHeight = 22;

// ---- The chord-type buttons, on CenterPanel.

// One chord-type button. Its pictures are named after it; its component name is the name
// for a list button and "T_" + name for any other.
struct ChordTypeButton {
    std::string_view name;   // the chord type, or for a list button its chord list (a key of chords.def's lists)
    int column;              // 0 left, 1 right
    int row;                 // from the top of its group
    int group;               // 2 major, 3 minor, 4 dominant: the button's Tag
    bool isList;             // its right end opens a drop-down of further chord types
};

inline constexpr int PlainButtonWidth = 66;
inline constexpr int ListButtonWidth = 85;
inline constexpr int ChordTypeButtonHeight = 17;
// A press at x >= ListArrowLeft on a list button opens its drop-down (its rightmost 19 pixels).
inline constexpr int ListArrowLeft = PlainButtonWidth;
// Where a list button's text starts (its text margin).
inline constexpr int ListTextLeft = 20;

inline constexpr std::array<int, 2> ChordTypeColumnLeft{16, 88};
inline constexpr int ChordTypeRowPitch = 18;
inline constexpr int FirstChordTypeGroup = 2;
// The top of each group's first row: major, minor, dominant.
inline constexpr std::array<int, 3> ChordTypeGroupTop{79, 191, 303};

// In tab order. A new button is one row here, plus its chord type in chords.def.
inline constexpr std::array ChordTypeButtons = std::to_array<ChordTypeButton>({
    {"maj", 0, 0, 2, false},   {"maj6", 0, 1, 2, false},  {"maj7", 0, 2, 2, false},
    {"maj69", 0, 3, 2, false}, {"maj9", 0, 4, 2, false},  {"2", 1, 0, 2, false},
    {"5", 1, 1, 2, false},     {"majList", 1, 2, 2, true},
    {"m", 0, 0, 3, false},     {"m7", 0, 1, 3, false},    {"m6", 0, 2, 3, false},
    {"m9", 0, 3, 3, false},    {"mMaj7", 0, 4, 3, false}, {"m7b5", 1, 0, 3, false},
    {"dim7", 1, 1, 3, false},  {"minList", 1, 2, 3, true},
    {"7", 0, 0, 4, false},     {"9", 0, 1, 4, false},     {"13", 0, 2, 4, false},
    {"7b9", 0, 3, 4, false},   {"sus", 0, 4, 4, false},   {"7sus", 1, 0, 4, false},
    {"domList", 1, 1, 4, true},
});

constexpr Rect Place(const ChordTypeButton& button)
{
    return {ChordTypeColumnLeft[button.column],
            ChordTypeGroupTop[button.group - FirstChordTypeGroup] + button.row * ChordTypeRowPitch,
            button.isList ? ListButtonWidth : PlainButtonWidth, ChordTypeButtonHeight};
}

// ---- The root column, on LeftPanel.

// The roots' centres by column: flats, sharps, naturals.
inline constexpr int FlatColumnX = 37;
inline constexpr int SharpColumnX = 73;
inline constexpr int NaturalColumnX = 106;
// A root's centre, by the same index as the chord knowledge's root table (0 = B ... 16 = C).
inline constexpr std::array<Point, 17> RootCentres{{
    {NaturalColumnX, 85},  {FlatColumnX, 103}, {SharpColumnX, 103}, {NaturalColumnX, 140}, {FlatColumnX, 166},
    {SharpColumnX, 166},   {NaturalColumnX, 194}, {FlatColumnX, 229}, {SharpColumnX, 229}, {NaturalColumnX, 250},
    {NaturalColumnX, 305}, {FlatColumnX, 327}, {SharpColumnX, 327}, {NaturalColumnX, 359}, {FlatColumnX, 393},
    {SharpColumnX, 393},   {NaturalColumnX, 415},
}};

// ---- The instruments: marker centres relative to the instrument picture (BottomPanel).

// Every note marker is a 32 x 22 ellipse or rectangle around its centre.
inline constexpr int MarkerWidth = 32;
inline constexpr int MarkerHeight = 22;

// The keyboard: FirstKey (a C) and the KeyCount keys above it, each with its marker's x.
// The positions follow the picture's keys, which are not evenly spaced by octave.
inline constexpr int FirstKey = 36;
inline constexpr int KeyCount = 48;
inline constexpr int LastKey = FirstKey + KeyCount - 1;
inline constexpr std::array<int, KeyCount> KeyX{
    34,  49,  70,  90,  104, 139, 153, 175, 192, 209, 232, 244,
    278, 294, 315, 336, 349, 384, 399, 420, 437, 455, 477, 490,
    524, 540, 559, 581, 595, 630, 644, 665, 683, 699, 723, 735,
    769, 786, 804, 827, 839, 875, 889, 910, 928, 945, 968, 980,
};
// Markers on white keys sit low, on black keys high.
inline constexpr int WhiteKeyY = 150;
inline constexpr int BlackKeyY = 90;

constexpr bool IsBlackKey(int midiNote)
{
    const int pitchClass = ((midiNote % 12) + 12) % 12;
    return pitchClass == 1 || pitchClass == 3 || pitchClass == 6 || pitchClass == 8 || pitchClass == 10;
}

// The marker centre of a key, none outside FirstKey..LastKey.
constexpr std::optional<Point> KeyCentre(int midiNote)
{
    if (midiNote < FirstKey || midiNote > LastKey)
        return std::nullopt;
    return Point{KeyX[midiNote - FirstKey], IsBlackKey(midiNote) ? BlackKeyY : WhiteKeyY};
}

// The fretboard: string 0 (the lowest, drawn at the bottom) to 5, fret 0 (open) to 15.
inline constexpr int StringCount = 6;
inline constexpr int FretCount = 16;
inline constexpr std::array<int, FretCount> FretX{39, 104, 208, 300, 384, 462, 535, 599,
                                                  659, 717, 769, 817, 862, 903, 941, 977};
inline constexpr std::array<int, StringCount> StringY{141, 116, 92, 66, 42, 18};

// The marker centre of a string and fret, none off the board.
constexpr std::optional<Point> FretCentre(int string, int fret)
{
    if (string < 0 || string >= StringCount || fret < 0 || fret >= FretCount)
        return std::nullopt;
    return Point{FretX[fret], StringY[string]};
}

// ---- Every picture the main window loads, with the size it is drawn for: the canvas
// pictures, the root spot, and each look of each skinned and chord-type button.
struct PictureFile {
    std::string file;
    int w = 0;
    int h = 0;
};
std::vector<PictureFile> MainWindowPictures();

} // namespace layout
