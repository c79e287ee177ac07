// Drawing of the skin. Buttons are drawn over a crop of the area they sit on,
// so their rounded corners blend into it.
#include "tools/skin/SkinArt.h"

#include "chords/Notes.h"
#include "layout/Layout.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRandomGenerator>

#include <cmath>
#include <functional>

namespace skin {
namespace {

using layout::Rect;

// The palette: walnut and ebony, ivory, and one amber accent.
const QColor walnutDark(0x1a, 0x13, 0x0e);
const QColor walnut(0x2a, 0x1f, 0x17);
const QColor walnutLight(0x3b, 0x2c, 0x21);
const QColor seam(0x4d, 0x3b, 0x2c);
const QColor ink(0x0f, 0x0b, 0x08);
const QColor cream(0xef, 0xe2, 0xc8);
const QColor creamDim(0xb9, 0xa7, 0x88);
const QColor amber(0xf0, 0xa8, 0x3c);
const QColor amberDeep(0xc9, 0x80, 0x2a);
const QColor amberGlow(0xff, 0xd0, 0x7a);
const QColor caption(0xc8, 0x92, 0x48);

enum class Look { Idle, Hover, Pressed };

// A w x h picture (in the layout's pixels) drawn at scale: scale times as many pixels,
// with the scale as its device pixel ratio, so every drawing below works in layout pixels.
QImage canvas(int w, int h, int scale, const QColor& fill = walnutDark)
{
    QImage image(w * scale, h * scale, QImage::Format_RGB32);
    image.setDevicePixelRatio(scale);
    image.fill(fill);
    return image;
}

// A picture's size and rectangle in layout pixels, whatever its scale.
QSize logicalSize(const QImage& image)
{
    return image.deviceIndependentSize().toSize();
}

QRect logicalRect(const QImage& image)
{
    return QRect(QPoint(0, 0), logicalSize(image));
}

QFont uiFont(int pixels, bool bold = true, qreal spacing = 0)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setStyleStrategy(QFont::PreferAntialias);
    if (spacing != 0)
        font.setLetterSpacing(QFont::AbsoluteSpacing, spacing);
    return font;
}

void setup(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
}

// Fine horizontal grain over a wooden surface; seeded, so every build draws the same.
void grain(QPainter& p, const QRect& r, quint32 seed, int strength = 10)
{
    QRandomGenerator random(seed);
    p.save();
    p.setClipRect(r);
    for (int y = r.top(); y <= r.bottom(); ++y) {
        const int a = int(random.bounded(strength));
        const bool light = random.bounded(2) == 0;
        p.setPen(QColor(light ? 255 : 0, light ? 220 : 0, light ? 180 : 0, a));
        const double wave = random.bounded(6.0);
        QPainterPath line;
        line.moveTo(r.left(), y + 0.5);
        for (int x = r.left(); x <= r.right() + 40; x += 40)
            line.lineTo(x, y + 0.5 + std::sin((x + seed % 97) / 90.0 + wave) * 0.8);
        p.drawPath(line);
    }
    p.restore();
}

void woodPanel(QPainter& p, const QRect& r, const QColor& top, const QColor& bottom, quint32 seed)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.fillRect(r, g);
    grain(p, r, seed);
}

// A recessed trough that groups controls.
void trough(QPainter& p, const QRectF& r, qreal radius = 6)
{
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x0b, 0x08, 0x06));
    p.drawRoundedRect(r, radius, radius);
    p.setPen(QPen(QColor(0, 0, 0, 160), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    p.setPen(QPen(QColor(0x5a, 0x46, 0x34, 150), 1));
    p.drawLine(QPointF(r.left() + radius, r.bottom() + 0.5), QPointF(r.right() - radius, r.bottom() + 0.5));
    p.restore();
}

// A muted caption in small letter-spaced capitals.
void smallCaption(QPainter& p, const QRect& r, int flags, const QString& text)
{
    p.save();
    p.setFont(uiFont(8, true, 1.2));
    p.setPen(QColor(0x8f, 0x74, 0x52));
    p.drawText(r, flags, text);
    p.restore();
}

// A column of the window: dark walnut, lighter at the top.
QImage columnPanel(int w, int h, int scale, quint32 seed)
{
    QImage image = canvas(w, h, scale);
    QPainter p(&image);
    setup(p);
    woodPanel(p, logicalRect(image), QColor(0x26, 0x1c, 0x15), QColor(0x19, 0x12, 0x0d), seed);
    return image;
}

// A heading in small amber capitals with a rule running on to the right edge.
void heading(QPainter& p, const QString& text, int x, int baseline, int right)
{
    p.save();
    const QFont font = uiFont(10, true, 1.6);
    p.setFont(font);
    p.setPen(caption);
    p.drawText(QPoint(x, baseline), text);
    const int end = x + QFontMetrics(font).horizontalAdvance(text) + 6;
    QLinearGradient g(end, 0, right, 0);
    g.setColorAt(0, QColor(caption.red(), caption.green(), caption.blue(), 150));
    g.setColorAt(1, QColor(caption.red(), caption.green(), caption.blue(), 0));
    p.fillRect(QRectF(end, baseline - 4, right - end, 1), g);
    p.restore();
}

// The face of a skinned button in one of its looks.
void buttonFace(QPainter& p, const QRectF& r, Look look, qreal radius = 4)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    QColor border;
    switch (look) {
    case Look::Idle:
        g.setColorAt(0, QColor(0x40, 0x31, 0x25));
        g.setColorAt(1, QColor(0x26, 0x1c, 0x15));
        border = QColor(0x5c, 0x47, 0x35);
        break;
    case Look::Hover:
        g.setColorAt(0, QColor(0x6a, 0x4f, 0x38));
        g.setColorAt(1, QColor(0x40, 0x2f, 0x22));
        border = amber;
        break;
    case Look::Pressed:
        g.setColorAt(0, QColor(0x17, 0x10, 0x0b));
        g.setColorAt(1, QColor(0x2a, 0x1e, 0x14));
        border = amberDeep;
        break;
    }
    p.save();
    p.setPen(QPen(border, 1));
    p.setBrush(g);
    p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    if (look != Look::Pressed) {
        // A highlight along the top edge makes the face stand up.
        p.setPen(QPen(QColor(255, 230, 190, look == Look::Hover ? 70 : 40), 1));
        p.drawLine(QPointF(r.left() + radius, r.top() + 1.5), QPointF(r.right() - radius, r.top() + 1.5));
    }
    p.restore();
}

