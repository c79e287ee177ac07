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
//   TmainformExport.cpp      taking the chord out: clipboard, MIDI file, diagram, drag
//   TmainformAccessibility.cpp  the controls' names for screen readers
//   TmainformMIDIInput.cpp   live MIDI input: heard notes drive the finder and sound; the
//                            speaker's hint says why there is no sound
// Called on the GUI thread only; the player's end-of-sequence notice and the notes of the
// MIDI input arrive as queued events.
// At start-up the chord tables, and after the first paint the finder's index, are made on
// short-lived worker threads that read only files and the book, and are taken over here.
#pragma once

#include "app/Geometry.h"
#include "app/VariationList.h"
#include "chords/ChordBook.h"
#include "chords/ChordVariations.h"
#include "common/Vexel/src/PicUtils.h"
#include "controls/Nxpanel.h"
#include "layout/Layout.h"

#include <QImage>
#include <QPointer>
#include <QTemporaryDir>
#include <QWidget>

#include <atomic>
#include <cstdint>
#include <exception>
#include <future>
#include <map>
#include <optional>
#include <memory>
#include <string>
#include <vector>

class IniFile;
class Player;
class QLabel;
class QAction;
class QMenu;
class QMimeData;
class QTimer;
class TImage;
class TMIDIContent;
class TSettings;
struct PlaybackSettings;
struct UserSettings;
class TSplashScreen;
class FocusFrame;
struct LiveInput;

// What the window is built from: the folder with the data files and pics/, the program's
// first command-line parameter ("" for none), the full path of the settings file, and the
// two long-lived playback objects (either may be null: the program is then silent).
struct MainFormSetup {
    std::string folder;
    std::string firstParameter;
    std::string settingsFile;
    Player* player = nullptr;
    TMIDIContent* content = nullptr;
    // The system's font configuration being read on a worker (none: Qt reads it when first
    // needed); the window waits for it before it first measures text.
    std::shared_future<void> fontConfiguration;
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
    FocusFrame* CenterSpot = nullptr;
    FocusFrame* ChordSpot = nullptr;
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
    VariationListBox* List = nullptr;
    std::vector<TNXPanel*> ChordTypeButtons;
    QMenu* SelChordMenu = nullptr;
    QMenu* ChordMenu = nullptr;             // context menu of the play area and the instrument view
    QAction* CopyChordAction = nullptr;     // Ctrl+C
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
    // The dialogs are made after the window; the window reads settings from the settings dialog.
    // It also tells the window when the output device changes (TmainformMIDIInput.cpp).
    void SetSettingsDialog(TSettings* settings);
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
    // A plain button, or a list button with a chord type chosen from its list.
    bool NamesChordType(const TNXPanel* button) const;
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

    // --- taking the chord out: what PlayChord plays, as text, a MIDI file or a diagram
    void CopyChordClick();
    // Ask for a file name (a non-modal file dialog), then save.
    void SaveAsMIDIFileClick();
    void SaveDiagramClick();
    // Throw std::runtime_error ("Cannot write <file>: <reason>").
    void SaveChordAsMIDIFile(const std::string& path);
    void SaveChordDiagram(const std::string& path);
    // The clipboard's text for the chord; "" when there is no chord.
    std::string ChordClipboardText() const;
    // The chord as a .mid file in the window's own temporary folder (removed with the window),
    // as the URL a drag carries; null when there is no chord.
    QMimeData* ChordDragData();
    void DragChordFromPlayArea();
    // The context menu, at a point of area (the play area or the instrument view).
    void ChordMenuPopup(QWidget* area, const QPoint& at);

    // --- live MIDI input
    // Listens to the MIDI input the settings name: again when that changed, or when none of
    // its ports had opened.
    void ApplyMIDIInput();
    // One message of the MIDI input (note-on, note-off, sustain pedal, all notes off), heard at
    // timeMs (steady clock): it sounds unless the settings say otherwise, a new chord switches the
    // finder on, and the finder's marks follow the keys held.
    void MIDIInputMessage(uint32_t message, double timeMs);
    // The speaker button's hint says why the output device gives no sound, when it does not.
    void ShowSoundProblem();

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
    std::vector<LineSource> VariationSources; // the chord of each result line
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
    // The canvases' pictures while they decode on workers.
    struct CanvasDecodes {
        std::future<QImage> top, chordTypes, root, instrument, play, playChord;
        std::future<AlphaImage> rootSpot;
    };
    CanvasDecodes startCanvasPictures();
    void placeCanvasPictures(CanvasDecodes& decodes);
    void awaitChordBook();
    void startButtonPictures();
    void placeButtonPictures();
    void startFinderIndex();
    void ensureFinderIndex();
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
    // accessibility
    void nameControls();
    void nameRootColumn();
    void nameChordTones();
    // live MIDI input
    void soundHeardMessage(uint32_t message, bool newChord);
    void showHeardMarks();
    // display
    // What PlayChord plays: the selected variation, or else the current chord; null for none.
    struct ChosenRecord {
        const TChordVariation* record = nullptr;
        bool variation = false;
        int line = -1;
    };
    ChosenRecord chosenChord() const;
    void applyShowResult(ShowResult&& result);
    void showList(VariationList&& list);
    // After a chord that could not be shown: no chord, no list, nothing drawn.
    void clearChordDisplay();
    void chooseListLine(int line);
    TNXPanel* focusedChordTypeButton() const;
    void keepFocusOnSelection();
    void focusCheckedChordTypeButton();
    VariationOptions variationOptions() const;
    UserSettings userSettings() const;
    PlaybackSettings playbackSettings() const;
    void reportError(const std::exception& error);
    // export
    struct ExportChord {
        std::string name;              // "Cmaj7"
        TChordVariation chord;         // the calculated chord
        TChordVariation played;        // what PlayChord plays
        bool isVariation = false;
    };
    std::optional<ExportChord> exportChord() const;
    void connectExportCommands();
    void askSaveFile(const QString& caption, const QString& name, const QStringList& filters,
                     void (TMainForm::*save)(const std::string&));
    std::string dragFile(const std::string& name);
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
    std::future<ChordBook> pendingBook_;
    std::future<FinderIndex> pendingIndex_;   // destroyed (waited for) before Book
    // The buttons' first pictures while a worker decodes them, and whose they are.
    std::future<std::vector<TNXPanel::PictureJob>> pendingButtonPictures_;
    std::vector<QPointer<TNXPanel>> buttonPictureOwners_;
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
    std::unique_ptr<UserSettings> startSettings_; // read from the file until the settings dialog is made
    bool markMenuOpen_ = false;
    QObject* focusWatcher_ = nullptr;
    std::shared_ptr<LiveInput> live_;   // the open MIDI input and the keys it holds
    QString speakerHint_;               // the speaker button's own hint, before any reason is added
    std::shared_ptr<std::atomic<bool>> alive_ = std::make_shared<std::atomic<bool>>(true);
    std::unique_ptr<QTemporaryDir> dragFolder_;   // .mid files handed to drags, removed with the window
    QString exportFolder_;                        // where the last file was saved
};
