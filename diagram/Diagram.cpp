// Chord box, keyboard section, sheet and SVG writer.
#include "diagram/Diagram.h"

#include "base/Utf8.h"
#include "chords/ChordText.h"
#include "chords/Notes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <type_traits>

namespace diagram {

namespace {

constexpr Rgb Paper = 0xFFFFFF;
constexpr Rgb Ink = 0x222222;
constexpr Rgb Marker = 0xD21E1E;   // the piano markers' red, as the window's default
constexpr double TitleBaseline = 22;
constexpr double TitleSize = 17;
constexpr double LabelSize = 11;

// The chord box.
namespace box {
constexpr double Left = 34;          // room for the first fret's number
constexpr double Right = 22;
constexpr double Top = 50;           // the nut; the title and the x/o row are above it
constexpr double StringGap = 20;
constexpr double FretGap = 24;
constexpr double SymbolBaseline = Top - 8;
constexpr double SymbolSize = 13;
constexpr double DotRadius = 7;
constexpr double NutWidth = 4;
constexpr double LabelGap = 16;      // from the lowest fret line to the labels' baseline
constexpr double Bottom = 9;
constexpr int MinFrets = 4;
constexpr int MaxFrets = 24;         // a wider stretch (only a broken voicing file has one) is cut off
} // namespace box

// The keyboard section.
namespace keys {
constexpr double Margin = 12;
constexpr double Top = 34;
constexpr double WhiteWidth = 20;
constexpr double WhiteHeight = 80;
constexpr double BlackWidth = 12;
constexpr double BlackHeight = 50;
constexpr double WhiteMarkerRise = 12;   // marker centre above a white key's lower end
constexpr double BlackMarkerRise = 9;
constexpr double WhiteMarkerRadius = 6;
constexpr double BlackMarkerRadius = 5;
constexpr double FirstLabelGap = 15;     // under the keys: white keys' labels, then black keys'
constexpr double SecondLabelGap = 29;
constexpr double Bottom = 9;
} // namespace keys

bool isBlackKey(int note)
{
    const int pc = ((note % 12) + 12) % 12;
    return pc == 1 || pc == 3 || pc == 6 || pc == 8 || pc == 10;
}

Shape text(std::string role, double x, double y, std::string content, double size, Anchor anchor = Anchor::Middle,
           bool bold = false)
{
    return {std::move(role), Text{x, y, std::move(content), size, bold, anchor, Ink}};
}

Shape line(std::string role, double x1, double y1, double x2, double y2, double width = 1)
{
    return {std::move(role), Line{x1, y1, x2, y2, Ink, width}};
}

// A dot, or a square of the same size for a root tone, centred on (x, y).
Shape marker(bool root, double x, double y, double radius, Rgb colour)
{
    const Paint paint{colour, std::nullopt, 1};
    if (root)
        return {"root", Rect{x - radius, y - radius, 2 * radius, 2 * radius, paint}};
    return {"dot", Circle{x, y, radius, paint}};
}

Shape background(double width, double height) { return {"background", Rect{0, 0, width, height, Paint{Paper, std::nullopt, 1}}}; }

std::string labelAt(const std::vector<std::string>& labels, std::size_t i)
{
    return i < labels.size() ? labels[i] : std::string();
}

bool rootAt(const std::vector<bool>& roots, std::size_t i) { return i < roots.size() && roots[i]; }

// The first fret the box shows (1 when it shows the nut) and how many frets it shows.
std::pair<int, int> fretWindow(const std::vector<std::optional<int>>& frets)
{
    int lowest = 0, highest = 0;
    for (const auto& fret : frets)
        if (fret && *fret > 0) {
            lowest = lowest == 0 ? *fret : std::min(lowest, *fret);
            highest = std::max(highest, *fret);
        }
    const int first = highest <= box::MinFrets ? 1 : lowest;
    return {first, std::clamp(highest - first + 1, box::MinFrets, box::MaxFrets)};
}

void offset(Shape& shape, double dx, double dy)
{
    std::visit(
        [&](auto& form) {
            using Form = std::decay_t<decltype(form)>;
            if constexpr (std::is_same_v<Form, Line>) {
                form.x1 += dx, form.x2 += dx, form.y1 += dy, form.y2 += dy;
            } else if constexpr (std::is_same_v<Form, Circle>) {
                form.cx += dx, form.cy += dy;
            } else {
                form.x += dx, form.y += dy;
            }
        },
        shape.form);
}

std::string number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", value);
    std::string result = text;
    result.erase(result.find_last_not_of('0') + 1);
    if (result.back() == '.')
        result.pop_back();
    return result == "-0" ? "0" : result;
}

std::string colour(Rgb rgb)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%06x", unsigned(rgb & 0xFFFFFF));
    return text;
}

std::string escaped(const std::string& raw)
{
    std::string out;
    for (const char c : ValidUtf8(raw)) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default:
            // Control characters are not allowed in XML 1.0.
            out += static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
        }
    }
    return out;
}

