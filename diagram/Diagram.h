// Chord diagrams for print: a guitar chord box or a piano keyboard section laid out as a list
// of plain shapes, a sheet of several of them, and the SVG text of any of these. The shapes'
// places and sizes are the diagram's own (not the window's). Pure C++, no Qt; DiagramImage.h
// paints the same shapes into a PNG.
#pragma once

#include "chords/ChordBook.h"

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace diagram {

using Rgb = std::uint32_t;   // 0xRRGGBB

struct Paint {
    std::optional<Rgb> fill;     // none: not filled
    std::optional<Rgb> stroke;   // none: no outline
    double strokeWidth = 1;
};

enum class Anchor { Start, Middle, End };

struct Line {
    double x1, y1, x2, y2;
    Rgb colour;
    double width;
};
struct Rect {
    double x, y, width, height;
    Paint paint;
};
struct Circle {
    double cx, cy, r;
    Paint paint;
};
// Text placed by its baseline; x is its start, middle or end as anchor says.
struct Text {
    double x, y;
    std::string text;   // UTF-8
    double size;        // pixel height of the font
    bool bold;
    Anchor anchor;
    Rgb colour;
};

// One shape and what it shows ("string", "fret", "nut", "dot", "root", "muted", "open",
// "label", "title", "position", "white-key", "black-key", "background"); the role becomes the
// shape's class in SVG.
struct Shape {
    std::string role;
    std::variant<Line, Rect, Circle, Text> form;
};

// A diagram: its size and its shapes in painting order.
struct Drawing {
    double width = 0;
    double height = 0;
    std::vector<Shape> shapes;
};

// A guitar voicing as the chord box shows it, string 0 the low E.
struct GuitarShape {
    std::string title;
    std::vector<std::optional<int>> frets;   // one per string; none: not played, 0: open
    std::vector<std::string> labels;         // per string, shown under it
    std::vector<bool> roots;                 // per string: drawn as a square
};

// Marked piano keys.
struct KeyboardMarks {
    std::string title;
    std::vector<int> notes;                  // MIDI notes
    std::vector<std::string> labels;         // per note, shown under its key
    std::vector<bool> roots;                 // per note: drawn as a square
};

// The chord box: strings upright, the nut (or the first fret's number beside the box when the
// shape sits higher up the neck), x and o above muted and open strings, dots on the fretted
// strings with root tones as squares, the labels under the strings. Four to 24 frets; a
// fret beyond them is not drawn.
Drawing GuitarBox(const GuitarShape& shape);

// The keyboard from the C at or below the lowest note to the B at or above the highest, the
// marked keys with a dot (a square for a root tone) and their labels in two rows below: white
// keys first, black keys under them. Notes outside MIDI's 0..127 have no key and are left out.
Drawing Keyboard(const KeyboardMarks& marks);

// What the window shows of a chord as a diagram, titled title: a guitar voicing as a chord box,
// any piano chord as a keyboard. Labels are degree labels with degrees, else note names. None on
// the guitar without a voicing (a calculated chord has no shape to draw).
std::optional<Drawing> ChordDiagram(const std::string& title, const TChordVariation& chord, GameType game,
                                    bool isVoicing, bool degrees);

// The diagrams side by side in rows of at most columns, each in a cell of the largest one's
// size, on one white page.
Drawing Sheet(const std::vector<Drawing>& diagrams, int columns);

// The drawing as a standalone SVG document (UTF-8).
std::string SvgText(const Drawing& drawing);

} // namespace diagram