// The lit face of a selected chord-type or category button.
void amberFace(QPainter& p, const QRectF& r)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, QColor(0xf7, 0xc4, 0x60));
    g.setColorAt(1, QColor(0xd0, 0x88, 0x2c));
    p.setPen(QPen(amberGlow, 1));
    p.setBrush(g);
    p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
}

// The amber indicator of a pressed or checked top-bar button.
void ledBar(QPainter& p, const QRectF& r)
{
    const QRectF bar(r.left() + 8, r.bottom() - 5, r.width() - 16, 2);
    QLinearGradient g(bar.topLeft(), bar.topRight());
    g.setColorAt(0, QColor(amber.red(), amber.green(), amber.blue(), 40));
    g.setColorAt(0.5, amberGlow);
    g.setColorAt(1, QColor(amber.red(), amber.green(), amber.blue(), 40));
    p.fillRect(bar, g);
    p.fillRect(bar.adjusted(0, -1, 0, 1), QColor(amber.red(), amber.green(), amber.blue(), 40));
}

QColor textColour(Look look)
{
    switch (look) {
    case Look::Idle:
        return QColor(0xdc, 0xcb, 0xab);
    case Look::Hover:
        return QColor(0xff, 0xf4, 0xde);
    case Look::Pressed:
        return amberGlow;
    }
    return cream;
}

// The part of an area picture under a control, at the area's scale.
QImage crop(const QImage& area, const Rect& r)
{
    const int scale = int(area.devicePixelRatio());
    return area.copy(r.x * scale, r.y * scale, r.w * scale, r.h * scale);
}

QImage canvas(const layout::Picture& picture, int scale, const QColor& fill = walnutDark)
{
    return canvas(picture.w, picture.h, scale, fill);
}

QString latin1(std::string_view text)
{
    return QString::fromLatin1(text.data(), int(text.size()));
}

std::string fileOf(const layout::Picture& picture)
{
    return std::string(picture.file);
}

// A trough around a run of buttons on the top bar, from the first to the last.
QRectF around(const layout::SkinButton& first, const layout::SkinButton& last)
{
    return QRectF(first.place.x - 4, first.place.y - 4, last.place.Right() - first.place.x + 8, first.place.h + 8);
}

// ---- the top bar ----------------------------------------------------------

QImage controlsArea(int scale)
{
    QImage image = canvas(layout::TopAreaPicture, scale);
    const int w = logicalSize(image).width();
    const int h = logicalSize(image).height();
    QPainter p(&image);
    setup(p);
    woodPanel(p, QRect(0, 0, w, h - 2), QColor(0x30, 0x24, 0x1b), QColor(0x17, 0x11, 0x0d), 11);
    p.fillRect(QRect(0, 0, w, 1), QColor(0x55, 0x42, 0x31));
    p.fillRect(QRect(0, h - 2, w, 1), amberDeep);
    p.fillRect(QRect(0, h - 1, w, 1), ink);
    const std::pair<QRectF, QString> groups[] = {
        {around(layout::ChordButton, layout::ArpeggioButton), QStringLiteral("PLAY AS")},
        {around(layout::NoteNamesButton, layout::ScaleDegreesButton), QStringLiteral("LABEL THE NOTES WITH")},
        {around(layout::SpeakerButton, layout::HelpButton), QStringLiteral("SOUND  \u00b7  SETUP  \u00b7  HELP")},
    };
    for (const auto& [place, caption] : groups)
        trough(p, place);
    for (const auto& [place, caption] : groups)
        smallCaption(p, QRect(int(place.x()), 2, int(place.width()), 10), Qt::AlignCenter, caption);
    return image;
}

void speakerIcon(QPainter& p, const QRectF& r, const QColor& colour)
{
    const QPointF c = r.center();
    QPainterPath body;
    body.moveTo(c.x() - 8, c.y() - 3);
    body.lineTo(c.x() - 4, c.y() - 3);
    body.lineTo(c.x() + 1, c.y() - 7);
    body.lineTo(c.x() + 1, c.y() + 7);
    body.lineTo(c.x() - 4, c.y() + 3);
    body.lineTo(c.x() - 8, c.y() + 3);
    body.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPath(body);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(colour, 1.4, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(c.x() - 3, c.y() - 5, 9, 10), -50 * 16, 100 * 16);
    p.drawArc(QRectF(c.x() - 4, c.y() - 8.5, 14, 17), -50 * 16, 100 * 16);
}

QImage topButton(const QImage& area, const layout::SkinButton& b, Look look)
{
    QImage image = crop(area, b.place);
    QPainter p(&image);
    setup(p);
    const QRectF r(0, 0, b.place.w, b.place.h);
    buttonFace(p, r.adjusted(1, 1, -1, -1), look);
    if (look == Look::Pressed)
        ledBar(p, r);
    const QString stem = latin1(b.stem);
    const QColor colour = textColour(look);
    if (stem == QLatin1String("Speaker")) {
        speakerIcon(p, r.adjusted(0, look == Look::Pressed ? 0 : -1, 0, -2), colour);
        return image;
    }
    static const std::vector<std::pair<QString, QString>> labels{
        {"Chord", "Chord"},        {"Arpeggio", "Arpeggio"}, {"NoteNames", "Note names"},
        {"ScaleDegrees", "Scale degrees"}, {"Settings", "Settings"}, {"Help", "Help"}};
    QString text = stem;
    for (const auto& [key, label] : labels)
        if (key == stem)
            text = label;
    p.setFont(uiFont(12));
    p.setPen(colour);
    p.drawText(r.adjusted(0, look == Look::Pressed ? 0 : -1, 0, -2), Qt::AlignCenter, text);
    return image;
}

