// The root selector, the chord-type buttons, the category choosers and the chord lists.
#include "app/Tmainform.h"

#include "app/FocusFrame.h"
#include "app/MenuColumns.h"
#include "chords/ChordButtons.h"
#include "chords/ReverseFinder.h"
#include "chords/Notes.h"
#include "base/TextUtil.h"
#include "controls/Nxcomponentutils.h"
#include "controls/Nxpanel.h"
#include "dialogs/Settingsdialog.h"
#include "controls/Timage.h"
#include "layout/Layout.h"

#include <QMenu>
#include <QPainter>

namespace {

const QColor kSilver(192, 192, 192);
const QColor kLockedShade(0, 0, 0, 150);

static_assert(layout::RootCentres.size() == RootTable.size(), "a place on the root column for every root");

// The text's top-left corner that centres it on (x, y).
QPoint centredTextOrigin(const QFontMetrics& metrics, const QString& text, int x, int y)
{
    return {x - metrics.horizontalAdvance(text) / 2, y - metrics.height() / 2 + metrics.ascent()};
}

} // namespace

int TMainForm::HitTestRoot(int x, int y) const
{
    return geometry::HitTestCentres(layout::RootCentres, x, y);
}

void TMainForm::SelectRoot(int index)
{
    SelectedRoot = index;
    RootCursor = index;
    DrawRootSelector();
}

void TMainForm::DrawRootSelector()
{
    LeftImage->SetPicture(rootBackground_);
    QImage& canvas = LeftImage->Canvas();
    if (SelectedRoot >= 0 && SelectedRoot < RootCount) {
        const TRootInfo& root = RootTable[SelectedRoot];
        const layout::Point centre = layout::RootCentres[SelectedRoot];
        rootSpot_.Draw(canvas, centre.x - rootSpot_.LogicalWidth() / 2, centre.y - rootSpot_.LogicalHeight() / 2);
        QPainter painter(&canvas);
        painter.setFont(FontFromPoints("Arial", 10, true));
        painter.setPen(QColor(255, 255, 0));
        const QString name = FromDataText(root.name);
        painter.drawText(centredTextOrigin(painter.fontMetrics(), name, centre.x, centre.y), name);
    }
    if (LeftPanel->hasFocus()) {
        QPainter painter(&canvas);
        painter.setPen(QPen(kSilver, 1, Qt::DotLine));
        painter.drawRect(8, 8, LeftImage->width() - 9, LeftImage->height() - 9);
        if (RootCursor != SelectedRoot && RootCursor >= 0 && RootCursor < RootCount) {
            const TRootInfo& root = RootTable[RootCursor];
            const layout::Point centre = layout::RootCentres[RootCursor];
            const int w = rootSpot_.LogicalWidth();
            const int h = rootSpot_.LogicalHeight();
            painter.setPen(kSilver);
            painter.setBrush(kSilver);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.drawEllipse(centre.x - w / 2, centre.y - h / 2, w, h);
            painter.setFont(FontFromPoints("Arial", 10, true));
            painter.setPen(Qt::red);
            const QString name = FromDataText(root.name);
            painter.drawText(centredTextOrigin(painter.fontMetrics(), name, centre.x, centre.y), name);
        }
    }
    nameRootColumn();
    // While the finder has locked the roots, the column is dimmed.
    if (!LeftImage->isEnabled()) {
        QPainter painter(&canvas);
        painter.fillRect(canvas.rect(), kLockedShade);
    }
    LeftImage->Repaint();
}

