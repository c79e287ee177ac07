// Chord boxes, keyboard sections and sheets, read back from their SVG text.
#include "diagram/Diagram.h"

#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <string>
#include <vector>

namespace {

// The SVG elements of one class, each as its attributes plus "tag" and "text".
std::vector<std::map<std::string, std::string>> elements(const std::string& svg, const std::string& role)
{
    std::vector<std::map<std::string, std::string>> found;
    const std::regex element("<(\\w+) class=\"" + role + "\"([^>]*?)/?>(?:([^<]*)</\\w+>)?");
    const std::regex attribute("([\\w-]+)=\"([^\"]*)\"");
    for (auto it = std::sregex_iterator(svg.begin(), svg.end(), element); it != std::sregex_iterator(); ++it) {
        std::map<std::string, std::string> fields{{"tag", (*it)[1]}, {"text", (*it)[3]}};
        const std::string attributes = (*it)[2];
        for (auto a = std::sregex_iterator(attributes.begin(), attributes.end(), attribute); a != std::sregex_iterator(); ++a)
            fields[(*a)[1]] = (*a)[2];
        found.push_back(fields);
    }
    return found;
}

std::vector<std::string> column(const std::vector<std::map<std::string, std::string>>& rows, const std::string& key)
{
    std::vector<std::string> values;
    for (const auto& row : rows)
        values.push_back(row.at(key));
    return values;
}

// C major as x32010, with both Cs marked as root tones.
const TChordVariation OpenC{{UnplayedString, -3, 2, 0, -1, 0}, {}, {"", "R", "3", "5", "R", "3"},
                            {"", "C", "E", "G", "C", "E"}};

} // namespace

TEST(ChordBox, OpenCShowsSixStringsTheNutOneMutedTwoOpenAndThreeDotsWithRootsAsSquares)
{
    const auto drawing = diagram::ChordDiagram("Cmaj", OpenC, gtGuitar, true, false);
    ASSERT_TRUE(drawing);
    const std::string svg = diagram::SvgText(*drawing);
    ASSERT_TRUE(svg.starts_with("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\""));

    const auto strings = elements(svg, "string");
    ASSERT_EQ(strings.size(), 6u);
    EXPECT_EQ(column(strings, "x1"), (std::vector<std::string>{"34", "54", "74", "94", "114", "134"}));
    EXPECT_EQ(column(strings, "x2"), column(strings, "x1")) << "strings stand upright";
    EXPECT_EQ(elements(svg, "fret").size(), 5u) << "four frets";
    ASSERT_EQ(elements(svg, "nut").size(), 1u);
    EXPECT_EQ(elements(svg, "nut")[0]["stroke-width"], "4");
    EXPECT_TRUE(elements(svg, "position").empty());

    const auto muted = elements(svg, "muted");
    ASSERT_EQ(muted.size(), 1u);
    EXPECT_EQ(muted[0].at("x"), "34");
    EXPECT_EQ(muted[0].at("text"), "x");
    const auto open = elements(svg, "open");
    EXPECT_EQ(column(open, "x"), (std::vector<std::string>{"94", "134"}));
    EXPECT_EQ(column(open, "text"), (std::vector<std::string>{"o", "o"}));

    // Three fretted strings: the Cs on the A string (3rd fret) and the B string (1st fret) are
    // squares, the E on the D string (2nd fret) a dot; frets are counted down from the nut at 50.
    const auto dots = elements(svg, "dot");
    ASSERT_EQ(dots.size(), 1u);
    EXPECT_EQ(dots[0].at("tag"), "circle");
    EXPECT_EQ(dots[0].at("cx"), "74");
    EXPECT_EQ(dots[0].at("cy"), "86");
    const auto roots = elements(svg, "root");
    ASSERT_EQ(roots.size(), 2u);
    EXPECT_EQ(roots[0].at("tag"), "rect");
    EXPECT_EQ(column(roots, "x"), (std::vector<std::string>{"47", "107"}));
    EXPECT_EQ(column(roots, "y"), (std::vector<std::string>{"103", "55"}));

    EXPECT_EQ(column(elements(svg, "label"), "text"), (std::vector<std::string>{"C", "E", "G", "C", "E"}));
    EXPECT_EQ(column(elements(svg, "title"), "text"), (std::vector<std::string>{"Cmaj"}));
}