std::string paintAttributes(const Paint& paint)
{
    std::string out = " fill=\"" + (paint.fill ? colour(*paint.fill) : std::string("none")) + "\"";
    if (paint.stroke)
        out += " stroke=\"" + colour(*paint.stroke) + "\" stroke-width=\"" + number(paint.strokeWidth) + "\"";
    return out;
}

std::string svgElement(const Shape& shape)
{
    const std::string head = " class=\"" + escaped(shape.role) + "\"";
    return std::visit(
        [&](const auto& form) -> std::string {
            using Form = std::decay_t<decltype(form)>;
            if constexpr (std::is_same_v<Form, Line>) {
                return "<line" + head + " x1=\"" + number(form.x1) + "\" y1=\"" + number(form.y1) + "\" x2=\"" +
                       number(form.x2) + "\" y2=\"" + number(form.y2) + "\" stroke=\"" + colour(form.colour) +
                       "\" stroke-width=\"" + number(form.width) + "\"/>";
            } else if constexpr (std::is_same_v<Form, Rect>) {
                return "<rect" + head + " x=\"" + number(form.x) + "\" y=\"" + number(form.y) + "\" width=\"" +
                       number(form.width) + "\" height=\"" + number(form.height) + "\"" + paintAttributes(form.paint) +
                       "/>";
            } else if constexpr (std::is_same_v<Form, Circle>) {
                return "<circle" + head + " cx=\"" + number(form.cx) + "\" cy=\"" + number(form.cy) + "\" r=\"" +
                       number(form.r) + "\"" + paintAttributes(form.paint) + "/>";
            } else {
                static const char* const anchors[] = {"start", "middle", "end"};
                return "<text" + head + " x=\"" + number(form.x) + "\" y=\"" + number(form.y) + "\" font-size=\"" +
                       number(form.size) + "\" text-anchor=\"" + anchors[int(form.anchor)] + "\" fill=\"" +
                       colour(form.colour) + "\"" + (form.bold ? " font-weight=\"bold\"" : "") + ">" +
                       escaped(form.text) + "</text>";
            }
        },
        shape.form);
}

} // namespace

Drawing GuitarBox(const GuitarShape& shape)
{
    const std::size_t strings = shape.frets.size();
    const auto [first, rows] = fretWindow(shape.frets);
    const double gridWidth = double(std::max<std::size_t>(strings, 1) - 1) * box::StringGap;
    const double gridBottom = box::Top + rows * box::FretGap;
    const auto stringX = [](std::size_t s) { return box::Left + double(s) * box::StringGap; };

    Drawing d;
    d.width = box::Left + gridWidth + box::Right;
    d.height = gridBottom + box::LabelGap + box::Bottom;
    d.shapes.push_back(background(d.width, d.height));
    d.shapes.push_back(text("title", box::Left + gridWidth / 2, TitleBaseline, shape.title, TitleSize, Anchor::Middle, true));
    for (int r = 0; r <= rows; ++r)
        d.shapes.push_back(line("fret", box::Left, box::Top + r * box::FretGap, box::Left + gridWidth, box::Top + r * box::FretGap));
    for (std::size_t s = 0; s < strings; ++s)
        d.shapes.push_back(line("string", stringX(s), box::Top, stringX(s), gridBottom));
    if (first == 1)
        d.shapes.push_back(line("nut", box::Left, box::Top, box::Left + gridWidth, box::Top, box::NutWidth));
    else
        d.shapes.push_back(text("position", box::Left - 8, box::Top + box::FretGap / 2 + LabelSize / 3,
                                std::to_string(first) + "fr", LabelSize, Anchor::End));
    for (std::size_t s = 0; s < strings; ++s) {
        const auto& fret = shape.frets[s];
        if (!fret)
            d.shapes.push_back(text("muted", stringX(s), box::SymbolBaseline, "x", box::SymbolSize));
        else if (*fret == 0)
            d.shapes.push_back(text("open", stringX(s), box::SymbolBaseline, "o", box::SymbolSize));
        else if (*fret - first < rows)
            d.shapes.push_back(marker(rootAt(shape.roots, s), stringX(s),
                                      box::Top + (*fret - first + 0.5) * box::FretGap, box::DotRadius, Ink));
        if (fret && !labelAt(shape.labels, s).empty())
            d.shapes.push_back(text("label", stringX(s), gridBottom + box::LabelGap, labelAt(shape.labels, s), LabelSize));
    }
    return d;
}

