// Diagrams painted with Qt and saved as files.
#include "diagram/DiagramImage.h"

#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

const TChordVariation OpenC{{UnplayedString, -3, 2, 0, -1, 0}, {}, {"", "R", "3", "5", "R", "3"},
                            {"", "C", "E", "G", "C", "E"}};

std::string readFile(const QString& path)
{
    std::ifstream in(path.toStdString(), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

TEST(DiagramImage, PaintsTheShapesWhereTheSvgPutsThem)
{
    const diagram::Drawing box = *diagram::ChordDiagram("Cmaj", OpenC, gtGuitar, true, false);
    const QImage image = diagram::RenderDiagram(box, 2);
    EXPECT_EQ(image.size(), QSize(312, 342));
    EXPECT_EQ(image.pixelColor(4, 4), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(2 * 74, 2 * 86), QColor(0x22, 0x22, 0x22)) << "the E's dot";
    EXPECT_EQ(image.pixelColor(2 * 114 + 12, 2 * 62 + 12), QColor(0x22, 0x22, 0x22)) << "a corner of the top C's square";
    EXPECT_EQ(image.pixelColor(2 * 84, 2 * 86), QColor(Qt::white)) << "between the strings";
}

TEST(DiagramImage, SavesSvgOrPngByTheNamesEnding)
{
    QTemporaryDir folder;
    const diagram::Drawing box = *diagram::ChordDiagram("Cmaj", OpenC, gtGuitar, true, false);
    const QString svg = folder.filePath("c.svg"), png = folder.filePath("c.Png");
    diagram::SaveDiagram(box, svg.toStdString());
    diagram::SaveDiagram(box, png.toStdString());
    EXPECT_EQ(readFile(svg), diagram::SvgText(box));
    EXPECT_EQ(QImage(png).size(), QSize(312, 342));
    EXPECT_TRUE(diagram::IsDiagramFileName("x.SVG"));
    EXPECT_FALSE(diagram::IsDiagramFileName("x.jpg"));
    EXPECT_THROW(diagram::SaveDiagram(box, folder.filePath("missing/c.svg").toStdString()), std::runtime_error);
}