TEST(ChordBox, AShapeUpTheNeckShowsItsFirstFretInsteadOfTheNut)
{
    diagram::GuitarShape barre{"Dm7", {std::nullopt, 5, 7, 5, 6, 5}, {"", "R", "5", "b7", "b3", "5"},
                               {false, true, false, false, false, false}};
    std::string svg = diagram::SvgText(diagram::GuitarBox(barre));
    EXPECT_TRUE(elements(svg, "nut").empty());
    ASSERT_EQ(elements(svg, "position").size(), 1u);
    EXPECT_EQ(elements(svg, "position")[0]["text"], "5fr");
    EXPECT_EQ(column(elements(svg, "dot"), "cy"), (std::vector<std::string>{"110", "62", "86", "62"}))
        << "the 5th fret is the first row";

    // A stretch wider than four frets gets more rows; a shape within four frets at the nut keeps it.
    barre.frets = {std::nullopt, 3, 7, 5, 6, 5};
    svg = diagram::SvgText(diagram::GuitarBox(barre));
    EXPECT_EQ(elements(svg, "fret").size(), 6u);
    EXPECT_EQ(elements(svg, "position")[0]["text"], "3fr");
    barre.frets = {0, 4, 4, std::nullopt, 0, 0};
    EXPECT_EQ(elements(diagram::SvgText(diagram::GuitarBox(barre)), "nut").size(), 1u);
}

// A voicing file can hold any offset; its diagram stays a diagram.
TEST(ChordBox, ValuesFromABrokenFileKeepTheDiagramSmall)
{
    const diagram::GuitarShape stretch{"X", {1, 2000000000, std::nullopt, 0, 3, 1}, {}, {}};
    const diagram::Drawing box = diagram::GuitarBox(stretch);
    EXPECT_EQ(elements(diagram::SvgText(box), "fret").size(), 25u) << "24 frets at the most";
    EXPECT_EQ(elements(diagram::SvgText(box), "dot").size(), 3u) << "the fret beyond them is left out";
    const diagram::Drawing keys = diagram::Keyboard({"Y", {-5, 60, 2000000000}, {"a", "b", "c"}, {}});
    EXPECT_EQ(elements(diagram::SvgText(keys), "white-key").size(), 7u) << "the one real note's octave";
    EXPECT_EQ(column(elements(diagram::SvgText(keys), "label"), "text"), (std::vector<std::string>{"b"}));
}

TEST(KeyboardSection, SpansWholeOctavesAndMarksEachKeyWithItsLabelRow)
{
    const TChordVariation shell{{-48, 52, 58, 63}, {}, {"R", "3", "b7", "#9"}, {"C", "E", "Bb", "D#"}};
    const std::string svg = diagram::SvgText(*diagram::ChordDiagram("C7#9", shell, gtPiano, true, true));
    EXPECT_EQ(elements(svg, "white-key").size(), 14u) << "C3 to B4";
    EXPECT_EQ(elements(svg, "black-key").size(), 10u);
    const auto roots = elements(svg, "root");
    ASSERT_EQ(roots.size(), 1u);
    EXPECT_EQ(roots[0].at("x"), "16") << "C3, the first white key: centre 22";
    const auto dots = elements(svg, "dot");
    EXPECT_EQ(column(dots, "cx"), (std::vector<std::string>{"62", "132", "192"})) << "E3, Bb3 (a black key), D#4";
    EXPECT_EQ(column(dots, "cy"), (std::vector<std::string>{"102", "75", "75"})) << "black keys' markers sit higher";
    const auto labels = elements(svg, "label");
    EXPECT_EQ(column(labels, "text"), (std::vector<std::string>{"R", "3", "b7", "#9"}));
    EXPECT_EQ(column(labels, "y"), (std::vector<std::string>{"129", "129", "143", "143"}))
        << "black keys' labels in a row of their own";
}

TEST(DiagramSheet, PutsDiagramsInRowsAndEscapesText)
{
    const diagram::Drawing box = *diagram::ChordDiagram("Cmaj", OpenC, gtGuitar, true, false);
    const diagram::Drawing odd = diagram::GuitarBox({"A<&>\"\xc3\xb8" "7\x01", {0, 0, 0, 0, 0, 0}, {}, {}});
    const diagram::Drawing page = diagram::Sheet({box, odd, box}, 2);
    EXPECT_EQ(page.width, 2 * box.width);
    EXPECT_EQ(page.height, 2 * box.height);
    const std::string svg = diagram::SvgText(page);
    EXPECT_EQ(elements(svg, "background").size(), 1u) << "one page";
    EXPECT_EQ(column(elements(svg, "title"), "y"), (std::vector<std::string>{"22", "22", "193"}));
    EXPECT_EQ(column(elements(svg, "title"), "x"), (std::vector<std::string>{"84", "240", "84"}));
    EXPECT_NE(svg.find(">A&lt;&amp;&gt;&quot;\xc3\xb8" "7 </text>"), std::string::npos) << svg;
    EXPECT_FALSE(diagram::ChordDiagram("C", OpenC, gtGuitar, false, false))
        << "a calculated guitar chord has no shape";
}
