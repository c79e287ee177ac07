// The instrument view: note markers on the keyboard or fretboard, the reverse finder's
// marks, the hover echo and the degree-label menu.
#include "app/Tmainform.h"

#include "chords/Notes.h"
#include "chords/ReverseFinder.h"
#include "controls/Nxcomponentutils.h"
#include "controls/Nxpanel.h"
#include "controls/Timage.h"
#include "dialogs/Settingsdialog.h"
#include "layout/Layout.h"
#include "midi/Tmidicontent.h"

#include <QCheckBox>
#include <QCursor>
#include <QMenu>
#include <QPainter>
#include <QTimer>

#include <cstdlib>

namespace {

QColor toQColor(ColourValue c)
{
    return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}

static_assert(layout::StringY.size() == OpenStringNote.size(), "a place on the fretboard for every string");

const ColourValue kHoverOnMark = MakeColour(210, 210, 210);
const ColourValue kHoverFree = MakeColour(160, 160, 160);

std::string pitchName(int note)
{
    return std::string(NoteNameTable[((note % 12) + 12) % 12]);
}

} // namespace

bool TMainForm::noteNamesShown() const
{
    return NoteNamesButton->Checked();
}

void TMainForm::DrawNoteMarker(QImage& canvas, int x, int y, bool square, ColourValue fill, ColourValue textColour,
                               const std::string& text)
{
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(toQColor(fill));
    painter.setPen(Qt::black);
    // A MarkerWidth x MarkerHeight shape around the centre, the right and bottom edges exclusive.
    const QRectF box(x - layout::MarkerWidth / 2 + 0.5, y - layout::MarkerHeight / 2 + 0.5, layout::MarkerWidth - 1,
                     layout::MarkerHeight - 1);
    if (square)
        painter.drawRect(box);
    else
        painter.drawEllipse(box);
    painter.setFont(FontFromPoints("Arial", noteNamesShown() ? 10 : 8, true));
    painter.setPen(toQColor(textColour));
    const QString label = FromDataText(text);
    const QFontMetrics metrics = painter.fontMetrics();
    painter.drawText(x - metrics.horizontalAdvance(label) / 2, y - metrics.height() / 2 + metrics.ascent(), label);
}

ColourValue TMainForm::markerFill(const TChordVariation& record, size_t i) const
{
    const bool ownColours = userSettings().displayChordColor;
    if (ownColours && i < record.colours.size() && record.colours[i] != 0)
        return static_cast<ColourValue>(record.colours[i]);
    return MarkerColor;
}

void TMainForm::DrawChordOnInstrument(const TChordVariation* variation)
{
    if (drawing_)
        return;
    drawing_ = true;
    ShowRFBTimer->stop();
    if (ReverseFinderOn())
        ShowRFBTimer->start();
    // The bare instrument again; its pixels are copied once, as drawing on them begins.
    BottomImage->SetPicture(InstrumentPicture);
    QImage& canvas = BottomImage->Canvas();
    const TChordVariation& record = variation ? *variation : CurrentChord;
    auto labelOf = [&](size_t i) -> std::string {
        const auto& labels = noteNamesShown() ? record.noteNames : record.degreeLabels;
        return i < labels.size() ? labels[i] : std::string();
    };
    if (Game == gtGuitar && !variation) {
        // Every position of every chord tone on the board.
        for (int string = 0; string < layout::StringCount; ++string)
            for (size_t i = 0; i < record.notes.size(); ++i)
                for (int fret = 0; fret < layout::FretCount; ++fret) {
                    if (std::abs(record.notes[i]) % 12 != (OpenStringNote[string] + fret) % 12)
                        continue;
                    const ColourValue fill = markerFill(record, i);
                    DrawNoteMarker(canvas, layout::FretX[fret], layout::StringY[string], false, fill,
                                   TextColourFor(fill), labelOf(i));
                }
    } else {
        for (size_t i = 0; i < record.notes.size(); ++i) {
            const int value = record.notes[i];
            const int v = std::abs(value);
            std::optional<layout::Point> centre;
            if (Game == gtPiano)
                centre = layout::KeyCentre(v);
            else if (v != UnplayedString)
                centre = layout::FretCentre(static_cast<int>(i), v);   // frets off the board have no place
            if (!centre)
                continue;
            const ColourValue fill = markerFill(record, i);
            DrawNoteMarker(canvas, centre->x, centre->y, value < 0, fill, TextColourFor(fill), labelOf(i));
        }
    }
    BottomImage->Repaint();
    drawing_ = false;
}