Drawing Keyboard(const KeyboardMarks& marks)
{
    // Only MIDI notes have keys; a broken voicing file's notes beyond them are left out.
    std::vector<std::size_t> keyed;
    for (std::size_t i = 0; i < marks.notes.size(); ++i)
        if (marks.notes[i] >= 0 && marks.notes[i] <= 127)
            keyed.push_back(i);
    int lowest = keyed.empty() ? 60 : 127, highest = keyed.empty() ? 60 : 0;
    for (std::size_t i : keyed) {
        lowest = std::min(lowest, marks.notes[i]);
        highest = std::max(highest, marks.notes[i]);
    }
    const int start = lowest - ((lowest % 12) + 12) % 12;
    const int end = highest - ((highest % 12) + 12) % 12 + 11;
    // The left edge of each key's white key, or for a black key the boundary it sits on.
    const auto whitesBefore = [start](int note) {
        int count = 0;
        for (int n = start; n < note; ++n)
            count += !isBlackKey(n);
        return count;
    };
    const auto keyCentre = [&](int note) {
        const double edge = keys::Margin + whitesBefore(note) * keys::WhiteWidth;
        return isBlackKey(note) ? edge : edge + keys::WhiteWidth / 2;
    };

    Drawing d;
    d.width = 2 * keys::Margin + whitesBefore(end + 1) * keys::WhiteWidth;
    d.height = keys::Top + keys::WhiteHeight + keys::SecondLabelGap + keys::Bottom;
    d.shapes.push_back(background(d.width, d.height));
    d.shapes.push_back(text("title", d.width / 2, TitleBaseline, marks.title, TitleSize, Anchor::Middle, true));
    for (int note = start; note <= end; ++note)
        if (!isBlackKey(note))
            d.shapes.push_back({"white-key", Rect{keyCentre(note) - keys::WhiteWidth / 2, keys::Top, keys::WhiteWidth,
                                                  keys::WhiteHeight, Paint{Paper, Ink, 1}}});
    for (int note = start; note <= end; ++note)
        if (isBlackKey(note))
            d.shapes.push_back({"black-key", Rect{keyCentre(note) - keys::BlackWidth / 2, keys::Top, keys::BlackWidth,
                                                  keys::BlackHeight, Paint{Ink, Ink, 1}}});
    for (std::size_t i : keyed) {
        const int note = marks.notes[i];
        const bool black = isBlackKey(note);
        const double y = keys::Top + (black ? keys::BlackHeight - keys::BlackMarkerRise : keys::WhiteHeight - keys::WhiteMarkerRise);
        d.shapes.push_back(marker(rootAt(marks.roots, i), keyCentre(note), y,
                                  black ? keys::BlackMarkerRadius : keys::WhiteMarkerRadius, Marker));
        if (!labelAt(marks.labels, i).empty())
            d.shapes.push_back(text("label", keyCentre(note),
                                    keys::Top + keys::WhiteHeight + (black ? keys::SecondLabelGap : keys::FirstLabelGap),
                                    labelAt(marks.labels, i), LabelSize));
    }
    return d;
}

std::optional<Drawing> ChordDiagram(const std::string& title, const TChordVariation& chord, GameType game,
                                    bool isVoicing, bool degrees)
{
    const std::vector<std::string>& labels = degrees ? chord.degreeLabels : chord.noteNames;
    if (game == gtGuitar) {
        if (!isVoicing)
            return std::nullopt;
        GuitarShape shape{title, {}, {}, {}};
        for (std::size_t s = 0; s < chord.notes.size() && s < OpenStringNote.size(); ++s) {
            const int value = chord.notes[s];
            shape.frets.push_back(value == UnplayedString ? std::nullopt : std::optional<int>(std::abs(value)));
            shape.labels.push_back(labelAt(labels, s));
            shape.roots.push_back(IsRootTone(chord, s));
        }
        return GuitarBox(shape);
    }
    KeyboardMarks marks{title, {}, {}, {}};
    for (std::size_t i = 0; i < chord.notes.size(); ++i) {
        marks.notes.push_back(std::abs(chord.notes[i]));
        marks.labels.push_back(labelAt(labels, i));
        marks.roots.push_back(IsRootTone(chord, i));
    }
    return Keyboard(marks);
}

Drawing Sheet(const std::vector<Drawing>& diagrams, int columns)
{
    Drawing page;
    if (diagrams.empty())
        return page;
    const int across = std::clamp(columns, 1, int(diagrams.size()));
    const int down = (int(diagrams.size()) + across - 1) / across;
    double cellWidth = 0, cellHeight = 0;
    for (const Drawing& d : diagrams) {
        cellWidth = std::max(cellWidth, d.width);
        cellHeight = std::max(cellHeight, d.height);
    }
    page.width = across * cellWidth;
    page.height = down * cellHeight;
    page.shapes.push_back(background(page.width, page.height));
    for (std::size_t i = 0; i < diagrams.size(); ++i) {
        const double dx = double(int(i) % across) * cellWidth + (cellWidth - diagrams[i].width) / 2;
        const double dy = double(int(i) / across) * cellHeight;
        for (Shape shape : diagrams[i].shapes) {
            if (shape.role == "background")
                continue;
            offset(shape, dx, dy);
            page.shapes.push_back(std::move(shape));
        }
    }
    return page;
}

std::string SvgText(const Drawing& drawing)
{
    const std::string width = number(drawing.width), height = number(drawing.height);
    std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + width + "\" height=\"" + height +
                      "\" viewBox=\"0 0 " + width + " " + height +
                      "\" font-family=\"Liberation Sans, Arial, Helvetica, sans-serif\">\n";
    for (const Shape& shape : drawing.shapes)
        svg += svgElement(shape) + "\n";
    return svg + "</svg>\n";
}

} // namespace diagram
