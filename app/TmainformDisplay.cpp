// The chord display: the big root and chord labels, the row of degrees and note names,
// the variation list, and what plays when.
#include "app/Tmainform.h"

#include "chords/ChordCalculation.h"
#include "chords/Notes.h"
#include "controls/Nxcomponentutils.h"
#include "controls/Nxpanel.h"
#include "controls/Timage.h"
#include "dialogs/Settingsdialog.h"
#include "layout/Layout.h"
#include "midi/Player.h"
#include "midi/Tmidicontent.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QSlider>
#include <QSpinBox>
#include <QTimer>

namespace {

// The player's end-of-sequence notice; the window accepts it and does nothing with it.
constexpr uint32_t kSequenceEndMessage = 0x8000 + 100;
const QEvent::Type kSequenceEndEvent = static_cast<QEvent::Type>(QEvent::User + 100);

} // namespace

bool TMainForm::ReverseFinderOn() const
{
    return ReverseFinder->Checked();
}

int TMainForm::FinderMode() const
{
    return ReverseFinder->Tag();
}

VariationOptions TMainForm::variationOptions() const
{
    VariationOptions options;
    options.guitarCategory = Game == gtGuitar ? GuitarCategory : std::string();
    options.categoryFilter = Game == gtPiano ? CategoryFilter->GetText() : std::string("All");
    options.convertDbl = userSettings().convertDbl;
    return options;
}

void TMainForm::PlaceLabels()
{
    const QString rootName = SelectedRoot >= 0 && SelectedRoot < RootCount
        ? FromDataText(RootTable[SelectedRoot].name)
        : QString();
    RootLabel->setText(rootName);
    RootLabel->adjustSize();
    RootLabel->move(PlayChordButton->x() + layout::RootLabelIndent,
                    PlayChordButton->y() + (PlayChordButton->height() - RootLabel->height()) / 2);
    ChordLabel->setText(FromDataText(CurrentChordTypeName()));
    ChordLabel->adjustSize();
    ChordLabel->move(RootLabel->x() + RootLabel->width() + layout::ChordLabelGap, RootLabel->y());
    RootLabel->raise();
    ChordLabel->raise();
}

void TMainForm::DrawChordInfo()
{
    QImage& canvas = ChordInfoImage->Canvas();
    QPainter painter(&canvas);
    // The play area's picture under the strip, at the canvases' common pixel density.
    const double ratio = RightImage->PixelRatio();
    const QRect under = ChordInfoImage->geometry();
    painter.drawImage(QRectF(QPointF(0, 0), QSizeF(under.size())), RightImage->Canvas(),
                      QRectF(under.x() * ratio, under.y() * ratio, under.width() * ratio, under.height() * ratio));
    painter.setFont(FontFromPoints("Arial", 12));
    painter.setPen(Qt::white);
    const QFontMetrics metrics = painter.fontMetrics();
    const int columnWidth = metrics.horizontalAdvance("XXXXXX");
    const int textHeight = metrics.height();
    const int half = ChordInfoImage->height() / 2;
    const TChordVariation& chord = CurrentChord;
    auto write = [&](const std::string& text, int column, int top) {
        const QString label = FromDataText(text);
        const int left = column * columnWidth + columnWidth / 2 - metrics.horizontalAdvance(label) / 2;
        painter.drawText(left, top + metrics.ascent(), label);
    };
    for (size_t i = 0; i < chord.notes.size(); ++i) {
        write(i < chord.degreeLabels.size() ? chord.degreeLabels[i] : std::string(), int(i), half - textHeight);
        write(i < chord.noteNames.size() ? chord.noteNames[i] : std::string(), int(i), half);
    }
    ChordInfoImage->Repaint();
    nameChordTones();
}

TMainForm::ChosenRecord TMainForm::chosenChord() const
{
    const int line = List->currentRow();
    if (line >= 0 && line < static_cast<int>(Variations.size()) && (!ReverseFinderOn() || FinderMode() == 1))
        return {&Variations[line], true, line};
    if (!CurrentChord.notes.empty())
        return {&CurrentChord, false, -1};
    return {};
}

void TMainForm::PlayChord()
{
    const ChosenRecord chosen = chosenChord();
    if (!chosen.record || !setup_.content)
        return;
    const ChordToPlay chord{SoundingNotes(*chosen.record, chosen.variation && Game == gtGuitar),
                            chosen.record->degreeLabels};
    ::PlayChord(setup_.player, *setup_.content, chord, playbackSettings());
}

void TMainForm::PlayRootNote()
{
    if (!setup_.content || SelectedRoot < 0 || SelectedRoot >= RootCount)
        return;
    ::PlayRootNote(setup_.player, *setup_.content, RootTable[SelectedRoot].pitchClass, playbackSettings());
}

void TMainForm::SoundFinderNote(int note)
{
    ::SoundFinderNote(setup_.player, note, playbackSettings());
}

UserSettings TMainForm::userSettings() const
{
    if (Settings)
        return Settings->Values();
    return startSettings_ ? *startSettings_ : UserSettings();
}

PlaybackSettings TMainForm::playbackSettings() const
{
    PlaybackSettings playback = userSettings().playback;
    playback.arpeggio = ArpeggioButton->Checked();
    return playback;
}

void TMainForm::showList(VariationList&& list)
{
    Variations = std::move(list.Variations);
    VariationSources = std::move(list.Sources);
    List->SetLines(list.Lines);
    ListTag = -1;
}

void TMainForm::applyShowResult(ShowResult&& result)
{
    CurrentChord = std::move(result.CurrentChord);
    if (result.listRebuilt)
        showList(std::move(result.list));
    if (result.draw == DrawTarget::FirstVariation && !Variations.empty())
        DrawChordOnInstrument(&Variations.front());
    else if (result.draw != DrawTarget::Nothing)
        DrawChordOnInstrument(nullptr);
    if (result.selectLine >= 0 && result.selectLine < List->count())
        List->SelectLine(result.selectLine);
}

void TMainForm::clearChordDisplay()
{
    CurrentChord = {};
    Variations.clear();
    showList({});
    DrawChordOnInstrument(nullptr);
    DrawChordInfo();
}

void TMainForm::ListClick()
{
    const int line = List->currentRow();
    const bool hasVariation = line >= 0 && line < static_cast<int>(Variations.size());
    if (!ReverseFinderOn()) {
        DrawChordOnInstrument(hasVariation ? &Variations[line] : nullptr);
        return;
    }
    if (FinderMode() == 0 || !hasVariation)
        DrawFinderMarks();
    else
        DrawChordOnInstrument(&Variations[line]);
}

void TMainForm::reportError(const std::exception& error)
{
    auto* box = new QMessageBox(QMessageBox::Critical, "Tonvera", FromDataText(error.what()),
                                QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void TMainForm::connectPlayerNotifications()
{
    if (!setup_.player)
        return;
    // The timer thread only reads the flag; the destructor clears it and then takes the
    // player's lock (Stop), so no notice can be on its way once the window is gone.
    std::shared_ptr<std::atomic<bool>> alive = alive_;
    NotifyTarget target;
    target.alive = [alive] { return alive->load(); };
    target.post = [alive, this](uint32_t) {
        if (alive->load())
            QCoreApplication::postEvent(this, new QEvent(kSequenceEndEvent));
    };
    setup_.player->Init(85, 127, target, kSequenceEndMessage);
}

bool TMainForm::event(QEvent* event)
{
    if (event->type() == kSequenceEndEvent)
        return true;
    return QWidget::event(event);
}