std::optional<layout::Point> TMainForm::codeCentre(int code) const
{
    if (Game == gtPiano)
        return layout::KeyCentre(code);
    if (code == UnplayedString)
        return std::nullopt;
    return layout::FretCentre(code / 256, code % 256);
}

void TMainForm::drawFinderMarker(QImage& canvas, int code, ColourValue fill, const std::string& label)
{
    if (const auto centre = codeCentre(code))
        DrawNoteMarker(canvas, centre->x, centre->y, false, fill, TextColourFor(fill), label);
}

void TMainForm::DrawFinderMarks()
{
    // The bare instrument again; its pixels are copied once, as drawing on them begins.
    BottomImage->SetPicture(InstrumentPicture);
    QImage& canvas = BottomImage->Canvas();
    for (const auto& [code, degree] : FinderMarks) {
        const std::string label = noteNamesShown() ? pitchName(MarkSoundingNote(Game, code)) : degree;
        drawFinderMarker(canvas, code, MarkerColor, label);
    }
    if (HoverNote >= 0) {
        const ColourValue fill = FinderMarks.count(HoverNote) ? kHoverOnMark : kHoverFree;
        drawFinderMarker(canvas, HoverNote, fill, pitchName(MarkSoundingNote(Game, HoverNote)));
    }
    BottomImage->Repaint();
}

int TMainForm::HitTestInstrument(int x, int y) const
{
    if (!ReverseFinderOn())
        return -1;
    return Game == gtGuitar ? geometry::HitTestFretboard(x, y) : geometry::HitTestKeyboard(x, y);
}

void TMainForm::SetMarkLabel(int code, const std::string& label)
{
    ::SetMarkLabel(FinderMarks, code, label, Game, FinderMode());
}

void TMainForm::BottomImageMouseMove()
{
    if (ReverseFinderOn())
        MoveEchoTimer->start();
}

void TMainForm::MoveEchoTimerTimer()
{
    const QPoint point = BottomImage->mapFromGlobal(QCursor::pos());
    MoveEchoTimer->stop();
    const int hit = HitTestInstrument(point.x(), point.y());
    if (hit != HoverNote) {
        HoverNote = hit;
        DrawFinderMarks();
    }
    BottomImage->setCursor(hit >= 0 ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void TMainForm::BottomImageMouseDown(Qt::MouseButton button, int x, int y)
{
    if (!ReverseFinderOn() || HoverNote < 0)
        return;
    if (MenuJustClosed) {
        MenuJustClosed = false;
        return;
    }
    if (button == Qt::LeftButton) {
        if (FinderMarks.count(HoverNote)) {
            FinderMarks.erase(HoverNote);
        } else {
            SetMarkLabel(HoverNote, "");
            SoundFinderNote(MarkSoundingNote(Game, HoverNote) & 0xFF);
        }
        runReverseFind();
    } else if (button == Qt::RightButton) {
        const auto mark = FinderMarks.find(HoverNote);
        const std::string current = mark != FinderMarks.end() ? mark->second : std::string();
        SelChordMenu->clear();
        SelChordMenuButton = nullptr;
        std::vector<std::string> captions = {"clear"};
        for (const DegreeLabelEntry& entry : DegreeLabelTable)
            captions.emplace_back(entry.label);
        for (size_t i = 0; i < captions.size(); ++i) {
            const std::string caption = captions[i];
            QAction* item = SelChordMenu->addAction(FromDataText(caption));
            if (i > 0) {
                item->setCheckable(true);
                item->setChecked(caption == current);
            }
            connect(item, &QAction::triggered, this, [this, caption] { guard([&] { MarkMenuClick(caption); }); });
        }
        markMenuOpen_ = true;
        SelChordMenu->popup(BottomImage->mapToGlobal(QPoint(x, y)));
    }
    DrawFinderMarks();
}

void TMainForm::MarkMenuClick(const std::string& caption)
{
    SetMarkLabel(HoverNote, caption == "clear" ? std::string() : caption);
    MenuJustClosed = false;
    MoveEchoTimerTimer();
    DrawFinderMarks();
    runReverseFind();
}

void TMainForm::ShowRFBTimerTimer()
{
    DrawFinderMarks();
    ShowRFBTimer->stop();
}
