// The top-row buttons, the reverse-finder switch, and the window-wide key map.
#include "app/Tmainform.h"

#include "app/FocusFrame.h"
#include "chords/Notes.h"
#include "chords/ReverseFinder.h"
#include "controls/Nxpanel.h"
#include "controls/Timage.h"
#include "dialogs/HelpWindow.h"
#include "dialogs/Settingsdialog.h"
#include "dialogs/Tsplashscreen.h"
#include "platform/ProgramFolder.h"
#include "platform/Shell.h"

#include <QApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>

namespace {

constexpr int kModalOk = 1;

} // namespace

void TMainForm::ChordButtonClick()
{
    ChordButton->SetChecked(true);
    ArpeggioButton->SetChecked(false);
}

void TMainForm::ArpeggioButtonClick()
{
    ChordButton->SetChecked(false);
    ArpeggioButton->SetChecked(true);
}

void TMainForm::NoteNamesButtonClick()
{
    NoteNamesButton->SetChecked(true);
    ScaleDegreesButton->SetChecked(false);
    ListClick();
}

void TMainForm::ScaleDegreesButtonClick()
{
    NoteNamesButton->SetChecked(false);
    ScaleDegreesButton->SetChecked(true);
    ListClick();
}

void TMainForm::SpeakerButtonClick()
{
    StartVolumeControl();
}

void TMainForm::SettingsButtonClick()
{
    if (!Settings)
        return;
    if (Settings->exec() == kModalOk)
        SelectionChanged(false);
    ApplyMIDIInput();
}

void TMainForm::HelpButtonClick()
{
    ShowHelp(this, setup_.folder, ExecutablePath());
}

void TMainForm::NXLogoClick()
{
    if (About)
        About->exec();
}

void TMainForm::ThisChordContainsButtonClick()
{
    List->SelectLine(-1);
    PlayChord();
    DrawChordOnInstrument(nullptr);
}

void TMainForm::ListDblClick()
{
    if (ReverseFinderOn()) {
        const int line = List->currentRow();
        if (line >= 0 && List->item(line)) {
            const std::string text = List->item(line)->text().toUtf8().toStdString();
            const size_t rootLength = text.size() > 1 && (text[1] == '#' || text[1] == 'b') ? 2 : 1;
            const std::string root = text.substr(0, rootLength);
            const size_t blank = text.find(' ', rootLength);
            std::string type = text.substr(rootLength, blank == std::string::npos ? std::string::npos : blank - rootLength);
            // A line named from its bass ends in "/" and the bass ("Cmaj/E"): the chord is before it.
            if (const size_t slash = type.rfind('/'); slash != std::string::npos && IsNoteName(type.substr(slash + 1)))
                type.resize(slash);
            ReverseFinder->SetCaption(type);
            const int index = FindRoot(root);
            if (index >= 0 && line != ListTag) {
                SelectRoot(index);
                if (FinderMode() == 0)
                    CurrentChord =
                        ShowCurrentChord(Book, SelectedRoot, CurrentChordTypeName(), true, variationOptions()).CurrentChord;
                SelectionChanged(false);
            }
            ListTag = line;
        }
        const int selected = List->currentRow();
        if (FinderMode() == 1 && selected >= 0 && selected < static_cast<int>(Variations.size()))
            DrawChordOnInstrument(&Variations[selected]);
        else
            DrawChordOnInstrument(nullptr);
    }
    PlayChord();
}

void TMainForm::ReverseFinderMouseDown(int x)
{
    if (x > ReverseFinder->width() - layout::ReverseFinderMenuZone && ReverseFinderOn()) {
        SelChordMenu->clear();
        SelChordMenuButton = nullptr;
        for (int mode = 0; mode < 2; ++mode) {
            QAction* item = SelChordMenu->addAction(FinderModeCaptions[mode]);
            if (mode == FinderMode())
                SelChordMenu->setDefaultAction(item);
            connect(item, &QAction::triggered, this, [this, mode] { guard([&] { FinderModeItemClick(mode); }); });
        }
        showMenuBelow(ReverseFinder);
        return;
    }
    ReverseFinder->SetCaption(CurrentChordTypeName());
    ReverseFinder->SetChecked(!ReverseFinder->Checked());
    if (ReverseFinderOn()) {
        for (TNXPanel* button : ChordTypeButtons)
            button->SetChecked(true);
        FinderMarks.clear();
        DrawFinderMarks();
        runReverseFind();
    } else if (ReverseFinder->Caption().empty()) {
        TNXPanel* first = ChordTypeButtons.front();
        for (TNXPanel* button : ChordTypeButtons)
            if (button->Checked() && NamesChordType(button)) {
                first = button;
                break;
            }
        CheckOnlyButton(first);
    } else {
        SelectChordTypeByName(ReverseFinder->Caption());
    }
    if (!ReverseFinderOn()) {
        List->SetEmptyText(QString());
        keepFocusOnSelection();
    }
    SelectionChanged(false);
    LeftImage->setEnabled(!ReverseFinderOn());
    LeftPanel->setCursor(ReverseFinderOn() ? Qt::ForbiddenCursor : Qt::ArrowCursor);
    DrawRootSelector();
}

