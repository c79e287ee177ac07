// Font helpers shared by the skinned controls: antialiased text and the mapping
// of the classic dialog fonts onto the fonts this system has.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>

// A label font: typeface plus the colour the text is drawn in.
struct LabelFont {
    QFont font;
    QColor colour = Qt::black;
};

// Asks for smooth (antialiased) rendering of the font's glyphs.
void MakeFontAntialiased(QFont& font);

// A font given in points at 96 dpi ("Arial" 10 pt is 13 pixels high, as on the
// classic desktop), independent of the screen's dpi. "MS Sans Serif" becomes the
// system sans-serif. The result is antialiased.
QFont FontFromPoints(const QString& family, int points, bool bold = false);
// The same for a font given by its character height in pixels.
QFont FontFromPixels(const QString& family, int pixels, bool bold = false);

// The controls' default label font: "MS Sans Serif" 8 pt, black.
LabelFont DefaultLabelFont();
