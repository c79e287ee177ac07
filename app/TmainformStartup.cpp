// Start-up and saved state of the main window: the creation step, the instrument
// choice, colours, the first settings file and the screen state.
#include "app/Tmainform.h"

#include "base/Files.h"

#include "chords/Notes.h"
#include "chords/ReverseFinder.h"
#include "base/TextUtil.h"
#include "controls/Nxpanel.h"
#include "dialogs/Settingsdialog.h"
#include "dialogs/HintTiming.h"
#include "dialogs/Hintsfromini.h"
#include "midi/Player.h"
#include "platform/IniFile.h"
#include "platform/ProgramFolder.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QListWidget>
#include <QMenu>
#include <QTimer>

#include <filesystem>
#include <stdexcept>

namespace {

constexpr int kDefaultRoot = 16;   // C, the last root of the table
// The finder's index is started this long after the first show, when the window has painted.
constexpr int kFinderIndexDelayMs = 100;

} // namespace

GameType ChooseInstrument(bool pianoFileExists, bool guitarFileExists, const std::string& firstParameter)
{
    if (!pianoFileExists)
        return gtGuitar;
    if (!guitarFileExists)
        return gtPiano;
    return SameText(firstParameter, "guitar") ? gtGuitar : gtPiano;
}

std::string BootstrapSettingsText(const IniFile& definitions)
{
    std::string text;
    for (const std::string& section : definitions.ReadSections()) {
        if (section.rfind("Settings", 0) != 0)
            continue;
        const std::vector<std::string> entries = definitions.ReadSectionValues(section);
        if (entries.empty())
            continue;
        text += "[" + section + "]\n";
        for (const std::string& entry : entries)
            text += entry + "\n";
    }
    return text;
}

TMainForm::TMainForm(MainFormSetup setup, QWidget* parent)
    : QWidget(parent), setup_(std::move(setup))
{
    setObjectName("MainForm");
    setWindowTitle("Tonvera");
    // Hints show 200 ms after the pointer rests, the next control's 300 ms after moving on;
    // the settings dialog sets its own delay when it loads.
    SetHintTiming(200, 300);
    buildWindowTree();
}

TMainForm::~TMainForm()
{
    qApp->removeEventFilter(this);
    // The children die after this body: nothing they signal may reach the half-destroyed window.
    delete focusWatcher_;
    for (QObject* child : findChildren<QObject*>())
        QObject::disconnect(child, nullptr, this, nullptr);
    alive_->store(false);
    if (setup_.player)
        setup_.player->Stop();
}

void TMainForm::FormCreate()
{
    QDir::setCurrent(QString::fromStdString(setup_.folder));
    if (!FileExists(JoinPath(setup_.folder, "pics/Images.dir")))
        throw std::runtime_error("Software not properly installed or corrupted.\nPlease reinstall Tonvera.");
    connectPlayerNotifications();
    LayoutStep();
    nameControls();
    const IniFile definitions(setup_.folder + "/Tonvera.def");
    loadHints(definitions);
    LoadColours(definitions);
    // Without a place to save, the program still runs on its defaults and says so once shown.
    settingsProblem_ = PrepareSettingsFile(setup_.settingsFile, BootstrapSettingsText(definitions));
    // The settings dialog is made once the window has painted; until then the window reads
    // the settings as the dialog will show them.
    startSettings_ = std::make_unique<UserSettings>(
        ReadUserSettings(setup_.settingsFile, setup_.firstParameter, setup_.player));
    LoadScreenState();
    startButtonPictures();
    created_ = true;
}

void TMainForm::loadHints(const IniFile& definitions)
{
    LoadHintsFromIni(GlobalPanel, definitions);
}

void TMainForm::SelectInstrument(int kind)
{
    if (kind != gtGuitar && kind != gtPiano)
        throw std::runtime_error("Invalid game type selected!\n Must be gtGuitar or gtPiano!");
    Game = static_cast<GameType>(kind);
    const bool guitar = Game == gtGuitar;
    FolkButton->setVisible(guitar);
    PopButton->setVisible(guitar);
    JazzButton->setVisible(guitar);
    CategoryFilter->setVisible(!guitar);
    // The chord tables load on a worker thread while this thread builds the window's
    // pictures and buttons, which do not read them; awaitChordBook() takes them over. The
    // finder's index follows once the window is on the screen (FormShow).
    pendingBook_ = std::async(std::launch::async, LoadChordTables, setup_.folder, Game);
    CategoryFilter->SetText("All");
}

// Waits for the chord knowledge SelectInstrument started loading; its errors end start-up
// as if it had loaded here.
void TMainForm::awaitChordBook()
{
    if (pendingBook_.valid())
        Book = pendingBook_.get();
}

void TMainForm::LoadColours(const IniFile& definitions)
{
    const bool piano = Game == gtPiano;
    std::string text = definitions.ReadString("Colors", piano ? "DefaultPiano" : "DefaultGuitar", "");
    if (text.empty())
        text = piano ? "255,0,0" : "255,255,255";
    MarkerColor = ParseColour(text);
    Book.ColourMap.clear();
    for (const std::string& key : definitions.ReadSection("Colors")) {
        const std::string value = definitions.ReadString("Colors", key, "");
        if (value.empty())
            continue;
        Book.ColourMap[key] = static_cast<long>(ParseColour(value));
    }
}

std::string TMainForm::ScreenStateSection() const
{
    return StartModeSection("SettingsScr", setup_.firstParameter);
}