// Focus that sits on a chord-type button moves to the checked one, so the focus frame
// shows the chord type in use.
void TMainForm::keepFocusOnSelection()
{
    TNXPanel* focused = focusedChordTypeButton();
    if (focused && !focused->Checked())
        focusCheckedChordTypeButton();
}

void TMainForm::ReverseFinderMouseMove(int x)
{
    const bool pointing = x < ReverseFinder->width() - layout::ReverseFinderMenuZone && ReverseFinderOn();
    ReverseFinder->setCursor(pointing ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void TMainForm::FinderModeItemClick(int mode)
{
    if (Game == gtGuitar && mode != 0 && FinderMode() != mode)
        FinderMarks.clear();
    ReverseFinder->SetTag(mode);
    ReverseFinder->SetText(FinderModeCaptions[mode]);
    runReverseFind();
    DrawFinderMarks();
}

// Up and Down move the root cursor while the root column has the focus; they are taken
// even when the cursor cannot move.
bool TMainForm::ApplicationEvents1ShortCut(int key)
{
    if (!LeftPanel->hasFocus() || (key != Qt::Key_Up && key != Qt::Key_Down))
        return false;
    if (!ReverseFinderOn()) {
        if (key == Qt::Key_Up && RootCursor > 0)
            --RootCursor;
        else if (key == Qt::Key_Down && RootCursor + 1 < RootCount)
            ++RootCursor;
        DrawRootSelector();
    }
    return true;
}

void TMainForm::chooseListLine(int line)
{
    if (List->count() > line) {
        List->SelectLine(line);
        ListClick();
        ListDblClick();
    } else {
        QApplication::beep();
        emit beeped();
    }
}

TNXPanel* TMainForm::focusedChordTypeButton() const
{
    for (TNXPanel* button : ChordTypeButtons)
        if (button->hasFocus())
            return button;
    return nullptr;
}

bool TMainForm::FormKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    const bool alt = modifiers & Qt::AltModifier;
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (LeftPanel->hasFocus()) {
            if (!ReverseFinderOn()) {
                SelectRoot(RootCursor);
                SelectionChanged(false);
                PlayRootNote();
            }
            return true;
        }
        if (CenterSpot->isVisible()) {
            if (TNXPanel* button = focusedChordTypeButton())
                ChordTypeButtonMouseDown(button, Qt::LeftButton, modifiers & Qt::ControlModifier ? button->width() : 0,
                                         1);
            return true;
        }
        return false;
    case Qt::Key_Space:
    case Qt::Key_F4:
        if (alt)
            close();
        else
            PlayChord();
        return true;
    case Qt::Key_F1:
        HelpButtonClick();
        return true;
    case Qt::Key_F2:
        SpeakerButtonClick();
        return true;
    case Qt::Key_QuoteLeft:
        ThisChordContainsButtonClick();
        return true;
    default:
        break;
    }
    if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        const int line = (key == Qt::Key_0 ? 9 : key - Qt::Key_1) + (alt ? 10 : 0);
        chooseListLine(line);
        return true;
    }
    if (!alt)
        return false;
    switch (key) {
    case Qt::Key_C:
        CenterPanel->setFocus();
        return true;
    case Qt::Key_D:
        if (NoteNamesButton->Checked())
            ScaleDegreesButtonClick();
        else
            NoteNamesButtonClick();
        return true;
    case Qt::Key_F:
        if (Game != gtPiano)
            return false;
        CategoryFilterClick();
        return true;
    case Qt::Key_P:
        if (ChordButton->Checked())
            ArpeggioButtonClick();
        else
            ChordButtonClick();
        return true;
    case Qt::Key_R:
        LeftPanel->setFocus();
        return true;
    case Qt::Key_S:
        SettingsButtonClick();
        return true;
    case Qt::Key_T:
        if (Game != gtGuitar)
            return false;
        FolkButtonClick(FolkButton->Checked() ? PopButton : PopButton->Checked() ? JazzButton : FolkButton);
        return true;
    default:
        return false;
    }
}

// The window sees every key of its own controls first.
bool TMainForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this)
        return false;
    auto* keyEvent = static_cast<QKeyEvent*>(event);
    bool consumed = false;
    guard([&] {
        consumed = ApplicationEvents1ShortCut(keyEvent->key()) || FormKeyDown(keyEvent->key(), keyEvent->modifiers());
    });
    return consumed;
}