// The product logo: a small keyboard badge and the word mark.
QImage tonveraLogo(const QImage& area, const Rect& place, Look look)
{
    QImage image = crop(area, place);
    QPainter p(&image);
    setup(p);
    const QRectF badge(2, 3, 28, 28);
    QLinearGradient g(badge.topLeft(), badge.bottomLeft());
    g.setColorAt(0, look == Look::Hover ? amberGlow : amber);
    g.setColorAt(1, amberDeep);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(badge, 6, 6);
    // Three keys with two black keys between them.
    p.setBrush(QColor(0xfb, 0xf3, 0xe2));
    for (int i = 0; i < 3; ++i)
        p.drawRoundedRect(QRectF(7 + i * 6.4, 8, 5.4, 18), 1, 1);
    p.setBrush(ink);
    p.drawRect(QRectF(11, 8, 3.6, 10));
    p.drawRect(QRectF(17.4, 8, 3.6, 10));
    const QFont font = uiFont(21, true, 2.4);
    p.setFont(font);
    if (look == Look::Hover) {
        p.setPen(QColor(amber.red(), amber.green(), amber.blue(), 70));
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                p.drawText(QPointF(38 + dx, 25 + dy), QStringLiteral("TONVERA"));
    }
    p.setPen(look == Look::Hover ? amberGlow : cream);
    p.drawText(QPointF(38, 25), QStringLiteral("TONVERA"));
    return image;
}

