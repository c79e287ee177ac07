// TMainForm: the main window. It owns the chord knowledge of the run (ChordBook), the
// current selection, the current chord and its variations, the finder marks and the skinned
// controls, and it is where the selectors, the instrument view and the chord display meet.
// The work itself is done in chords/ and midi/. Its code is split by concern:
//   Tmainform.h              this declaration
//   TmainformStartup.cpp     start-up, colours, saved screen state
//   TmainformLayout.cpp      window tree, pictures, centring, handler wiring
//   TmainformSelectors.cpp   root and chord-type selectors, categories, chord lists, finder search
//   TmainformInstrument.cpp  keyboard and fretboard: markers, hit tests, finder marks
//   TmainformDisplay.cpp     chord display, variation list, playing, error box
//   TmainformCommands.cpp    top-row buttons, finder panel, key map
// Called on the GUI thread only; the player's end-of-sequence notice arrives as a queued event.
#pragma once

#include "app/Geometry.h"
#include "chords/ChordBook.h"
#include "chords/ChordVariations.h"
#include "common/Vexel/src/PicUtils.h"
#include "layout/Layout.h"

#include <QImage>
#include <QWidget>

#include <atomic>
#include <exception>
#include <map>
#include <optional>
#include <memory>
#include <string>
#include <vector>

class IniFile;
class Player;
class QLabel;
class QListWidget;
class QMenu;
class QTimer;
class TImage;
class TMIDIContent;
class TNXPanel;
class TSettings;
struct PlaybackSettings;
struct UserSettings;
class TSplashScreen;
class DottedFrame;

// What the window is built from: the folder with the data files and pics/, the program's
// first command-line parameter ("" for none), the full path of the settings file, and the
// two long-lived playback objects (either may be null: the program is then silent).
struct MainFormSetup {
    std::string folder;
    std::string firstParameter;
    std::string settingsFile;
    Player* player = nullptr;
    TMIDIContent* content = nullptr;
};

// The instrument of a run from the voicing files present and the first parameter.
GameType ChooseInstrument(bool pianoFileExists, bool guitarFileExists, const std::string& firstParameter);

// The first settings file: every "Settings..." section of the definitions (case-sensitive
// prefix) that has entries, in file order, as "[name]" and "key=value" lines. Empty when
// there is none.
std::string BootstrapSettingsText(const IniFile& definitions);

// The window tree of the main window, owned by Qt's parent chain. The window works on it
// directly; tests and benchmarks reach it through TMainForm::Controls().
struct MainFormControls {
    QWidget* GlobalPanel = nullptr;
    QWidget* TopPanel = nullptr;
    QWidget* BackPanel = nullptr;
    QWidget* LeftPanel = nullptr;
    QWidget* CenterPanel = nullptr;
    QWidget* RightPanel = nullptr;
    QWidget* BottomPanel = nullptr;
    TImage* TopImage = nullptr;
    TImage* LeftImage = nullptr;
    TImage* CenterImage = nullptr;
    TImage* RightImage = nullptr;
    TImage* BottomImage = nullptr;
    TImage* PlayChordButton = nullptr;
    TImage* ChordInfoImage = nullptr;
    DottedFrame* CenterSpot = nullptr;
    DottedFrame* ChordSpot = nullptr;
    TNXPanel* TonveraPanel = nullptr;
    TNXPanel* NXLogo = nullptr;
    TNXPanel* ChordButton = nullptr;
    TNXPanel* ArpeggioButton = nullptr;
    TNXPanel* NoteNamesButton = nullptr;
    TNXPanel* ScaleDegreesButton = nullptr;
    TNXPanel* SpeakerButton = nullptr;
    TNXPanel* SettingsButton = nullptr;
    TNXPanel* HelpButton = nullptr;
    TNXPanel* FolkButton = nullptr;
    TNXPanel* PopButton = nullptr;
    TNXPanel* JazzButton = nullptr;
    TNXPanel* CategoryFilter = nullptr;
    TNXPanel* ReverseFinder = nullptr;
    TNXPanel* ThisChordContainsButton = nullptr;
    QLabel* RootLabel = nullptr;
    QLabel* ChordLabel = nullptr;
    QListWidget* List = nullptr;
    std::vector<TNXPanel*> ChordTypeButtons;
    QMenu* SelChordMenu = nullptr;
    QTimer* MoveEchoTimer = nullptr;
    QTimer* ShowRFBTimer = nullptr;
};

class TMainForm : public QWidget, private MainFormControls {
    Q_OBJECT
public:
    explicit TMainForm(MainFormSetup setup, QWidget* parent = nullptr);
    ~TMainForm() override;

    // The creation step: installation check, player notifications, layout, tables,
    // colours, first-run settings file, saved screen state. Throws std::exception with the
    // message the user sees after "General error: \n".
    void FormCreate();
    // The settings dialog is made after the window; the window reads settings from it.
    void SetSettingsDialog(TSettings* settings) { Settings = settings; }
    void SetAboutWindow(TSplashScreen* about) { About = about; }

    // --- start-up and saved state
    void SelectInstrument(int kind);
    void LoadColours(const IniFile& definitions);
    void LoadScreenState();
    void SaveScreenState();
    std::string ScreenStateSection() const;

    // --- layout
    void FormResize();
    void FormShow();

    // --- selectors
    void SelectRoot(int index);
    void DrawRootSelector();
    int HitTestRoot(int x, int y) const;
    bool CheckOnlyButton(TNXPanel* button);
    void SelectChordTypeByName(const std::string& name);
    std::string CurrentChordTypeName() const;
    void SelectionChanged(bool play);
    void LeftImageMouseDown(Qt::MouseButton button, int x, int y);
    void LeftImageMouseMove(int x, int y);
    void ChordTypeButtonMouseDown(TNXPanel* button, Qt::MouseButton mouseButton, int x, int y);
    void FolkButtonClick(TNXPanel* sender);
    void CategoryFilterClick();
    void OpenChordList(TNXPanel* button);

