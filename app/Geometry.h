// The main window's pure geometry and colour rules: marker centres on the keyboard and
// fretboard, hit tests, centring, the minimum size, and colour parsing. No Qt, so it is
// testable without a display.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace geometry {

// Marker centres relative to the top-left corner of the instrument view.
// KeyX/KeyY: MIDI 36 to 83; FretX: fret 0 to 15; StringY: string 0 (lowest) to 5.
extern const std::array<int, 48> KeyX;
extern const std::array<int, 48> KeyY;
extern const std::array<int, 16> FretX;
extern const std::array<int, 6> StringY;

constexpr int kLowestKey = 36;

// Note code under a point of the keyboard (MIDI note) or fretboard (string * 256 + fret),
// or -1. Presses up to the key row's y 115 reach only black keys, below it only white ones.
int HitTestKeyboard(int x, int y);
int HitTestFretboard(int x, int y);

struct Point {
    int x = 0;
    int y = 0;
};

// Index of the first centre within 16 pixels of (x, y), or -1.
template <typename Centres>
int HitTestCentres(const Centres& centres, int x, int y)
{
    int index = 0;
    for (const auto& c : centres) {
        const int dx = x - c.x;
        const int dy = y - c.y;
        if (dx * dx + dy * dy <= 256)
            return index;
        ++index;
    }
    return -1;
}

// Marker centre of a piano key (MIDI 36 to 83) or of a fretboard position.
std::optional<Point> KeyCentre(int midiNote);
std::optional<Point> FretCentre(int string, int fret);

// The fixed design size of the composition and where it sits in a client area.
constexpr int kPanelWidth = 1016;
constexpr int kPanelHeight = 710;
Point GlobalPanelOrigin(int clientWidth, int clientHeight);

} // namespace geometry

// Colour value: red + 256 * green + 65536 * blue.
using ColourValue = std::uint32_t;

// "R,G,B" in decimal; a field that is no number counts 0, only its low 8 bits count,
// missing fields are 0.
ColourValue ParseColour(const std::string& text);

inline int RedOf(ColourValue c) { return c & 0xFF; }
inline int GreenOf(ColourValue c) { return (c >> 8) & 0xFF; }
inline int BlueOf(ColourValue c) { return (c >> 16) & 0xFF; }
inline ColourValue MakeColour(int r, int g, int b)
{
    return static_cast<ColourValue>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

// Labels on dark fills are white, on light fills black: the brightness (R+G+B) div 3
// decides, 127 or less is dark.
ColourValue TextColourFor(ColourValue fill);