// The maker's mark: a round badge with the letters and the maker's line.
QImage makerLogo(const QImage& area, const Rect& place, Look look)
{
    QImage image = crop(area, place);
    QPainter p(&image);
    setup(p);
    const QPointF centre(27, 27.5);
    p.setPen(QPen(look == Look::Hover ? amber : QColor(0x8f, 0x74, 0x52), 2));
    p.setBrush(QColor(0x14, 0x0e, 0x0a));
    p.drawEllipse(centre, 20, 20);
    p.setPen(QPen(QColor(255, 230, 190, 40), 1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(centre, 16, 16);
    p.setFont(uiFont(17, true));
    p.setPen(look == Look::Hover ? amberGlow : cream);
    p.drawText(QRectF(7, 7, 40, 41), Qt::AlignCenter, QStringLiteral("nx"));
    p.setFont(uiFont(12, true, 1.5));
    p.drawText(QPointF(53, 26), QStringLiteral("NEXUS"));
    p.setFont(uiFont(9, false, 1.2));
    p.setPen(look == Look::Hover ? amber : creamDim);
    p.drawText(QPointF(53, 39), QStringLiteral("sound tools"));
    return image;
}

// ---- the chord-type column ------------------------------------------------

QImage typeChordsArea(const layout::Picture& picture, int scale)
{
    const bool piano = picture.file == layout::PianoChordTypeAreaPicture.file;
    const int w = picture.w;
    const int h = picture.h;
    QImage image = columnPanel(w, h, scale, piano ? 23 : 21);
    QPainter p(&image);
    setup(p);
    p.fillRect(QRect(w - 1, 0, 1, h), ink);
    p.fillRect(QRect(0, 0, 1, h), QColor(0x3d, 0x2e, 0x22));
    // The header with the category choosers.
    p.fillRect(QRect(0, 0, w, 48), QColor(0, 0, 0, 70));
    p.fillRect(QRect(0, 48, w, 1), QColor(0x4a, 0x39, 0x2a));
    smallCaption(p, QRect(8, 4, 173, 12), Qt::AlignLeft | Qt::AlignVCenter,
                 piano ? QStringLiteral("VOICING CATEGORY") : QStringLiteral("GUITAR STYLE"));
    trough(p, QRectF(6, 17, 177, 23), 4);
    // Each group of chord-type buttons under its heading.
    const char* const groups[] = {"MAJOR", "MINOR", "DOMINANT"};
    static_assert(std::size(groups) == layout::ChordTypeGroupTop.size(), "a heading for every group");
    for (std::size_t g = 0; g < std::size(groups); ++g)
        heading(p, groups[g], layout::ChordTypeColumnLeft[0], layout::ChordTypeGroupTop[g] - layout::HeadingRise, 174);
    // The reverse finder's own title, so its switch reads as a tool and not as a command.
    const Rect finder = layout::ReverseFinder.place;
    heading(p, QStringLiteral("CHORD FINDER"), finder.x, finder.y - layout::HeadingRise, finder.Right());
    return image;
}

void listGlyph(QPainter& p, const QRectF& r, const QColor& colour)
{
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    for (int i = 0; i < 3; ++i)
        p.drawRoundedRect(QRectF(r.center().x() - 4.5, r.center().y() - 4 + i * 3.5, 9, 1.6), 0.8, 0.8);
}

void downArrow(QPainter& p, const QPointF& centre, const QColor& colour, qreal size = 4)
{
    QPainterPath arrow;
    arrow.moveTo(centre.x() - size, centre.y() - size / 2);
    arrow.lineTo(centre.x() + size, centre.y() - size / 2);
    arrow.lineTo(centre.x(), centre.y() + size / 2 + 0.5);
    arrow.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPath(arrow);
}

// A chord-type button (its name written on it) or a list button (room for the
// program's text, and a drop-down arrow in its rightmost 19 pixels).
QImage chordTypeButton(const QImage& area, const layout::ChordTypeButton& b, Look look)
{
    using layout::ChordTypeButtonHeight;
    using layout::ListArrowLeft;
    using layout::ListTextLeft;
    const Rect place = layout::Place(b);
    QImage image = crop(area, place);
    QPainter p(&image);
    setup(p);
    const QRectF r(0, 0, place.w, place.h);
    if (!b.isList) {
        if (look == Look::Pressed) {
            amberFace(p, r);
        } else {
            buttonFace(p, r, look, 3);
        }
        p.setFont(uiFont(11));
        p.setPen(look == Look::Pressed ? QColor(0x1d, 0x12, 0x08) : textColour(look));
        p.drawText(r.adjusted(0, 0, 0, -1), Qt::AlignCenter, latin1(b.name));
        return image;
    }
    buttonFace(p, r, look == Look::Pressed ? Look::Idle : look, 3);
    if (look == Look::Pressed) {
        p.setPen(QPen(amber, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
        QPainterPath left;
        left.addRoundedRect(QRectF(1, 1, ListTextLeft - 3, ChordTypeButtonHeight - 2), 2, 2);
        p.fillPath(left, amber);
    }
    listGlyph(p, QRectF(1, 0, ListTextLeft - 3, ChordTypeButtonHeight),
              look == Look::Pressed ? QColor(0x1d, 0x12, 0x08) : (look == Look::Hover ? amberGlow : caption));
    p.fillRect(QRectF(ListArrowLeft, 3, 1, ChordTypeButtonHeight - 6),
               look == Look::Idle ? QColor(0x5c, 0x47, 0x35) : amberDeep);
    downArrow(p, QPointF(ListArrowLeft + 9.5, ChordTypeButtonHeight / 2.0),
              look == Look::Idle ? creamDim : (look == Look::Hover ? amberGlow : amber));
    return image;
}

QImage categoryButton(const QImage& area, const Rect& place, const QString& text, Look look)
{
    QImage image = crop(area, place);
    QPainter p(&image);
    setup(p);
    const QRectF r(0, 0, place.w, place.h);
    if (look == Look::Pressed) {
        amberFace(p, r);
    } else {
        buttonFace(p, r, look, 3);
    }
    p.setFont(uiFont(10, true, 1.0));
    p.setPen(look == Look::Pressed ? QColor(0x1d, 0x12, 0x08) : textColour(look));
    p.drawText(r, Qt::AlignCenter, text);
    return image;
}

// A light label field: the program writes its text on it in the default black font.
void labelField(QPainter& p, const QRectF& r, Look look)
{
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    switch (look) {
    case Look::Idle:
        g.setColorAt(0, QColor(0xe4, 0xd5, 0xb6));
        g.setColorAt(1, QColor(0xc8, 0xb6, 0x92));
        break;
    case Look::Hover:
        g.setColorAt(0, QColor(0xf6, 0xea, 0xcf));
        g.setColorAt(1, QColor(0xdc, 0xca, 0xa5));
        break;
    case Look::Pressed:
        g.setColorAt(0, QColor(0xf7, 0xc4, 0x60));
        g.setColorAt(1, QColor(0xd8, 0x93, 0x34));
        break;
    }
    p.setPen(QPen(look == Look::Idle ? QColor(0x6e, 0x56, 0x3c) : amberDeep, 1));
    p.setBrush(g);
    p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
}

// The piano's category filter: a label field with a drop-down arrow.
QImage categoryFilterButton(const QImage& area, Look look)
{
    const Rect place = layout::CategoryFilter.place;
    QImage image = crop(area, place);
    QPainter p(&image);
    setup(p);
    const QRectF r(0, 0, place.w, place.h);
    labelField(p, r, look);
    p.fillRect(QRectF(r.width() - layout::CategoryArrowWidth, 3, 1, r.height() - 6), QColor(0x6e, 0x56, 0x3c, 160));
    downArrow(p, QPointF(r.width() - layout::CategoryArrowWidth / 2.0, r.height() / 2.0), QColor(0x2a, 0x1c, 0x10));
    return image;
}

// The reverse-finder switch: an indicator lamp, then the field for the mode's name.
QImage reverseFinderButton(const QImage& area, Look look)
{
    using layout::ReverseFinderTextLeft;
    const Rect place = layout::ReverseFinder.place;
    QImage image = crop(area, place);
    QPainter p(&image);
    setup(p);
    labelField(p, QRectF(ReverseFinderTextLeft - 3, 0, place.w - ReverseFinderTextLeft + 3, place.h),
               look == Look::Pressed ? Look::Hover : look);
    const QPointF lamp(8, place.h / 2.0);
    if (look == Look::Pressed) {
        QRadialGradient glow(lamp, 9);
        glow.setColorAt(0, QColor(255, 120, 60, 200));
        glow.setColorAt(1, QColor(255, 80, 30, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(glow);
        p.drawEllipse(lamp, 9, 9);
    }
    QRadialGradient g(lamp - QPointF(1.5, 1.5), 6);
    if (look == Look::Pressed) {
        g.setColorAt(0, QColor(0xff, 0xe0, 0xb0));
        g.setColorAt(0.5, QColor(0xff, 0x6a, 0x2a));
        g.setColorAt(1, QColor(0xc0, 0x30, 0x10));
    } else {
        g.setColorAt(0, look == Look::Hover ? QColor(0xa0, 0x50, 0x30) : QColor(0x70, 0x34, 0x22));
        g.setColorAt(1, QColor(0x30, 0x12, 0x0a));
    }
    p.setPen(QPen(ink, 1));
    p.setBrush(g);
    p.drawEllipse(lamp, 5, 5);
    // The right end opens the mode menu while the finder is on: an arrow that lights up then.
    const qreal arrowLeft = place.w - layout::CategoryArrowWidth;
    p.fillRect(QRectF(arrowLeft, 3, 1, place.h - 6), QColor(0x6e, 0x56, 0x3c, 160));
    downArrow(p, QPointF(arrowLeft + layout::CategoryArrowWidth / 2.0, place.h / 2.0),
              look == Look::Pressed ? QColor(0x2a, 0x1c, 0x10) : QColor(0x2a, 0x1c, 0x10, 90));
    return image;
}

// ---- the root column ------------------------------------------------------

QImage rootArea(int scale)
{
    QImage image = columnPanel(layout::RootAreaPicture.w, layout::RootAreaPicture.h, scale, 31);
    QPainter p(&image);
    setup(p);
    p.fillRect(QRect(logicalSize(image).width() - 1, 0, 1, logicalSize(image).height()), ink);
    smallCaption(p, QRect(8, 4, 116, 12), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("ROOT"));

    // A keyboard standing on its end: naturals as ivory keys, accidentals on ebony.
    std::vector<int> naturals;
    for (const layout::Point& root : layout::RootCentres)
        if (root.x == layout::NaturalColumnX)
            naturals.push_back(root.y);
    const int left = 8;
    const int right = 125;
    trough(p, QRectF(left - 3, naturals.front() - 30, right - left + 6, naturals.back() - naturals.front() + 60), 5);
    for (std::size_t i = 0; i < naturals.size(); ++i) {
        const int top = i == 0 ? naturals[0] - 27 : (naturals[i - 1] + naturals[i]) / 2;
        const int bottom = i + 1 == naturals.size() ? naturals[i] + 27 : (naturals[i] + naturals[i + 1]) / 2;
        QLinearGradient g(left, 0, right, 0);
        g.setColorAt(0, QColor(0xc9, 0xba, 0x9c));
        g.setColorAt(0.15, QColor(0xe6, 0xda, 0xc2));
        g.setColorAt(1, QColor(0xf1, 0xe7, 0xd2));
        QPainterPath key;
        key.addRoundedRect(QRectF(left, top + 0.5, right - left, bottom - top - 1), 3, 3);
        p.fillPath(key, g);
        p.fillRect(QRectF(left, bottom - 1.5, right - left, 1), QColor(0x8c, 0x7a, 0x60));
    }
    for (const layout::Point& root : layout::RootCentres) {
        if (root.x != layout::FlatColumnX)
            continue;
        const QRectF key(left, root.y - 13, 84, 26);
        p.fillRect(key.adjusted(2, 2, 2, 3), QColor(0, 0, 0, 70));
        QLinearGradient g(key.topLeft(), key.bottomLeft());
        g.setColorAt(0, QColor(0x3c, 0x33, 0x2d));
        g.setColorAt(0.25, QColor(0x20, 0x1a, 0x16));
        g.setColorAt(1, QColor(0x12, 0x0e, 0x0b));
        QPainterPath path;
        path.addRoundedRect(key, 2.5, 2.5);
        p.fillPath(path, g);
        p.fillRect(QRectF(key.right() - 3, key.top() + 2, 1, key.height() - 4), QColor(255, 255, 255, 25));
        p.fillRect(QRectF(55, key.top() + 5, 1, key.height() - 10), QColor(255, 255, 255, 22));
    }
    // Above the columns: which spelling each column holds.
    p.setFont(uiFont(20, true));
    p.setPen(amber);
    const std::pair<int, QString> legend[] = {{layout::FlatColumnX, QStringLiteral("\u266d")},
                                              {layout::SharpColumnX, QStringLiteral("\u266f")},
                                              {layout::NaturalColumnX, QStringLiteral("\u266e")}};
    for (const auto& [x, glyph] : legend)
        p.drawText(QRect(x - 12, 28, 24, 26), Qt::AlignCenter, glyph);

    // The names, in the same font the program writes the selected one in.
    p.setFont(uiFont(13));
    for (std::size_t i = 0; i < layout::RootCentres.size(); ++i) {
        const layout::Point root = layout::RootCentres[i];
        const QString name = latin1(RootTable[i].name);
        const QFontMetrics metrics(p.font());
        const int w = metrics.horizontalAdvance(name);
        p.setPen(root.x == layout::NaturalColumnX ? QColor(0x3a, 0x2a, 0x1a) : QColor(0xd8, 0xc8, 0xa8));
        p.drawText(QPoint(root.x - w / 2, root.y - metrics.height() / 2 + metrics.ascent()), name);
    }
    return image;
}

// The glow behind the selected root: deep red with an amber rim, fading out.
QImage spot(int scale)
{
    const QSizeF size(layout::RootSpotPicture.w, layout::RootSpotPicture.h);
    QImage image = canvas(layout::RootSpotPicture, scale).convertToFormat(QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    setup(p);
    QRadialGradient g(QPointF(size.width() / 2, size.height() / 2), size.width() / 2);
    g.setColorAt(0, QColor(0x9a, 0x1c, 0x0c, 250));
    g.setColorAt(0.5, QColor(0x7c, 0x16, 0x08, 245));
    g.setColorAt(0.7, QColor(0xe0, 0x78, 0x20, 220));
    g.setColorAt(0.82, QColor(0xf0, 0xa0, 0x3c, 120));
    g.setColorAt(1, QColor(0xf0, 0xa0, 0x3c, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(QRectF(QPointF(0, 0), size));
    return image;
}

// ---- the play area --------------------------------------------------------

QImage playChordArea(int scale)
{
    const Rect playChordButton = layout::PlayChordButton;
    const Rect thisChordContains = layout::ThisChordContainsButton.place;
    const Rect chordInfo = layout::ChordInfoImage;
    const Rect variationList = layout::VariationList;
    QImage image = columnPanel(layout::PlayAreaPicture.w, layout::PlayAreaPicture.h, scale, 41);
    QPainter p(&image);
    setup(p);
    smallCaption(p, QRect(10, 4, 300, 12), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("CHORD"));
    trough(p, QRectF(playChordButton.x - 3, playChordButton.y - 3, playChordButton.w + 6, playChordButton.h + 6), 6);
    trough(p, QRectF(thisChordContains.x - 2, thisChordContains.y - 2, layout::ChordInfoRight - thisChordContains.x + 4,
                     thisChordContains.h + 4), 5);
    // The strip under the chord's degrees and note names: plain, for the white text.
    p.fillRect(QRect(chordInfo.x, chordInfo.y, chordInfo.w, chordInfo.h), QColor(0x0d, 0x09, 0x07));
    p.fillRect(QRect(chordInfo.x, chordInfo.y + chordInfo.h / 2, chordInfo.w, 1), QColor(0x2a, 0x20, 0x18));
    smallCaption(p, QRect(10, 256, 300, 11), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("VARIATIONS"));
    trough(p, QRectF(variationList.x - 3, variationList.y - 3, variationList.w + 6, variationList.h + 6), 5);
    p.fillRect(QRect(variationList.x, variationList.y, variationList.w, variationList.h), QColor(0, 15, 0));
    p.fillRect(QRect(0, 0, 1, logicalSize(image).height()), QColor(0x3d, 0x2e, 0x22));
    return image;
}

// The display the chord's name is written on; a press on it plays the chord.
QImage playChordInitial(int scale)
{
    QImage image = canvas(layout::PlayChordPicture, scale, QColor(0x0c, 0x09, 0x07));
    const int w = logicalSize(image).width();
    const int h = logicalSize(image).height();
    QPainter p(&image);
    setup(p);
    QRadialGradient g(QPointF(160, 60), 420);
    g.setColorAt(0, QColor(0x2a, 0x1d, 0x13));
    g.setColorAt(0.6, QColor(0x14, 0x0e, 0x0a));
    g.setColorAt(1, QColor(0x0a, 0x07, 0x05));
    p.fillRect(logicalRect(image), g);
    p.setPen(QPen(QColor(0x5a, 0x42, 0x2c), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(0.5, 0.5, w - 1, h - 1), 5, 5);
    // A glass reflection across the top.
    QLinearGradient shine(0, 0, 0, 60);
    shine.setColorAt(0, QColor(255, 240, 220, 18));
    shine.setColorAt(1, QColor(255, 240, 220, 0));
    p.fillRect(QRectF(2, 2, w - 4, 58), shine);
    const QPointF button(w - 38, h - 34);
    p.setPen(QPen(QColor(0x8a, 0x66, 0x38), 1.5));
    p.setBrush(QColor(0x1c, 0x14, 0x0e));
    p.drawEllipse(button, 18, 18);
    QPainterPath triangle;
    triangle.moveTo(button.x() - 5, button.y() - 8);
    triangle.lineTo(button.x() + 9, button.y());
    triangle.lineTo(button.x() - 5, button.y() + 8);
    triangle.closeSubpath();
    p.fillPath(triangle, amber);
    p.setFont(uiFont(10, true, 1.4));
    p.setPen(QColor(0x8f, 0x74, 0x52));
    p.drawText(QRectF(0, button.y() - 8, button.x() - 26, 16), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("CLICK TO PLAY"));
    return image;
}

QImage thisChordContainsButton(Look look, int scale)
{
    const Rect place = layout::ThisChordContainsButton.place;
    QImage image = canvas(place.w, place.h, scale, Qt::black);
    QPainter p(&image);
    setup(p);
    const QRectF r(0, 0, place.w, place.h);
    buttonFace(p, r.adjusted(1, 1, -1, -1), look, 5);
    if (look == Look::Pressed)
        ledBar(p, r.adjusted(0, 0, 0, -1));
    // A keyboard glyph, then the caption.
    const QColor colour = textColour(look);
    p.setPen(QPen(colour, 1));
    p.setBrush(Qt::NoBrush);
    const QRectF keys(14, 14, 24, 20);
    p.drawRoundedRect(keys, 2, 2);
    for (int i = 1; i < 4; ++i)
        p.drawLine(QPointF(keys.left() + i * 6, keys.top() + 10), QPointF(keys.left() + i * 6, keys.bottom()));
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    for (int i = 0; i < 3; ++i)
        p.drawRect(QRectF(keys.left() + 4 + i * 6, keys.top(), 3.5, 10));
    p.setFont(uiFont(12));
    p.setPen(colour);
    p.drawText(QRectF(48, 8, 118, 16), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("This chord"));
    p.drawText(QRectF(48, 24, 118, 16), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("contains \u203a"));
    return image;
}

// ---- the instruments ------------------------------------------------------

QImage keyboardArea(int scale)
{
    QImage image = canvas(layout::KeyboardPicture, scale, ink);
    const int w = logicalSize(image).width();
    const int h = logicalSize(image).height();
    QPainter p(&image);
    setup(p);
    const int keysTop = 50;
    const int keysBottom = h - 7;
    // The cheeks at both ends of the keys.
    const int keysLeft = 16;
    const int keysRight = w - 18;
    // The fallboard and its felt.
    woodPanel(p, QRect(0, 0, w, keysTop), QColor(0x33, 0x25, 0x1b), QColor(0x1e, 0x16, 0x10), 51);
    p.fillRect(QRect(0, keysTop - 5, w, 5), QColor(0x5c, 0x14, 0x12));
    p.fillRect(QRect(0, keysTop - 5, w, 1), QColor(0x2a, 0x08, 0x06));
    p.setFont(uiFont(11, true, 4));
    p.setPen(QColor(0xb8, 0x8a, 0x44));
    p.drawText(QRect(0, 10, w, 24), Qt::AlignCenter, QStringLiteral("TONVERA"));
    woodPanel(p, QRect(0, keysTop, keysLeft, h - keysTop), QColor(0x2c, 0x20, 0x17), QColor(0x1a, 0x13, 0x0e), 52);
    woodPanel(p, QRect(keysRight, keysTop, w - keysRight, h - keysTop), QColor(0x2c, 0x20, 0x17),
              QColor(0x1a, 0x13, 0x0e), 53);

    // White keys run between the midpoints of their neighbours' centres.
    const auto keyX = [](int note) { return layout::KeyCentre(note)->x; };
    std::vector<int> whites;
    for (int note = layout::FirstKey; note <= layout::LastKey; ++note)
        if (!layout::IsBlackKey(note))
            whites.push_back(note);
    for (std::size_t i = 0; i < whites.size(); ++i) {
        const int x = keyX(whites[i]);
        const int left = i == 0 ? keysLeft : (keyX(whites[i - 1]) + x + 1) / 2;
        const int right = i + 1 == whites.size() ? keysRight : (x + keyX(whites[i + 1]) + 1) / 2;
        QLinearGradient g(0, keysTop, 0, keysBottom);
        g.setColorAt(0, QColor(0xe9, 0xdf, 0xcb));
        g.setColorAt(0.15, QColor(0xf6, 0xee, 0xdf));
        g.setColorAt(1, QColor(0xe8, 0xdc, 0xc3));
        p.fillRect(QRect(left, keysTop, right - left, keysBottom - keysTop), g);
        p.fillRect(QRect(left, keysBottom - 5, right - left, 5), QColor(0xcc, 0xbc, 0x9c));
        p.fillRect(QRect(left, keysTop, 1, keysBottom - keysTop), QColor(0x7d, 0x6c, 0x56));
        const int note = whites[i];
        if (note % 12 == 0) {
            p.setFont(uiFont(9, true));
            p.setPen(QColor(0x9c, 0x88, 0x6c));
            p.drawText(QRect(left, keysBottom - 19, right - left, 12), Qt::AlignCenter,
                       QStringLiteral("C%1").arg(note / 12 - 1));
        }
    }
    p.fillRect(QRect(keysLeft, keysTop, keysRight - keysLeft, 3), QColor(0, 0, 0, 60));
    // Black keys are centred on their marker positions.
    for (int note = layout::FirstKey; note <= layout::LastKey; ++note) {
        if (!layout::IsBlackKey(note))
            continue;
        const QRectF key(keyX(note) - 10, keysTop, 20, 70);
        p.fillRect(key.adjusted(2, 0, 3, 3), QColor(0, 0, 0, 70));
        QLinearGradient g(key.topLeft(), key.topRight());
        g.setColorAt(0, QColor(0x1a, 0x15, 0x12));
        g.setColorAt(0.5, QColor(0x2c, 0x25, 0x20));
        g.setColorAt(1, QColor(0x10, 0x0c, 0x0a));
        QPainterPath path;
        path.addRoundedRect(key.adjusted(0, -3, 0, 0), 2, 2);
        p.fillPath(path, g);
        p.fillRect(QRectF(key.left() + 3, key.bottom() - 8, key.width() - 6, 6), QColor(0x3e, 0x36, 0x30));
        p.fillRect(QRectF(key.left() + 4, keysTop + 2, 2, key.height() - 14), QColor(255, 255, 255, 28));
    }
    return image;
}

int fretWireX(int fret)
{
    using layout::FretX;
    // Fret 0 is the nut; each wire lies halfway between two marker centres.
    const int last = layout::FretCount - 1;
    if (fret == last)
        return FretX[last] + (FretX[last] - FretX[last - 1]) / 2;
    return (FretX[fret] + FretX[fret + 1]) / 2;
}

QImage fretboardArea(int scale)
{
    using layout::FretX;
    using layout::StringY;
    QImage image = canvas(layout::FretboardPicture, scale, ink);
    const int w = logicalSize(image).width();
    QPainter p(&image);
    setup(p);
    const int boardTop = 5;
    const int boardBottom = 154;
    const int nut = fretWireX(0);
    // The headstock end, then the rosewood board.
    woodPanel(p, QRect(0, boardTop - 3, nut, boardBottom - boardTop + 6), QColor(0x2e, 0x21, 0x17),
              QColor(0x1f, 0x16, 0x10), 61);
    QLinearGradient board(0, boardTop, 0, boardBottom);
    board.setColorAt(0, QColor(0x3a, 0x24, 0x18));
    board.setColorAt(0.5, QColor(0x30, 0x1d, 0x13));
    board.setColorAt(1, QColor(0x26, 0x17, 0x0f));
    p.fillRect(QRect(nut, boardTop, w - nut, boardBottom - boardTop), board);
    grain(p, QRect(nut, boardTop, w - nut, boardBottom - boardTop), 62, 16);
    p.fillRect(QRect(nut, boardTop, w - nut, 1), QColor(0xc8, 0xb8, 0x98));
    p.fillRect(QRect(nut, boardBottom - 1, w - nut, 1), QColor(0xc8, 0xb8, 0x98));

    // Position dots, between the middle strings; two at the twelfth fret.
    const auto dot = [&](int fret, double y) {
        if (fret >= layout::FretCount)
            return;
        QRadialGradient g(QPointF(FretX[fret] - 1.5, y - 1.5), 7);
        g.setColorAt(0, QColor(0xfb, 0xf6, 0xea));
        g.setColorAt(1, QColor(0xc9, 0xbe, 0xa6));
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawEllipse(QPointF(FretX[fret], y), 6, 6);
    };
    const double middle = (StringY[2] + StringY[3]) / 2.0;
    for (int fret : {3, 5, 7, 9, 15})
        dot(fret, middle);
    dot(12, (StringY[1] + StringY[2]) / 2.0);
    dot(12, (StringY[3] + StringY[4]) / 2.0);

    // The nut (bone) and the nickel-silver fret wires.
    p.fillRect(QRect(nut - 3, boardTop - 2, 7, boardBottom - boardTop + 4), QColor(0xe8, 0xde, 0xc6));
    p.fillRect(QRect(nut + 3, boardTop - 2, 1, boardBottom - boardTop + 4), QColor(0x8c, 0x80, 0x68));
    for (int fret = 1; fret < layout::FretCount; ++fret) {
        const int x = fretWireX(fret);
        p.fillRect(QRect(x - 2, boardTop, 1, boardBottom - boardTop), QColor(0x14, 0x0c, 0x08));
        p.fillRect(QRect(x - 1, boardTop, 3, boardBottom - boardTop), QColor(0xc4, 0xc4, 0xc0));
        p.fillRect(QRect(x, boardTop, 1, boardBottom - boardTop), QColor(0xf2, 0xf2, 0xee));
        p.fillRect(QRect(x + 2, boardTop, 1, boardBottom - boardTop), QColor(0, 0, 0, 120));
    }

    // Strings: the three lowest wound in bronze, the three highest plain steel.
    const std::array<double, 6> thickness{3.2, 2.7, 2.2, 1.6, 1.3, 1.0};
    static_assert(thickness.size() == layout::StringCount, "a thickness for every string");
    for (int s = 0; s < layout::StringCount; ++s) {
        const double y = StringY[s];
        const bool wound = s < 3;
        p.setPen(QPen(QColor(0, 0, 0, 110), thickness[s]));
        p.drawLine(QPointF(10, y + 1.6), QPointF(w, y + 1.6));
        p.setPen(QPen(wound ? QColor(0xd9, 0xb2, 0x78) : QColor(0xe4, 0xe4, 0xe0), thickness[s]));
        p.drawLine(QPointF(10, y), QPointF(w, y));
        p.setBrush(QColor(0xb8, 0xb0, 0xa0));
        p.setPen(QPen(QColor(0x40, 0x38, 0x30), 1));
        p.drawEllipse(QPointF(10, y), 4, 4);
    }

    // Fret numbers under the board.
    p.setFont(uiFont(11, true));
    p.setPen(QColor(0x9c, 0x80, 0x5a));
    for (int fret : {0, 3, 5, 7, 9, 12, 15})
        if (fret < layout::FretCount)
            p.drawText(QRect(FretX[fret] - 20, 162, 40, 20), Qt::AlignCenter, QString::number(fret));
    return image;
}

// ---- the about window -----------------------------------------------------

QImage aboutPicture(int scale)
{
    QImage image = canvas(layout::AboutPicture, scale);
    const int aboutWidth = logicalSize(image).width();
    const int aboutHeight = logicalSize(image).height();
    QPainter p(&image);
    setup(p);
    woodPanel(p, logicalRect(image), QColor(0x2e, 0x22, 0x19), QColor(0x14, 0x0e, 0x0a), 71);
    p.setPen(QPen(amberDeep, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, aboutWidth - 1, aboutHeight - 1));
    // A strip of keys across the top.
    for (int i = 0; i < 27; ++i) {
        const QRectF key(8 + i * 13.4, 10, 12.4, 34);
        p.fillRect(key, QColor(0xee, 0xe4, 0xd0));
    }
    for (int i = 0; i < 26; ++i) {
        const int pc = i % 7;
        if (pc == 2 || pc == 6)
            continue;
        p.fillRect(QRectF(8 + i * 13.4 + 8.6, 10, 8, 20), QColor(0x16, 0x11, 0x0e));
    }
    p.fillRect(QRect(8, 44, 360, 2), amberDeep);
    p.setFont(uiFont(30, true, 4));
    p.setPen(cream);
    p.drawText(QRect(18, 52, 340, 36), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("TONVERA"));
    p.setFont(uiFont(12, false, 0.5));
    p.setPen(amber);
    p.drawText(QRect(20, 88, 340, 18), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Chord reference for piano and guitar"));
    p.fillRect(QRect(18, 110, 340, 1), QColor(0x4a, 0x39, 0x2a));
    return image;
}

void addLooks(std::vector<Picture>& pictures, const std::string& stem, bool pressed,
              const std::function<QImage(Look)>& draw)
{
    pictures.push_back({stem + "Initial.png", draw(Look::Idle)});
    pictures.push_back({stem + "Mouse.png", draw(Look::Hover)});
    if (pressed)
        pictures.push_back({stem + "Pressed.png", draw(Look::Pressed)});
}

} // namespace

std::vector<Picture> RenderSkin(int scale)
{
    std::vector<Picture> pictures;
    const QImage top = controlsArea(scale);
    const QImage column = typeChordsArea(layout::ChordTypeAreaPicture, scale);
    const QImage pianoColumn = typeChordsArea(layout::PianoChordTypeAreaPicture, scale);
    pictures.push_back({fileOf(layout::TopAreaPicture), top});
    pictures.push_back({fileOf(layout::ChordTypeAreaPicture), column});
    pictures.push_back({fileOf(layout::PianoChordTypeAreaPicture), pianoColumn});
    pictures.push_back({fileOf(layout::RootAreaPicture), rootArea(scale)});
    pictures.push_back({fileOf(layout::RootSpotPicture), spot(scale)});
    pictures.push_back({fileOf(layout::KeyboardPicture), keyboardArea(scale)});
    pictures.push_back({fileOf(layout::FretboardPicture), fretboardArea(scale)});
    pictures.push_back({fileOf(layout::PlayAreaPicture), playChordArea(scale)});
    pictures.push_back({fileOf(layout::PlayChordPicture), playChordInitial(scale)});
    pictures.push_back({fileOf(layout::AboutPicture), aboutPicture(scale)});

    const auto addButton = [&](const layout::SkinButton& b, const std::function<QImage(Look)>& draw) {
        addLooks(pictures, std::string(b.stem), layout::HasPressedPicture(b), draw);
    };
    for (const layout::SkinButton& b : layout::TopBarButtons) {
        if (b.name == layout::TonveraPanel.name)
            addButton(b, [&](Look look) { return tonveraLogo(top, b.place, look); });
        else if (b.name == layout::NXLogo.name)
            addButton(b, [&](Look look) { return makerLogo(top, b.place, look); });
        else
            addButton(b, [&](Look look) { return topButton(top, b, look); });
    }
    addButton(layout::FolkButton, [&](Look l) { return categoryButton(column, layout::FolkButton.place, "FOLK", l); });
    addButton(layout::PopButton, [&](Look l) { return categoryButton(column, layout::PopButton.place, "POP", l); });
    addButton(layout::JazzButton, [&](Look l) { return categoryButton(column, layout::JazzButton.place, "JAZZ", l); });
    addButton(layout::CategoryFilter, [&](Look l) { return categoryFilterButton(pianoColumn, l); });
    addButton(layout::ReverseFinder, [&](Look l) { return reverseFinderButton(column, l); });
    addButton(layout::ThisChordContainsButton, [&](Look l) { return thisChordContainsButton(l, scale); });
    for (const layout::ChordTypeButton& b : layout::ChordTypeButtons)
        addLooks(pictures, std::string(b.name), true, [&](Look l) { return chordTypeButton(column, b, l); });
    return pictures;
}

} // namespace skin
