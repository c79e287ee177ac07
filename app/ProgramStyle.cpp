#include "app/ProgramStyle.h"

#include "common/Vexel/src/PicUtils.h"

#include <QApplication>
#include <QFile>
#include <QIcon>
#include <QPixmap>
#include <QStyle>
#include <QStyleFactory>

namespace {

// The skin's colours: dark walnut surfaces, cream text, one amber accent.
const QColor kWalnutDark(0x1a, 0x13, 0x0e);
const QColor kWalnut(0x2a, 0x1f, 0x17);
const QColor kWalnutLight(0x3b, 0x2c, 0x21);
const QColor kSeam(0x4d, 0x3b, 0x2c);
const QColor kInk(0x0f, 0x0b, 0x08);
const QColor kCream(0xef, 0xe2, 0xc8);
const QColor kCreamDim(0xb9, 0xa7, 0x88);
const QColor kFaded(0x7a, 0x6a, 0x58);
const QColor kAmber(0xf0, 0xa8, 0x3c);
const QColor kAmberDeep(0xc9, 0x80, 0x2a);
const QColor kAmberGlow(0xff, 0xd0, 0x7a);
const QColor kOnAmber(0x1d, 0x12, 0x08);

const char* const kIconResource = ":/tonvera/tonvera-64.png";

// Decoded by our own loader: Qt's image reader would first read the list of every image
// format plugin on the system, which costs start-up more than the picture itself.
QIcon programIcon()
{
    QFile file(kIconResource);
    if (!file.open(QIODevice::ReadOnly))
        return QIcon();
    const QByteArray bytes = file.readAll();
    const AlphaImage picture =
        AlphaImage::FromMemory(reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size()));
    return picture.Empty() ? QIcon() : QIcon(QPixmap::fromImage(picture.MakeArgbImage()));
}

} // namespace

QPalette SkinPalette()
{
    QPalette palette;
    palette.setColor(QPalette::Window, kWalnut);
    palette.setColor(QPalette::WindowText, kCream);
    palette.setColor(QPalette::Base, kWalnutDark);
    palette.setColor(QPalette::AlternateBase, kWalnut);
    palette.setColor(QPalette::Text, kCream);
    palette.setColor(QPalette::PlaceholderText, kCreamDim);
    palette.setColor(QPalette::Button, kWalnutLight);
    palette.setColor(QPalette::ButtonText, kCream);
    palette.setColor(QPalette::BrightText, kAmberGlow);
    palette.setColor(QPalette::Light, kSeam.lighter(130));
    palette.setColor(QPalette::Midlight, kSeam);
    palette.setColor(QPalette::Mid, kWalnutLight);
    palette.setColor(QPalette::Dark, kWalnutDark);
    palette.setColor(QPalette::Shadow, kInk);
    palette.setColor(QPalette::Highlight, kAmber);
    palette.setColor(QPalette::HighlightedText, kOnAmber);
    palette.setColor(QPalette::Link, kAmber);
    palette.setColor(QPalette::LinkVisited, kAmberDeep);
    palette.setColor(QPalette::ToolTipBase, kWalnutDark);
    palette.setColor(QPalette::ToolTipText, kCream);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, kFaded);
    palette.setColor(QPalette::Disabled, QPalette::Highlight, kSeam);
    palette.setColor(QPalette::Disabled, QPalette::HighlightedText, kCreamDim);
    return palette;
}

void ApplyProgramStyle()
{
    // Fusion draws every standard widget from the palette alone, on any desktop.
    if (QApplication::style()->name().compare("Fusion", Qt::CaseInsensitive) != 0)
        if (QStyle* fusion = QStyleFactory::create("Fusion"))
            QApplication::setStyle(fusion);
    QApplication::setPalette(SkinPalette());
    QApplication::setWindowIcon(programIcon());
}
