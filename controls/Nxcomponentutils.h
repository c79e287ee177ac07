// Font helpers shared by the skinned controls: antialiased text and the mapping
// of the classic dialog fonts onto the fonts this system has.
#pragma once

#include "common/Vexel/src/PicUtils.h"

#include <QColor>
#include <QFont>
#include <QString>

#include <string>
#include <string_view>

// Text of the data files (names, captions, list lines) as Qt text: UTF-8, with a byte that is no
// valid UTF-8 taken as its Latin-1 character, as older files were written.
QString FromDataText(std::string_view text);

// A label font: typeface plus the colour the text is drawn in.
struct LabelFont {
    QFont font;
    QColor colour = Qt::black;
};

// Stores a property value; returns whether it changed (most setters repaint only then).
template <typename T>
bool StoreIfChanged(T& field, const T& value)
{
    if (field == value)
        return false;
    field = value;
    return true;
}

// The picture-setter pattern of the skinned controls, for a plain picture: an
// unchanged name does nothing (false); a missing file clears the name and throws
// missingPrefix + name; a load failure clears it and throws "Error loading : " + name.
bool SetPictureFile(std::string& nameField, TPicture& picture, const std::string& name, const char* missingPrefix);

// Asks for smooth (antialiased) rendering of the font's glyphs.
void MakeFontAntialiased(QFont& font);
// A copy of the label font, made antialiased.
LabelFont Antialiased(LabelFont font);

// A font given in points at 96 dpi ("Arial" 10 pt is 13 pixels high, as on the
// classic desktop), independent of the screen's dpi. "MS Sans Serif" becomes the
// system sans-serif. The result is antialiased.
QFont FontFromPoints(const QString& family, int points, bool bold = false);
// The same for a font given by its character height in pixels.
QFont FontFromPixels(const QString& family, int pixels, bool bold = false);

// The controls' default label font: "MS Sans Serif" 8 pt, black.
LabelFont DefaultLabelFont();
