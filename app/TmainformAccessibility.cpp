// What a screen reader hears of the main window: every control's name (its description is
// its hint, given with the hints), and the names that follow the selection.
#include "app/Tmainform.h"

#include "chords/Notes.h"
#include "controls/Nxcomponentutils.h"
#include "controls/Nxpanel.h"
#include "controls/Timage.h"

namespace {

QString latin1(std::string_view text)
{
    return FromDataText(text);
}

// A list button's name says which group's further chord types it holds.
QString chordTypeButtonName(const layout::ChordTypeButton& row)
{
    if (!row.isList)
        return latin1(row.name);
    static const char* const groups[] = {"major", "minor", "dominant"};
    return QString("More %1 chords").arg(groups[row.group - layout::FirstChordTypeGroup]);
}

} // namespace

void TMainForm::nameControls()
{
    const std::pair<QWidget*, const char*> names[] = {
        {TonveraPanel, "About Tonvera"},
        {NXLogo, "About Tonvera"},
        {ChordButton, "Chord"},
        {ArpeggioButton, "Arpeggio"},
        {NoteNamesButton, "Note names"},
        {ScaleDegreesButton, "Scale degrees"},
        {SpeakerButton, "Volume control"},
        {SettingsButton, "Settings"},
        {HelpButton, "Help"},
        {FolkButton, "FOLK"},
        {PopButton, "POP"},
        {JazzButton, "JAZZ"},
        {CategoryFilter, "Voicing category"},
        {ReverseFinder, "Chord finder"},
        {CenterPanel, "Chord types"},
        {PlayChordButton, "Play chord"},
        {ThisChordContainsButton, "This chord contains"},
        {List, "Variations"},
        {BottomImage, Game == gtPiano ? "Keyboard" : "Fretboard"},
    };
    for (const auto& [control, name] : names)
        control->setAccessibleName(name);
    for (const ChordTypeButtonRow& pair : chordTypeRows_)
        pair.button->setAccessibleName(chordTypeButtonName(*pair.row));
    nameRootColumn();
    nameChordTones();
}

// The root column says the root under its cursor, which is the selected one unless the
// cursor keys moved it.
void TMainForm::nameRootColumn()
{
    const int root = RootCursor >= 0 && RootCursor < RootCount ? RootCursor : SelectedRoot;
    QString name = "Root";
    if (root >= 0 && root < RootCount)
        name += ": " + latin1(RootTable[root].name) + (root == SelectedRoot ? "" : " (not selected)");
    if (!LeftImage->isEnabled())
        name += ", locked by the chord finder";
    if (LeftPanel->accessibleName() != name)
        LeftPanel->setAccessibleName(name);
}

// The row of degrees and note names, read out as "C (R), E (3), G (5)".
void TMainForm::nameChordTones()
{
    QString name = "Chord tones";
    for (size_t i = 0; i < CurrentChord.notes.size(); ++i) {
        const std::string note = i < CurrentChord.noteNames.size() ? CurrentChord.noteNames[i] : std::string();
        const std::string degree = i < CurrentChord.degreeLabels.size() ? CurrentChord.degreeLabels[i] : std::string();
        name += (i == 0 ? ": " : ", ") + latin1(note) + " (" + latin1(degree) + ")";
    }
    ChordInfoImage->setAccessibleName(name);
}
