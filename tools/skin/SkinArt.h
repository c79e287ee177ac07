// The skin's pictures, drawn with Qt's painter: one dark, warm look for the top
// bar, the selector columns, the play area, the instruments and every button state.
#pragma once

#include <QImage>

#include <string>
#include <vector>

namespace skin {

struct Picture {
    std::string file; // name inside the pics folder
    QImage image;
};

// Every picture the window and the about window load, at the size of its control times
// scale (1, or 2 for high-density screens); the images carry scale as their device pixel ratio.
std::vector<Picture> RenderSkin(int scale = 1);

} // namespace skin