void TMainForm::LeftImageMouseMove(int x, int y)
{
    LeftImage->setCursor(HitTestRoot(x, y) >= 0 ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void TMainForm::LeftImageMouseDown(Qt::MouseButton, int x, int y)
{
    if (!LeftImage->isEnabled())
        return;
    LeftPanel->setFocus();
    const int root = HitTestRoot(x, y);
    if (root < 0)
        return;
    if (root != SelectedRoot) {
        SelectRoot(root);
        SelectionChanged(false);
    }
    PlayRootNote();
}

bool TMainForm::CheckOnlyButton(TNXPanel* button)
{
    bool found = false;
    for (TNXPanel* candidate : ChordTypeButtons) {
        candidate->SetChecked(candidate == button);
        found = found || candidate == button;
    }
    return found;
}

const layout::ChordTypeButton* TMainForm::rowOf(const TNXPanel* button) const
{
    for (const ChordTypeButtonRow& pair : chordTypeRows_)
        if (pair.button == button)
            return pair.row;
    return nullptr;
}

void TMainForm::SelectChordTypeByName(const std::string& name)
{
    const std::string wanted = LowerCase(name);
    for (const auto& [button, row] : chordTypeRows_) {
        if (row->isList) {
            const auto members = Book.ListMembers.find(std::string(row->name));
            if (members != Book.ListMembers.end() &&
                LowerCase(members->second).find("(" + wanted + ")") != std::string::npos) {
                button->SetText(wanted);
                CheckOnlyButton(button);
                return;
            }
        } else if (SameText(row->name, wanted)) {
            CheckOnlyButton(button);
            return;
        }
    }
}

std::string TMainForm::CurrentChordTypeName() const
{
    if (ReverseFinderOn())
        return ReverseFinder->Caption();
    for (const auto& [button, row] : chordTypeRows_) {
        if (!button->Checked())
            continue;
        if (row->isList)
            return LowerCase(button->GetText());
        return LowerCase(row->name);
    }
    return "";
}

void TMainForm::ChordTypeButtonMouseDown(TNXPanel* button, Qt::MouseButton mouseButton, int x, int)
{
    button->setFocus();
    if (x >= layout::ListArrowLeft) {
        OpenChordList(button);
        return;
    }
    if (ReverseFinderOn()) {
        button->SetChecked(!button->Checked());
        if (mouseButton == Qt::RightButton)
            for (TNXPanel* other : ChordTypeButtons)
                if (other != button)
                    other->SetChecked(false);
        runReverseFind();
        return;
    }
    // A list button that was never used holds no chord type yet: its body opens the list.
    if (!NamesChordType(button)) {
        OpenChordList(button);
        return;
    }
    CheckOnlyButton(button);
    SelectionChanged(true);
}

bool TMainForm::NamesChordType(const TNXPanel* button) const
{
    const layout::ChordTypeButton* row = rowOf(button);
    return row && (!row->isList || !button->GetText().empty());
}

void TMainForm::SelectionChanged(bool play)
{
    PlaceLabels();
    const std::string type = CurrentChordTypeName();
    if (SelectedRoot < 0 || type.empty())
        return;
    if (!ReverseFinderOn()) {
        try {
            applyShowResult(ShowCurrentChord(Book, SelectedRoot, type, false, variationOptions()));
        } catch (const std::exception&) {
            // Nothing of the previous chord may stay on show or be played under the new name.
            clearChordDisplay();
            throw;
        }
    }
    DrawChordInfo();
    if (play)
        PlayChord();
}

void TMainForm::CenterPanelEnter()
{
    CenterSpot->show();
    CenterSpot->raise();
    focusCheckedChordTypeButton();
}

void TMainForm::focusCheckedChordTypeButton()
{
    for (TNXPanel* button : ChordTypeButtons)
        if (button->Checked()) {
            button->setFocus();
            return;
        }
}

void TMainForm::CenterPanelExit()
{
    QWidget* focus = focusWidget();
    if (focus && (focus == CenterPanel || CenterPanel->isAncestorOf(focus)))
        return;
    CenterSpot->hide();
}

void TMainForm::ChordTypeButtonEnter(TNXPanel* button)
{
    CenterSpot->show();
    // Its two-pixel line lies just outside the button.
    ChordSpot->setGeometry(button->geometry().adjusted(-2, -2, 2, 2));
    ChordSpot->show();
    ChordSpot->raise();
}

void TMainForm::ChordTypeButtonExit()
{
    ChordSpot->hide();
    CenterPanelExit();
}

void TMainForm::CenterImageMouseDown(int x, int y)
{
    if (CenterSpot->geometry().contains(x, y))
        CenterPanel->setFocus();
}

void TMainForm::FolkButtonClick(TNXPanel* sender)
{
    for (TNXPanel* button : {FolkButton, PopButton, JazzButton})
        button->SetChecked(button == sender);
    GuitarCategory = sender->Caption();
    SelectionChanged(false);
}

void TMainForm::showMenuBelow(QWidget* anchor)
{
    ArrangeInColumns(SelChordMenu);
    SelChordMenu->popup(anchor->mapToGlobal(QPoint(0, anchor->height())));
}

void TMainForm::CategoryFilterClick()
{
    SelChordMenu->clear();
    SelChordMenuButton = nullptr;
    std::vector<std::string> captions = {"All"};
    for (const auto& [category, first] : Book.VoicingCategories)
        captions.push_back(category);
    for (const std::string& caption : captions) {
        QAction* item = SelChordMenu->addAction(FromDataText(caption));
        if (caption == CategoryFilter->GetText())
            SelChordMenu->setDefaultAction(item);
        connect(item, &QAction::triggered, this, [this, caption] { guard([&] { CategoryItemClick(caption); }); });
    }
    showMenuBelow(CategoryFilter);
}

void TMainForm::CategoryItemClick(const std::string& caption)
{
    CategoryFilter->SetText(caption);
    SelectionChanged(false);
}

void TMainForm::OpenChordList(TNXPanel* button)
{
    SelChordMenu->clear();
    SelChordMenuButton = button;
    // A plain button has no chord list: its drop-down is empty.
    const layout::ChordTypeButton* row = rowOf(button);
    const auto list = row && row->isList ? Book.ChordLists.find(std::string(row->name)) : Book.ChordLists.end();
    if (list != Book.ChordLists.end()) {
        for (const std::string& name : list->second) {
            QAction* item = SelChordMenu->addAction(FromDataText(name));
            if (name == button->GetText())
                SelChordMenu->setDefaultAction(item);
            connect(item, &QAction::triggered, this, [this, name] { guard([&] { ChordListItemClick(name); }); });
        }
    }
    showMenuBelow(button);
}

void TMainForm::ChordListItemClick(const std::string& caption)
{
    TNXPanel* button = SelChordMenuButton;
    if (!button)
        return;
    button->SetText(caption);
    if (ReverseFinderOn()) {
        button->SetChecked(!button->Checked());
        runReverseFind();
        return;
    }
    CheckOnlyButton(button);
    SelectionChanged(true);
}

void TMainForm::runReverseFind()
{
    std::vector<CheckedButton> checked;
    for (const auto& [button, row] : chordTypeRows_)
        if (button->Checked())
            checked.push_back({std::string(row->name), row->isList});
    FinderQuery query;
    query.marks = FinderMarks;
    query.mode = FinderMode();
    query.typeFilter = ChordTypeFilter(checked, Book.ListMembers);
    query.options = variationOptions();
    query.nameFromBass = userSettings().nameFromLowestNote;
    ensureFinderIndex();
    FinderResult found = ReverseFind(Book, query);
    showList(std::move(found.list));
    List->SetEmptyText(FinderMarks.size() < 2 ? "Mark two or more notes" : "No chord contains these notes");
    // What was found before an error stays listed, and the error is shown; the handler that
    // searched still finishes (its marks are drawn).
    if (!found.error.empty())
        reportError(ChordError(found.error));
}
