// Taking the chord out of the window: Ctrl+C copies it as text, the context menu of the play
// area and the instrument view saves it as a MIDI file or a diagram, and a drag from the play
// area hands a .mid file to a DAW or a file manager. Each takes what PlayChord would play.
#include "app/Tmainform.h"

#include "chords/ChordCalculation.h"
#include "chords/ChordText.h"
#include "chords/Notes.h"
#include "controls/Nxcomponentutils.h"
#include "controls/Nxpanel.h"
#include "controls/Timage.h"
#include "diagram/DiagramImage.h"
#include "midi/Tmidicontent.h"
#include "platform/IniFile.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QDrag>
#include <QFile>
#include <QFileDialog>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>

namespace {

const char* const kMIDIFilter = "MIDI file (*.mid)";
const char* const kSvgFilter = "SVG picture (*.svg)";
const char* const kPngFilter = "PNG picture (*.png)";

// A chord name as a file name: a type such as "6/9" must not make a folder.
QString fileStem(const std::string& name)
{
    QString stem = FromDataText(name);
    stem.replace('/', '-');
    return stem.isEmpty() ? QStringLiteral("chord") : stem;
}

std::string localPath(const QString& file) { return QFile::encodeName(file).toStdString(); }

// Starts a drag of the chord when the pointer moves far enough with the left button held on
// the play area. The press itself still plays the chord.
class ChordDragSource : public QObject {
public:
    explicit ChordDragSource(TMainForm* form) : QObject(form), form_(form) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::MouseButtonPress) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            armed_ = mouse->button() == Qt::LeftButton;
            start_ = mouse->position().toPoint();
        } else if (event->type() == QEvent::MouseButtonRelease) {
            armed_ = false;
        } else if (event->type() == QEvent::MouseMove && armed_) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if ((mouse->buttons() & Qt::LeftButton) &&
                (mouse->position().toPoint() - start_).manhattanLength() >= QApplication::startDragDistance()) {
                armed_ = false;
                form_->DragChordFromPlayArea();
                return true;
            }
        }
        return false;
    }

private:
    TMainForm* form_;
    bool armed_ = false;
    QPoint start_;
};

} // namespace

void TMainForm::connectExportCommands()
{
    CopyChordAction = new QAction("Copy chord", this);
    CopyChordAction->setObjectName("CopyChordAction");
    CopyChordAction->setShortcut(QKeySequence::Copy);
    CopyChordAction->setShortcutContext(Qt::WindowShortcut);
    addAction(CopyChordAction);
    connect(CopyChordAction, &QAction::triggered, this, [this] { guard([&] { CopyChordClick(); }); });

    ChordMenu = new QMenu(this);
    ChordMenu->setObjectName("ChordMenu");
    ChordMenu->addAction(CopyChordAction);
    ChordMenu->addSeparator();
    connect(ChordMenu->addAction("Save as MIDI file\u2026"), &QAction::triggered, this,
            [this] { guard([&] { SaveAsMIDIFileClick(); }); });
    connect(ChordMenu->addAction("Save diagram\u2026"), &QAction::triggered, this,
            [this] { guard([&] { SaveDiagramClick(); }); });

    for (QWidget* area : {static_cast<QWidget*>(PlayChordButton), static_cast<QWidget*>(BottomImage)}) {
        area->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(area, &QWidget::customContextMenuRequested, this,
                [this, area](const QPoint& at) { ChordMenuPopup(area, at); });
    }
    PlayChordButton->installEventFilter(new ChordDragSource(this));
}

std::optional<TMainForm::ExportChord> TMainForm::exportChord() const
{
    const ChosenRecord chosen = chosenChord();
    if (!chosen.record)
        return std::nullopt;
    ExportChord out;
    out.played = *chosen.record;
    out.isVariation = chosen.variation;
    // A voicing found by the reverse finder belongs to the chord of its line, which need not be
    // the selected one.
    if (chosen.variation && chosen.line < int(VariationSources.size()) && ReverseFinderOn()) {
        const LineSource& source = VariationSources[std::size_t(chosen.line)];
        out.name = std::string(RootTable[std::size_t(source.root)].name) + source.type;
        out.chord = ShowCurrentChord(Book, source.root, source.type, true, variationOptions()).CurrentChord;
        return out;
    }
    if (SelectedRoot < 0 || SelectedRoot >= RootCount)
        return std::nullopt;
    out.name = std::string(RootTable[std::size_t(SelectedRoot)].name) + CurrentChordTypeName();
    out.chord = CurrentChord;
    return out;
}

