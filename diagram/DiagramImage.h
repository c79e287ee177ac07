// Chord diagrams as pictures and files: Qt's painter draws the same shapes the SVG text
// holds. Needs a QGuiApplication (for fonts); called on the GUI thread.
#pragma once

#include "diagram/Diagram.h"

#include <QImage>

#include <string>

namespace diagram {

// The drawing painted at scale times its size.
QImage RenderDiagram(const Drawing& drawing, double scale);

// Whether path ends in ".svg" or ".png" (either case), the two kinds SaveDiagram writes.
bool IsDiagramFileName(const std::string& path);

// Writes the drawing to path as one atomic replacement: SVG text for a name ending in ".svg",
// else a PNG at twice the drawing's size (sharp in print). Throws std::runtime_error
// ("Cannot write <path>: <reason>").
void SaveDiagram(const Drawing& drawing, const std::string& path);

} // namespace diagram
