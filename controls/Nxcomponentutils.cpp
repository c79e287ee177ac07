// Font helpers of the skinned controls.
#include "controls/Nxcomponentutils.h"

#include "base/Files.h"
#include "base/Utf8.h"

#include <cmath>
#include <stdexcept>

void MakeFontAntialiased(QFont& font)
{
    font.setStyleStrategy(QFont::PreferAntialias);
}

LabelFont Antialiased(LabelFont font)
{
    MakeFontAntialiased(font.font);
    return font;
}

bool SetPictureFile(std::string& nameField, TPicture& picture, const std::string& name, const char* missingPrefix)
{
    if (name == nameField)
        return false;
    if (!FileExists(name)) {
        nameField.clear();
        throw std::runtime_error(missingPrefix + name);
    }
    nameField = name;
    try {
        LoadImageToPicture(picture, name);
    } catch (const std::exception&) {
        nameField.clear();
        throw std::runtime_error("Error loading : " + name);
    }
    return true;
}

QFont FontFromPixels(const QString& family, int pixels, bool bold)
{
    const bool systemSans = family.compare(QLatin1String("MS Sans Serif"), Qt::CaseInsensitive) == 0;
    QFont font(systemSans ? QStringLiteral("Sans Serif") : family);
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(std::max(1, pixels));
    font.setBold(bold);
    MakeFontAntialiased(font);
    return font;
}

QFont FontFromPoints(const QString& family, int points, bool bold)
{
    // Points are at 96 dpi: the pixel height is points * 96 / 72, rounded.
    return FontFromPixels(family, int(std::lround(points * 96.0 / 72.0)), bold);
}

LabelFont DefaultLabelFont()
{
    return {FontFromPoints(QStringLiteral("MS Sans Serif"), 8), Qt::black};
}

QString FromDataText(std::string_view text)
{
    const std::string utf8 = ValidUtf8(text);
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}