    // --- instrument view
    void DrawNoteMarker(QImage& canvas, int x, int y, bool square, ColourValue fill, ColourValue textColour,
                        const std::string& text);
    void DrawChordOnInstrument(const TChordVariation* variation);
    void DrawFinderMarks();
    int HitTestInstrument(int x, int y) const;
    void SetMarkLabel(int code, const std::string& label);
    void BottomImageMouseDown(Qt::MouseButton button, int x, int y);
    void BottomImageMouseMove();
    void MoveEchoTimerTimer();
    void ShowRFBTimerTimer();

    // --- chord display
    void PlaceLabels();
    void DrawChordInfo();
    void PlayChord();
    void PlayRootNote();
    void SoundFinderNote(int note);
    void ListClick();
    bool ReverseFinderOn() const;
    // Focus moved into (entered) or out of a selector panel.
    void FocusChanged(QObject* watched, bool entered);
    int FinderMode() const;

    // --- commands and keys
    void ChordButtonClick();
    void ArpeggioButtonClick();
    void NoteNamesButtonClick();
    void ScaleDegreesButtonClick();
    void SpeakerButtonClick();
    void SettingsButtonClick();
    void HelpButtonClick();
    void NXLogoClick();
    void ThisChordContainsButtonClick();
    void ListDblClick();
    void ReverseFinderMouseDown(int x);
    void ReverseFinderMouseMove(int x);
    void FinderModeItemClick(int mode);
    // A key the window takes before any control; true when it is consumed.
    bool FormKeyDown(int key, Qt::KeyboardModifiers modifiers);
    bool ApplicationEvents1ShortCut(int key);

signals:
    // A key found nothing to do; the window beeped.
    void beeped();

public:

    // The window tree, for tests and tools that drive the window as a user would.
    const MainFormControls& Controls() const { return *this; }

    // The chord knowledge of this run, and the view's state.
    ChordBook Book;
    TChordVariation CurrentChord;
    std::deque<TChordVariation> Variations;   // element i belongs to list line i when variations are listed
    GameType Game = gtPiano;
    int SelectedRoot = -1;
    int RootCursor = -1;
    int SavedRoot = -1;
    std::string SavedChord;
    ColourValue MarkerColor = 0;
    std::map<int, std::string> FinderMarks;
    int HoverNote = -1;
    bool MenuJustClosed = false;
    std::string GuitarCategory;
    TSettings* Settings = nullptr;
    TSplashScreen* About = nullptr;

    // The list button that opened SelChordMenu, while a chord list is open.
    TNXPanel* SelChordMenuButton = nullptr;
    int ListTag = -1;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // start-up
    void connectPlayerNotifications();
    void loadHints(const IniFile& definitions);
    // layout
    void buildWindowTree();
    void LayoutStep();
    void loadCanvasPictures();
    void placePanels();
    void createChordTypeButtons();
    TNXPanel* makePanel(QWidget* parent, const layout::SkinButton& spec);
    void setPictures(TNXPanel* panel, const std::string& stem, bool pressed, bool checked);
    void setPictures(TNXPanel* panel, const layout::SkinButton& spec);
    void connectHandlers();
    std::string pic(const std::string& name) const;
    std::string pic(const layout::Picture& picture) const;
    // selectors
    const layout::ChordTypeButton* rowOf(const TNXPanel* button) const;
    void CenterPanelEnter();
    void CenterPanelExit();
    void CenterImageMouseDown(int x, int y);
    void ChordTypeButtonEnter(TNXPanel* button);
    void ChordTypeButtonExit();
    void CategoryItemClick(const std::string& caption);
    void ChordListItemClick(const std::string& caption);
    void runReverseFind();
    void showMenuBelow(QWidget* anchor);
    // instrument view
    void MarkMenuClick(const std::string& caption);
    bool noteNamesShown() const;
    ColourValue markerFill(const TChordVariation& record, size_t i) const;
    void drawFinderMarker(QImage& canvas, int code, ColourValue fill, const std::string& label);
    std::optional<layout::Point> codeCentre(int code) const;
    // display
    void applyShowResult(ShowResult&& result);
    // After a chord that could not be shown: no chord, no list, nothing drawn.
    void clearChordDisplay();
    void chooseListLine(int line);
    TNXPanel* focusedChordTypeButton() const;
    void rebuildList(const std::vector<std::string>& lines);
    VariationOptions variationOptions() const;
    UserSettings userSettings() const;
    PlaybackSettings playbackSettings() const;
    void reportError(const std::exception& error);
    // Runs a user action; an error is shown in a message box and the program carries on.
    template <typename F>
    void guard(F&& action)
    {
        try {
            action();
        } catch (const std::exception& error) {
            reportError(error);
        }
    }

    MainFormSetup setup_;
    // Each chord-type button with the table row it was made from, in table order.
    struct ChordTypeButtonRow {
        TNXPanel* button;
        const layout::ChordTypeButton* row;
    };
    std::vector<ChordTypeButtonRow> chordTypeRows_;
    QImage rootBackground_;
    AlphaImage rootSpot_;
    QImage InstrumentPicture;
    bool firstShowDone_ = false;
    bool drawing_ = false;
    bool created_ = false;
    std::string settingsProblem_;   // why the settings file cannot be saved, "" when it can
    bool markMenuOpen_ = false;
    QObject* focusWatcher_ = nullptr;
    std::shared_ptr<std::atomic<bool>> alive_ = std::make_shared<std::atomic<bool>>(true);
};
