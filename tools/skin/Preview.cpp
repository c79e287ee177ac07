// tonvera-preview PICSDIR OUT.png: composes the whole 1016 x 710 screen from the
// skin's pictures as the window places them, with a few buttons hovered or
// pressed and a chord marked on the instrument, to judge the skin by eye.
#include "common/Vexel/src/PicUtils.h"
#include "tools/skin/SkinTables.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>

#include <cstdio>
#include <stdexcept>
#include <string>

namespace {

using namespace skin;

class Composer {
public:
    explicit Composer(std::string pics) : pics_(std::move(pics)), screen_(1016, 710, QImage::Format_RGB32)
    {
        screen_.fill(Qt::black);
    }

    QImage& Screen() { return screen_; }

    // Draws a picture opaque at a place of the window panel.
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
    p.drawEllipse(QRect(x - 16, y - 11, 32, 22));
    p.setPen((fill.red() + fill.green() + fill.blue()) / 3 <= 127 ? Qt::white : Qt::black);
    p.setFont(arial(13, true));
    centredText(p, text, x, y);
}

void compose(Composer& c, bool guitar)
{
    const int top = topPanel.y;
    c.Put("ControllsArea.png", 0, top);
    for (const StateButton& b : topButtons) {
        std::string look = "Initial";
        const std::string stem = b.stem;
        if (stem == "Chord" || stem == "NoteNames")
            look = "Pressed";
        if (stem == "Settings" || stem == "Tonvera")
            look = "Mouse";
        c.Put(stem + look + ".png", b.place.x, top + b.place.y);
    }

    const int cx = centerPanel.x;
    const int cy = centerPanel.y;
    c.Put(guitar ? "TypeChordsArea.png" : "TypeChordsAreaFree.png", cx, cy);
    if (guitar) {
        c.Put("FolkPressed.png", cx + folkButton.x, cy + folkButton.y);
        c.Put("PopMouse.png", cx + popButton.x, cy + popButton.y);
        c.Put("JazzInitial.png", cx + jazzButton.x, cy + jazzButton.y);
    } else {
        c.Put("KeyInitial.png", cx + categoryFilter.x, cy + categoryFilter.y);
    }
    for (const ChordTypeButton& b : chordTypeButtons) {
        const std::string name = b.name;
        const std::string look = name == "maj7" ? "Pressed" : (name == "m7" || name == "minList") ? "Mouse" : "Initial";
        c.Put(name + look + ".png", cx + b.x, cy + b.y);
    }
    c.Put("ReverseChordFinderInitial.png", cx + reverseFinder.x, cy + reverseFinder.y);

    QPainter p(&c.Screen());
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    // Texts the program writes on panels.
    p.setFont(arial(9));
    p.setPen(QColor(200, 200, 200));
    for (const ChordTypeButton& b : chordTypeButtons)
        if (std::string(b.name) == "minList")
            p.drawText(QRect(cx + b.x + listTextLeft, cy + b.y, 46, chordButtonHeight), Qt::AlignVCenter, "m11");
    p.setFont(QFont(QStringLiteral("Sans Serif"), 8));
    p.setPen(Qt::black);
    p.drawText(QRect(cx + reverseFinder.x + reverseFinderTextLeft, cy + reverseFinder.y, 130, reverseFinder.h),
               Qt::AlignVCenter, "Show all chords");
    if (!guitar)
        p.drawText(QRect(cx + categoryFilter.x, cy + categoryFilter.y, categoryFilter.w - 19, categoryFilter.h),
                   Qt::AlignCenter, "All");
    p.end();

    // The root column with C selected and the cursor on F#.
    c.Put("RootArea.png", leftPanel.x, leftPanel.y);
    const RootPlace& selected = roots[16];
    c.PutAlpha("Spot01.png", leftPanel.x + selected.x, leftPanel.y + selected.y);
    p.begin(&c.Screen());
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(arial(13, true));
    p.setPen(QColor(255, 255, 0));
    centredText(p, selected.name, leftPanel.x + selected.x, leftPanel.y + selected.y);
    p.end();

    // The play area with its display, the chord info and a few variations.
    c.Put("PlayChordArea.png", rightPanel.x, rightPanel.y);
    c.Put("PlayChordInitial.png", rightPanel.x + playChordButton.x, rightPanel.y + playChordButton.y);
    c.Put("ThisChordContainsInitial.png", rightPanel.x + thisChordContains.x, rightPanel.y + thisChordContains.y);
    p.begin(&c.Screen());
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::Antialiasing);
    QFont big = arial(123);
    p.setFont(big);
    const QFontMetrics bigMetrics(big);
    const int rootTop = rightPanel.y + playChordButton.y + (playChordButton.h - bigMetrics.height()) / 2;
    const int rootLeft = rightPanel.x + playChordButton.x + 16;
    p.setPen(Qt::white);
    p.drawText(QPoint(rootLeft, rootTop + bigMetrics.ascent()), "C");
    const QFont chordFont = arial(48);
    p.setFont(chordFont);
    p.drawText(QPoint(rootLeft + bigMetrics.horizontalAdvance("C") + 8, rootTop + QFontMetrics(chordFont).ascent()), "maj7");
    const QFont info = arial(16);
    p.setFont(info);
    const QFontMetrics infoMetrics(info);
    const int column = infoMetrics.horizontalAdvance("XXXXXX");
    const char* degrees[] = {"R", "3", "5", "7"};
    const char* names[] = {"C", "E", "G", "B"};
    for (int i = 0; i < 4; ++i) {
        const int x = rightPanel.x + chordInfo.x + i * column + column / 2;
        const int half = chordInfo.h / 2;
        p.drawText(QPoint(x - infoMetrics.horizontalAdvance(degrees[i]) / 2,
                          rightPanel.y + chordInfo.y + half - infoMetrics.height() + infoMetrics.ascent()), degrees[i]);
        p.drawText(QPoint(x - infoMetrics.horizontalAdvance(names[i]) / 2,
                          rightPanel.y + chordInfo.y + half + infoMetrics.ascent()), names[i]);
    }
    p.setFont(arial(19));
    const char* lines[] = {"Cmaj7\tC E G B", "Cmaj7\tE B C G", "Cmaj7\tG C E B", "Cmaj7\tB E G C"};
    for (int i = 0; i < 4; ++i) {
        const QRect line(rightPanel.x + variationList.x, rightPanel.y + variationList.y + i * 22, variationList.w, 22);
        if (i == 1)
            p.fillRect(line, QColor(0, 120, 215));
        p.setPen(i == 1 ? Qt::white : QColor(0, 128, 128));
        QString text = QString::fromLatin1(lines[i]);
        p.drawText(line.adjusted(2, 0, 0, 0), Qt::AlignVCenter, text.section('\t', 0, 0));
        p.drawText(line.adjusted(102, 0, 0, 0), Qt::AlignVCenter, text.section('\t', 1));
    }
    p.end();

    // The instrument with the chord marked.
    const int by = bottomPanel.y;
    c.Put(guitar ? "FretboardArea.png" : "KeyboardArea.png", 0, by);
    p.begin(&c.Screen());
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    if (guitar) {
        const int frets[] = {-1, 3, 2, 0, 0, 0}; // C major seven, open voicing
        const char* labels[] = {"", "C", "E", "G", "B", "E"};
        for (int s = 0; s < 6; ++s)
            if (frets[s] >= 0)
                marker(p, fretX[frets[s]], by + stringY[s], Qt::white, labels[s]);
    } else {
        const int notes[] = {60, 64, 67, 71};
        for (int i = 0; i < 4; ++i)
            marker(p, keyX[notes[i] - lowestKey], by + (isBlackKey(notes[i]) ? blackKeyY : whiteKeyY), Qt::red, names[i]);
        marker(p, keyX[70 - lowestKey], by + blackKeyY, QColor(160, 160, 160), "Bb");
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