std::string TMainForm::ChordClipboardText() const
{
    const auto exported = exportChord();
    if (!exported)
        return "";
    // A piano chord always sounds as a voicing; a guitar chord only has a shape as a variation.
    const bool hasVoicing = Game == gtPiano || exported->isVariation;
    return ChordAsText({exported->name, &exported->chord, hasVoicing ? &exported->played : nullptr, Game});
}

void TMainForm::CopyChordClick()
{
    const std::string text = ChordClipboardText();
    if (!text.empty())
        QApplication::clipboard()->setText(FromDataText(text));
}

void TMainForm::SaveChordAsMIDIFile(const std::string& path)
{
    const auto exported = exportChord();
    if (!exported)
        return;
    const ChordToPlay chord{SoundingNotes(exported->played, exported->isVariation && Game == gtGuitar),
                            exported->played.degreeLabels};
    WriteTextFileAtomically(path, ChordMIDIFile(chord, playbackSettings(), exported->name));
}

void TMainForm::SaveChordDiagram(const std::string& path)
{
    const auto exported = exportChord();
    if (!exported)
        return;
    const auto drawing =
        diagram::ChordDiagram(exported->name, exported->played, Game, exported->isVariation, !noteNamesShown());
    if (!drawing)
        throw std::runtime_error("No guitar voicing of " + exported->name + " to draw: choose a variation.");
    diagram::SaveDiagram(*drawing, path);
}

void TMainForm::askSaveFile(const QString& caption, const QString& name, const QStringList& filters,
                            void (TMainForm::*save)(const std::string&))
{
    if (exportFolder_.isEmpty())
        exportFolder_ = QDir::homePath();
    auto* dialog = new QFileDialog(this, caption, QDir(exportFolder_).filePath(name));
    dialog->setObjectName("ExportFileDialog");
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setNameFilters(filters);
    // The chosen kind decides the ending of a name typed without one.
    const auto suffixOf = [](const QString& filter) { return filter.section("*.", 1).section(')', 0, 0); };
    dialog->setDefaultSuffix(suffixOf(filters.front()));
    connect(dialog, &QFileDialog::filterSelected, dialog,
            [dialog, suffixOf](const QString& filter) { dialog->setDefaultSuffix(suffixOf(filter)); });
    connect(dialog, &QFileDialog::fileSelected, this, [this, save](const QString& file) {
        exportFolder_ = QFileInfo(file).absolutePath();
        guard([&] { (this->*save)(localPath(file)); });
    });
    dialog->open();
}

void TMainForm::SaveAsMIDIFileClick()
{
    if (const auto exported = exportChord())
        askSaveFile("Save as MIDI file", fileStem(exported->name) + ".mid", {kMIDIFilter},
                    &TMainForm::SaveChordAsMIDIFile);
}

void TMainForm::SaveDiagramClick()
{
    if (const auto exported = exportChord())
        askSaveFile("Save diagram", fileStem(exported->name) + ".svg", {kSvgFilter, kPngFilter},
                    &TMainForm::SaveChordDiagram);
}

void TMainForm::ChordMenuPopup(QWidget* area, const QPoint& at)
{
    // A right click on a note of the reverse finder opens its label menu instead.
    if (SelChordMenu->isVisible() || (area == BottomImage && ReverseFinderOn() && HoverNote >= 0))
        return;
    const auto exported = exportChord();
    const QList<QAction*> items = ChordMenu->actions();
    for (QAction* item : items)
        item->setEnabled(exported.has_value());
    // A guitar chord without a voicing has no shape for a chord box.
    if (exported && Game == gtGuitar && !exported->isVariation)
        items.back()->setEnabled(false);
    ChordMenu->popup(area->mapToGlobal(at));
}

std::string TMainForm::dragFile(const std::string& name)
{
    if (!dragFolder_) {
        dragFolder_ = std::make_unique<QTemporaryDir>(QDir(QDir::tempPath()).filePath("tonvera-drag-XXXXXX"));
        if (!dragFolder_->isValid())
            throw std::runtime_error("Cannot write " + localPath(dragFolder_->path()) + ": " +
                                     dragFolder_->errorString().toStdString());
    }
    return localPath(QDir(dragFolder_->path()).filePath(fileStem(name) + ".mid"));
}

QMimeData* TMainForm::ChordDragData()
{
    const auto exported = exportChord();
    if (!exported)
        return nullptr;
    const std::string file = dragFile(exported->name);
    SaveChordAsMIDIFile(file);
    auto* data = new QMimeData;
    data->setUrls({QUrl::fromLocalFile(QFile::decodeName(file.c_str()))});
    return data;
}

void TMainForm::DragChordFromPlayArea()
{
    guard([&] {
        QMimeData* data = ChordDragData();
        if (!data)
            return;
        auto* drag = new QDrag(PlayChordButton);
        drag->setMimeData(data);
        drag->exec(Qt::CopyAction);
    });
}
