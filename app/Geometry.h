// The main window's pure geometry and colour rules: hit tests on the keyboard, fretboard
// and root column, centring, and colour parsing. The positions themselves are the layout
// table's. No Qt, so it is testable without a display.
#pragma once

#include "layout/Layout.h"

#include <array>
#include <cstdint>
#include <string>

namespace geometry {


// Note code under a point of the keyboard (MIDI note) or fretboard (string * 256 + fret),
// or -1. Presses up to the key row's y 115 reach only black keys, below it only white ones.
int HitTestKeyboard(int x, int y);
int HitTestFretboard(int x, int y);

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

// Where the composition's top-left corner sits in a client area: centred, and negative
// when the client area is smaller.
layout::Point GlobalPanelOrigin(int clientWidth, int clientHeight);

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
