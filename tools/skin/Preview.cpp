// tonvera-preview PICSDIR OUT.png: composes the whole screen from the skin's pictures
// as the window places them, with a few buttons hovered or pressed and a chord marked
// on the instrument, to judge the skin by eye.
#include "chords/Notes.h"
#include "common/Vexel/src/PicUtils.h"
#include "layout/Layout.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>

#include <cstdio>
#include <stdexcept>
#include <string>

namespace {

using layout::Rect;

class Composer {
public:
    explicit Composer(std::string pics)
        : pics_(std::move(pics)), screen_(layout::GlobalPanel.w, layout::GlobalPanel.h, QImage::Format_RGB32)
    {
        screen_.fill(Qt::black);
    }

    QImage& Screen() { return screen_; }

    // Draws a picture opaque at a place of the window panel.
    void Put(const layout::Picture& picture, const Rect& place) { Put(std::string(picture.file), place.x, place.y); }
    void Put(const std::string& file, int x, int y)
    {
        QImage picture;
        LoadImageToBitmap(picture, pics_ + "/" + file);
        QPainter p(&screen_);
        p.drawImage(x, y, picture);
    }
    void PutAlpha(const std::string& file, int cx, int cy)
    {
        const AlphaImage image(pics_ + "/" + file);
        image.Draw(screen_, cx - image.Width() / 2, cy - image.Height() / 2);
    }

private:
    std::string pics_;
    QImage screen_;
};

QFont arial(int pixels, bool bold = false)
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

void centredText(QPainter& p, const QString& text, int cx, int cy)
{
    const QFontMetrics m(p.font());
    p.drawText(QPoint(cx - m.horizontalAdvance(text) / 2, cy - m.height() / 2 + m.ascent()), text);
}

void marker(QPainter& p, int x, int y, const QColor& fill, const QString& text)
{
    p.setBrush(fill);
    p.setPen(Qt::black);
    p.drawEllipse(QRect(x - layout::MarkerWidth / 2, y - layout::MarkerHeight / 2, layout::MarkerWidth,
                        layout::MarkerHeight));
    p.setPen((fill.red() + fill.green() + fill.blue()) / 3 <= 127 ? Qt::white : Qt::black);
    p.setFont(arial(13, true));
    centredText(p, text, x, y);
}

// The name of a picture button's look.
std::string look(std::string_view stem, const char* which)
{
    return std::string(stem) + which + ".png";
}

void compose(Composer& c, bool guitar)
{
    // The panels in the composition's coordinates.
    const Rect top = layout::TopPanel;
    const Rect left = layout::Within(layout::BackPanel, layout::LeftPanel);
    const Rect center = layout::Within(layout::BackPanel, layout::CenterPanel);
    const Rect right = layout::Within(layout::BackPanel, layout::RightPanel);
    const Rect bottom = layout::BottomPanel;
    const auto put = [&](const std::string& file, const Rect& panel, const Rect& place) {
        c.Put(file, panel.x + place.x, panel.y + place.y);
    };

    c.Put(layout::TopAreaPicture, top);
    for (const layout::SkinButton& b : layout::TopBarButtons) {
        const char* which = "Initial";
        if (b.name == layout::ChordButton.name || b.name == layout::NoteNamesButton.name)
            which = "Pressed";
        if (b.name == layout::SettingsButton.name || b.name == layout::TonveraPanel.name)
            which = "Mouse";
        put(look(b.stem, which), top, b.place);
    }

    c.Put(guitar ? layout::ChordTypeAreaPicture : layout::PianoChordTypeAreaPicture, center);
    if (guitar) {
        put(look(layout::FolkButton.stem, "Pressed"), center, layout::FolkButton.place);
        put(look(layout::PopButton.stem, "Mouse"), center, layout::PopButton.place);
        put(look(layout::JazzButton.stem, "Initial"), center, layout::JazzButton.place);
    } else {
        put(look(layout::CategoryFilter.stem, "Initial"), center, layout::CategoryFilter.place);
    }
    for (const layout::ChordTypeButton& b : layout::ChordTypeButtons) {
        const char* which = b.name == "maj7" ? "Pressed" : (b.name == "m7" || b.name == "minList") ? "Mouse" : "Initial";
        put(look(b.name, which), center, layout::Place(b));
    }
    const Rect reverseFinder = layout::ReverseFinder.place;
    put(look(layout::ReverseFinder.stem, "Initial"), center, reverseFinder);

    QPainter p(&c.Screen());
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    // Texts the program writes on panels.
    p.setFont(arial(9));
    p.setPen(QColor(200, 200, 200));
    for (const layout::ChordTypeButton& b : layout::ChordTypeButtons)
        if (b.name == "minList") {
            const Rect place = layout::Within(center, layout::Place(b));
            p.drawText(QRect(place.x + layout::ListTextLeft, place.y, 46, place.h), Qt::AlignVCenter, "m11");
        }
    p.setFont(QFont(QStringLiteral("Sans Serif"), 8));
    p.setPen(Qt::black);
    p.drawText(QRect(center.x + reverseFinder.x + layout::ReverseFinderTextLeft, center.y + reverseFinder.y, 130,
                     reverseFinder.h),
               Qt::AlignVCenter, "Show all chords");
    if (!guitar) {
        const Rect category = layout::Within(center, layout::CategoryFilter.place);
        p.drawText(QRect(category.x, category.y, category.w - layout::CategoryArrowWidth, category.h), Qt::AlignCenter,
                   "All");
    }
    p.end();

    // The root column with C selected.
    c.Put(layout::RootAreaPicture, left);
    const int selected = RootCount - 1;
    const layout::Point spot{left.x + layout::RootCentres[selected].x, left.y + layout::RootCentres[selected].y};
    c.PutAlpha(std::string(layout::RootSpotPicture.file), spot.x, spot.y);
    p.begin(&c.Screen());
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(arial(13, true));
    p.setPen(QColor(255, 255, 0));
    const std::string_view selectedName = RootTable[selected].name;
    centredText(p, QString::fromLatin1(selectedName.data(), int(selectedName.size())), spot.x, spot.y);
    p.end();

    // The play area with its display, the chord info and a few variations.
    const Rect playChordButton = layout::PlayChordButton;
    const Rect chordInfo = layout::ChordInfoImage;
    const Rect variationList = layout::VariationList;
    c.Put(layout::PlayAreaPicture, right);
    put(std::string(layout::PlayChordPicture.file), right, playChordButton);
    put(look(layout::ThisChordContainsButton.stem, "Initial"), right, layout::ThisChordContainsButton.place);
    p.begin(&c.Screen());
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::Antialiasing);
    QFont big = arial(123);
    p.setFont(big);
    const QFontMetrics bigMetrics(big);
    const int rootTop = right.y + playChordButton.y + (playChordButton.h - bigMetrics.height()) / 2;
    const int rootLeft = right.x + playChordButton.x + layout::RootLabelIndent;
    p.setPen(Qt::white);
    p.drawText(QPoint(rootLeft, rootTop + bigMetrics.ascent()), "C");
    const QFont chordFont = arial(48);
    p.setFont(chordFont);
    p.drawText(QPoint(rootLeft + bigMetrics.horizontalAdvance("C") + layout::ChordLabelGap,
                      rootTop + QFontMetrics(chordFont).ascent()),
               "maj7");
    const QFont info = arial(16);
    p.setFont(info);
    const QFontMetrics infoMetrics(info);
    const int column = infoMetrics.horizontalAdvance("XXXXXX");
    const char* degrees[] = {"R", "3", "5", "7"};
    const char* names[] = {"C", "E", "G", "B"};
    for (int i = 0; i < 4; ++i) {
        const int x = right.x + chordInfo.x + i * column + column / 2;
        const int half = chordInfo.h / 2;
        p.drawText(QPoint(x - infoMetrics.horizontalAdvance(degrees[i]) / 2,
                          right.y + chordInfo.y + half - infoMetrics.height() + infoMetrics.ascent()), degrees[i]);
        p.drawText(QPoint(x - infoMetrics.horizontalAdvance(names[i]) / 2,
                          right.y + chordInfo.y + half + infoMetrics.ascent()), names[i]);
    }
    p.setFont(arial(19));
    const char* lines[] = {"Cmaj7\tC E G B", "Cmaj7\tE B C G", "Cmaj7\tG C E B", "Cmaj7\tB E G C"};
    const int lineHeight = layout::ListItemHeight;
    for (int i = 0; i < 4; ++i) {
        const QRect line(right.x + variationList.x, right.y + variationList.y + i * lineHeight, variationList.w,
                         lineHeight);
        if (i == 1)
            p.fillRect(line, QColor(0, 120, 215));
        p.setPen(i == 1 ? Qt::white : QColor(0, 128, 128));
        QString text = QString::fromLatin1(lines[i]);
        p.drawText(line.adjusted(2, 0, 0, 0), Qt::AlignVCenter, text.section('\t', 0, 0));
        p.drawText(line.adjusted(102, 0, 0, 0), Qt::AlignVCenter, text.section('\t', 1));
    }
    p.end();