void TMainForm::LoadScreenState()
{
    const IniFile ini(setup_.settingsFile);
    const std::string section = ScreenStateSection();
    const bool arpeggio = ini.ReadBool(section, "Arpeggio", false);
    ArpeggioButton->SetChecked(arpeggio);
    ChordButton->SetChecked(!arpeggio);
    const bool degrees = ini.ReadBool(section, "ShowScaleDegrees", false);
    ScaleDegreesButton->SetChecked(degrees);
    NoteNamesButton->SetChecked(!degrees);
    SavedChord = ini.ReadString(section, "SelectedChord", "");
    // Values the program never writes (a hand-edited file) count as the defaults.
    SavedRoot = ini.ReadInteger(section, "SelectedRoot", -1);
    if (SavedRoot < -1 || SavedRoot >= RootCount)
        SavedRoot = -1;
    int mode = ini.ReadInteger(section, "ReverseFinderMode", 0);
    if (mode != 0 && mode != 1)
        mode = 0;
    ReverseFinder->SetTag(mode);
    ReverseFinder->SetText(FinderModeCaptions[mode]);
}

void TMainForm::SaveScreenState()
{
    IniFile ini(setup_.settingsFile);
    IniFile::Batch batch(ini);
    const std::string section = ScreenStateSection();
    batch.WriteBool(section, "Arpeggio", ArpeggioButton->Checked());
    batch.WriteBool(section, "ShowScaleDegrees", ScaleDegreesButton->Checked());
    batch.WriteString(section, "SelectedChord", CurrentChordTypeName());
    batch.WriteInteger(section, "SelectedRoot", SelectedRoot);
    batch.WriteInteger(section, "ReverseFinderMode", FinderMode());
    batch.Commit();
}

// The pictures the buttons show at first decode on a worker while the window finishes its
// creation and first show, so that the first paint need not decode them.
void TMainForm::startButtonPictures()
{
    std::vector<TNXPanel::PictureJob> jobs;
    for (TNXPanel* panel : findChildren<TNXPanel*>()) {
        std::optional<TNXPanel::PictureJob> job = panel->isVisibleTo(this) ? panel->ShownPictureJob() : std::nullopt;
        if (!job)
            continue;
        buttonPictureOwners_.emplace_back(panel);
        jobs.push_back(std::move(*job));
    }
    pendingButtonPictures_ = std::async(std::launch::async, [jobs = std::move(jobs)]() mutable {
        for (TNXPanel::PictureJob& job : jobs)
            job.Decode();
        return std::move(jobs);
    });
}

// Hands each button the picture decoded for it; a button that has changed its look since
// decodes its new picture when it paints.
void TMainForm::placeButtonPictures()
{
    if (!pendingButtonPictures_.valid())
        return;
    std::vector<TNXPanel::PictureJob> jobs = pendingButtonPictures_.get();
    for (std::size_t i = 0; i < jobs.size(); ++i)
        if (buttonPictureOwners_[i])
            buttonPictureOwners_[i]->PutDecoded(std::move(jobs[i]));
    buttonPictureOwners_.clear();
}

// The first show puts back the remembered (or default) root and chord type.
void TMainForm::FormShow()
{
    if (!firstShowDone_ && created_) {
        firstShowDone_ = true;
        const bool remember = userSettings().rememberRootAndChord;
        if (remember) {
            if (SavedRoot >= 0)
                SelectRoot(SavedRoot);
            if (!SavedChord.empty())
                SelectChordTypeByName(SavedChord);
        }
        if (SelectedRoot < 0)
            SelectRoot(kDefaultRoot);
        bool anyChecked = false;
        for (TNXPanel* button : ChordTypeButtons)
            anyChecked = anyChecked || button->Checked();
        if (!anyChecked && !ChordTypeButtons.empty())
            CheckOnlyButton(ChordTypeButtons.front());
        // A chord that cannot be shown (a broken chords file) is reported like any error
        // during use; the window stays up.
        guard([&] {
            if (Game == gtPiano)
                SelectionChanged(false);
            else
                FolkButtonClick(FolkButton);
        });
        if (!settingsProblem_.empty())
            reportError(std::runtime_error("Settings cannot be saved.\n" + settingsProblem_));
        ApplyMIDIInput();
        placeButtonPictures();
        QTimer::singleShot(kFinderIndexDelayMs, this, [this] { startFinderIndex(); });
    }
    FormResize();
}

// The reverse finder's index is made on a worker thread once the window has painted. The
// book is read-only by then (LoadColours ran at creation), so both threads only read it.
void TMainForm::startFinderIndex()
{
    if (!Book.Index.built && !pendingIndex_.valid())
        pendingIndex_ = std::async(std::launch::async, MakeFinderIndex, std::cref(Book));
}

// The finder's index before a search: taken from the worker (waiting for it in the rare case
// of a search within moments of start-up), or made here when none was started.
void TMainForm::ensureFinderIndex()
{
    if (pendingIndex_.valid())
        Book.Index = pendingIndex_.get();
    else if (!Book.Index.built)
        BuildFinderIndex(Book);
}

void TMainForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    guard([&] { FormShow(); });
}

void TMainForm::closeEvent(QCloseEvent* event)
{
    if (created_) {
        try {
            SaveScreenState();
        } catch (const std::exception& error) {
            if (settingsProblem_.empty())   // else the user was told at start
                reportError(error);
        }
    }
    event->accept();
}