    // The instrument with the chord marked.
    c.Put(guitar ? layout::FretboardPicture : layout::KeyboardPicture, bottom);
    p.begin(&c.Screen());
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const auto markAt = [&](std::optional<layout::Point> centre, const QColor& fill, const QString& text) {
        if (centre)
            marker(p, bottom.x + centre->x, bottom.y + centre->y, fill, text);
    };
    if (guitar) {
        const int frets[] = {-1, 3, 2, 0, 0, 0}; // C major seven, open voicing
        const char* labels[] = {"", "C", "E", "G", "B", "E"};
        for (int s = 0; s < 6; ++s)
            if (frets[s] >= 0)
                markAt(layout::FretCentre(s, frets[s]), Qt::white, labels[s]);
    } else {
        const int notes[] = {60, 64, 67, 71};
        for (int i = 0; i < 4; ++i)
            markAt(layout::KeyCentre(notes[i]), Qt::red, names[i]);
        markAt(layout::KeyCentre(70), QColor(160, 160, 160), "Bb");
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: tonvera-preview PICSDIR OUT.png [piano|guitar]\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    Composer composer(argv[1]);
    const bool guitar = argc > 3 && std::string(argv[3]) == "guitar";
    try {
        compose(composer, guitar);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "tonvera-preview: %s\n", error.what());
        return 1;
    }
    if (!composer.Screen().save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        std::fprintf(stderr, "tonvera-preview: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
