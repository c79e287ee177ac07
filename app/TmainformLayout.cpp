// The main window's tree of panels, canvases and skinned buttons, their pictures, the
// chord-type buttons made at run time, centring and the minimum size.
#include "app/Tmainform.h"

#include "app/DottedFrame.h"
#include "app/EmbossedLabel.h"
#include "chords/ChordButtons.h"
#include "controls/Nxcomponentutils.h"
#include "controls/Nxpanel.h"
#include "controls/Timage.h"

#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QPainter>
#include <QListWidget>
#include <QMenu>
#include <QResizeEvent>
#include <QTimer>

namespace {

QWidget* makeContainer(QWidget* parent, const char* name, int left, int top, int width, int height)
{
    auto* panel = new QWidget(parent);
    panel->setObjectName(name);
    panel->setGeometry(left, top, width, height);
    return panel;
}

TImage* makeImage(QWidget* parent, const char* name, int left, int top, int width, int height)
{
    auto* image = new TImage(parent);
    image->setObjectName(name);
    image->setGeometry(left, top, width, height);
    image->SetCanvasSize(width, height);
    return image;
}

QLabel* makeBigLabel(QWidget* parent, const char* name, int pixels)
{
    auto* label = new EmbossedLabel(parent);
    label->setObjectName(name);
    QFont font = FontFromPixels("Arial", pixels);
    MakeFontAntialiased(font);
    label->setFont(font);
    return label;
}

} // namespace

std::string TMainForm::pic(const std::string& name) const
{
    return setup_.folder + "/pics/" + name;
}

TNXPanel* TMainForm::makePanel(QWidget* parent, const char* name, int left, int top, int width, int height)
{
    auto* panel = new TNXPanel(parent);
    panel->setObjectName(name);
    panel->Loaded();
    panel->setGeometry(left, top, width, height);
    panel->SetBkColor(Qt::white);
    return panel;
}

void TMainForm::setPictures(TNXPanel* panel, const std::string& stem, bool pressed, bool checked)
{
    panel->SetPicOnIdle(pic(stem + "Initial.png"));
    panel->SetPicOnMouseMove(pic(stem + "Mouse.png"));
    if (pressed)
        panel->SetPicOnMouseDown(pic(stem + "Pressed.png"));
    if (checked)
        panel->SetPicOnChecked(pic(stem + "Pressed.png"));
}

// The tree exists from construction so every member is valid; pictures and geometry
// come with the layout step.
void TMainForm::buildWindowTree()
{
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setAutoFillBackground(true);
    QFont formFont = FontFromPoints("MS Sans Serif", 8);
    setFont(formFont);
    resize(1046, 717);
    // The client area never gets smaller than the composition.
    setMinimumSize(geometry::kPanelWidth, geometry::kPanelHeight);

    GlobalPanel = makeContainer(this, "GlobalPanel", 0, 0, 1016, 710);
    TopPanel = makeContainer(GlobalPanel, "TopPanel", 0, 0, 1016, 65);
    TopImage = makeImage(TopPanel, "TopImage", 0, 0, 1016, 65);
    BackPanel = makeContainer(GlobalPanel, "BackPanel", 0, 65, 1016, 452);
    LeftPanel = makeContainer(BackPanel, "LeftPanel", 0, 0, 132, 452);
    LeftPanel->setFocusPolicy(Qt::StrongFocus);
    LeftImage = makeImage(LeftPanel, "LeftImage", 0, 0, 132, 452);
    CenterPanel = makeContainer(BackPanel, "CenterPanel", 132, 0, 190, 452);
    CenterPanel->setFocusPolicy(Qt::StrongFocus);
    CenterImage = makeImage(CenterPanel, "CenterImage", 0, 0, 190, 452);
    CenterSpot = new DottedFrame(CenterPanel, QColor(192, 192, 192), false);
    CenterSpot->setObjectName("CenterSpot");
    CenterSpot->setGeometry(8, 60, 170, 378);
    ChordSpot = new DottedFrame(CenterPanel, QColor(0, 128, 0), true);
    ChordSpot->setObjectName("ChordSpot");
    RightPanel = makeContainer(BackPanel, "RightPanel", 322, 0, 694, 452);
    RightImage = makeImage(RightPanel, "RightImage", 0, 0, 694, 452);
    BottomPanel = makeContainer(GlobalPanel, "BottomPanel", 0, 517, 1016, 193);
    BottomImage = makeImage(BottomPanel, "BottomImage", 0, 0, 1016, 193);
    BottomImage->setMouseTracking(true);
    LeftImage->setMouseTracking(true);

    TonveraPanel = makePanel(TopPanel, "TonveraPanel", 10, 14, 188, 34);
    NXLogo = makePanel(TopPanel, "NXLogo", 886, 7, 127, 55);
    ChordButton = makePanel(TopPanel, "ChordButton", 263, 17, 60, 31);
    ArpeggioButton = makePanel(TopPanel, "ArpeggioButton", 323, 17, 81, 31);
    NoteNamesButton = makePanel(TopPanel, "NoteNamesButton", 489, 17, 92, 31);
    ScaleDegreesButton = makePanel(TopPanel, "ScaleDegreesButton", 581, 17, 113, 31);
    SpeakerButton = makePanel(TopPanel, "SpeakerButton", 714, 17, 38, 31);
    SettingsButton = makePanel(TopPanel, "SettingsButton", 752, 17, 75, 31);
    HelpButton = makePanel(TopPanel, "HelpButton", 827, 17, 43, 31);
    FolkButton = makePanel(CenterPanel, "FolkButton", 8, 19, 47, 19);
    FolkButton->SetCaption("FOLK");
    FolkButton->SetChecked(true);
    PopButton = makePanel(CenterPanel, "PopButton", 56, 19, 75, 19);
    PopButton->SetCaption("POP");
    JazzButton = makePanel(CenterPanel, "JazzButton", 132, 19, 49, 19);
    JazzButton->SetCaption("JAZZ");
    CategoryFilter = makePanel(CenterPanel, "CategoryFilter", 8, 19, 173, 19);
    ReverseFinder = makePanel(CenterPanel, "ReverseFinder", 16, 418, 157, 19);
    ReverseFinder->SetAlignment(Qt::AlignLeft);
    ReverseFinder->SetTextMarginOn(true);
    ReverseFinder->SetTextMarginX(20);

    PlayChordButton = makeImage(RightPanel, "PlayChordButton", 8, 19, 669, 172);
    PlayChordButton->setCursor(Qt::PointingHandCursor);
    RootLabel = makeBigLabel(RightPanel, "RootLabel", 123);
    ChordLabel = makeBigLabel(RightPanel, "ChordLabel", 48);
    ThisChordContainsButton = makePanel(RightPanel, "ThisChordContainsButton", 8, 203, 171, 49);
    ThisChordContainsButton->SetBkColor(Qt::black);
    ThisChordContainsButton->SetFontOnIdle({FontFromPoints("MS Sans Serif", 8), Qt::white});
    ChordInfoImage = makeImage(RightPanel, "ChordInfoImage", 179, 205, 495, 45);

    List = new QListWidget(RightPanel);
    List->setObjectName("List");
    List->setFrameShape(QFrame::NoFrame);
    List->setFocusPolicy(Qt::StrongFocus);

    SelChordMenu = new QMenu(this);
    SelChordMenu->setObjectName("SelChordMenu");
    MoveEchoTimer = new QTimer(this);
    MoveEchoTimer->setInterval(50);
    ShowRFBTimer = new QTimer(this);
    ShowRFBTimer->setInterval(1500);
    connectHandlers();
}

void TMainForm::LayoutStep()
{
    QFont listFont = FontFromPixels("Arial", 19);
    MakeFontAntialiased(listFont);
    List->setFont(listFont);

    const bool pianoFile = QFileInfo::exists(QString::fromStdString(setup_.folder + "/pianochords.def"));
    const bool guitarFile = QFileInfo::exists(QString::fromStdString(setup_.folder + "/guitarchords.def"));
    SelectInstrument(ChooseInstrument(pianoFile, guitarFile, setup_.firstParameter));

    placePanels();
    loadCanvasPictures();

    List->setGeometry(8, 270, 666, 169);
    // Dark green ground with teal text; tab stops every 50 pixels.
    List->setStyleSheet("QListWidget { background: rgb(0,15,0); color: teal; outline: 0; }"
                        "QListWidget::item { height: 22px; }"
                        "QListWidget::item:selected { background: rgb(0,70,60); color: rgb(150,255,230); }");

    setPictures(TonveraPanel, "Tonvera", false, false);
    setPictures(NXLogo, "NXLogo", false, false);
    setPictures(ChordButton, "Chord", true, true);
    setPictures(ArpeggioButton, "Arpeggio", true, true);
    setPictures(NoteNamesButton, "NoteNames", true, true);
    setPictures(ScaleDegreesButton, "ScaleDegrees", true, true);
    setPictures(SpeakerButton, "Speaker", true, false);
    setPictures(SettingsButton, "Settings", true, false);
    setPictures(HelpButton, "Help", true, false);
    setPictures(FolkButton, "Folk", true, true);
    setPictures(PopButton, "Pop", true, true);
    setPictures(JazzButton, "Jazz", true, true);
    setPictures(CategoryFilter, "Key", true, true);
    setPictures(ReverseFinder, "ReverseChordFinder", true, true);
    setPictures(ThisChordContainsButton, "ThisChordContains", true, true);
    PlayChordButton->LoadPicture(pic("PlayChordInitial.png"));

    PlaceLabels();

    ChordInfoImage->setGeometry(ThisChordContainsButton->x() + ThisChordContainsButton->width(),
                                ThisChordContainsButton->y() + 2,
                                674 - (ThisChordContainsButton->x() + ThisChordContainsButton->width()),
                                ThisChordContainsButton->height() - 4);
    ChordInfoImage->SetCanvasSize(ChordInfoImage->width(), ChordInfoImage->height());

    BottomImage->SetTag(Game == gtPiano ? 6 : 7);
    BottomImage->setProperty("Tag", BottomImage->Tag());
    createChordTypeButtons();
}

void TMainForm::placePanels()
{
    GlobalPanel->resize(1016, 710);
    BottomPanel->resize(1016, 193);
    TopPanel->resize(1016, 65);
    LeftPanel->resize(132, 452);
    CenterPanel->resize(190, 452);
    RightPanel->resize(694, 452);
}

void TMainForm::loadCanvasPictures()
{
    TopImage->LoadPicture(pic("ControllsArea.png"));
    CenterImage->LoadPicture(pic("TypeChordsArea.png"));
    if (Game == gtPiano) {
        QImage overlay;
        LoadImageToBitmap(overlay, pic("TypeChordsAreaFree.png"));
        QPainter painter(&CenterImage->Canvas());
        painter.drawImage(0, 0, overlay);
    }
    rootSpot_ = AlphaImage(pic("Spot01.png"));
    LoadImageToBitmap(rootBackground_, pic("RootArea.png"));
    LeftImage->SetPicture(rootBackground_);
    LoadImageToBitmap(InstrumentPicture, pic(Game == gtPiano ? "KeyboardArea.png" : "FretboardArea.png"));
    BottomImage->SetPicture(InstrumentPicture);
    RightImage->LoadPicture(pic("PlayChordArea.png"));
}

void TMainForm::createChordTypeButtons()
{
    ChordTypeButtons.clear();
    // Tab stops: the root column, the chord-type column, its buttons in table order, the list.
    setTabOrder(LeftPanel, CenterPanel);
    QWidget* previous = CenterPanel;
    for (const ChordTypeButton& entry : ChordTypeButtonTable) {
        const std::string name(entry.name);
        auto* button = new TNXPanel(CenterPanel);
        button->Loaded();
        setPictures(button, name, true, true);
        button->setGeometry(entry.left, entry.top, entry.isList ? 85 : 66, 17);
        button->SetTag(entry.group);
        button->setProperty("Tag", entry.group);
        button->setFocusPolicy(Qt::StrongFocus);
        if (entry.isList) {
            button->SetFontOnIdle({FontFromPoints("Arial", 7), QColor(200, 200, 200)});
            button->SetTextMarginOn(true);
            button->SetAlignment(Qt::AlignLeft);
            button->SetTextMarginX(20);
            button->SetText("");
        }
        button->setObjectName(QString::fromStdString(ComponentName(entry)));
        connect(button, &TNXPanel::mouseDown, this,
                [this, button](Qt::MouseButton mouse, Qt::KeyboardModifiers, int x, int y) {
                    ChordTypeButtonMouseDown(button, mouse, x, y);
                });
        connect(button, &TNXPanel::focusEntered, this, [this, button] { ChordTypeButtonEnter(button); });
        connect(button, &TNXPanel::focusLeft, this, [this] { ChordTypeButtonExit(); });
        setTabOrder(previous, button);
        previous = button;
        ChordTypeButtons.push_back(button);
    }
    setTabOrder(previous, List);
}

void TMainForm::FormResize()
{
    const geometry::Point origin = geometry::GlobalPanelOrigin(width(), height());
    GlobalPanel->move(origin.x, origin.y);
}

void TMainForm::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    FormResize();
}

// Focus changes inside the window decide the selectors' focus frames.
class FocusWatcher : public QObject {
public:
    explicit FocusWatcher(TMainForm* form) : QObject(form), form_(form) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)
            form_->FocusChanged(watched, event->type() == QEvent::FocusIn);
        return false;
    }

private:
    TMainForm* form_;
};

void TMainForm::FocusChanged(QObject* watched, bool entered)
{
    if (watched == LeftPanel) {
        DrawRootSelector();
    } else if (watched == CenterPanel) {
        if (entered)
            CenterPanelEnter();
        else
            CenterPanelExit();
    }
}

void TMainForm::connectHandlers()
{
    focusWatcher_ = new FocusWatcher(this);
    LeftPanel->installEventFilter(focusWatcher_);
    CenterPanel->installEventFilter(focusWatcher_);

    connect(LeftImage, &TImage::mouseDown, this, [this](Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y) {
        guard([&] { LeftImageMouseDown(button, x, y); });
    });
    connect(LeftImage, &TImage::mouseMove, this,
            [this](Qt::KeyboardModifiers, int x, int y) { LeftImageMouseMove(x, y); });
    connect(CenterImage, &TImage::mouseDown, this,
            [this](Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) { CenterImageMouseDown(x, y); });
    connect(BottomImage, &TImage::mouseDown, this, [this](Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y) {
        guard([&] { BottomImageMouseDown(button, x, y); });
    });
    connect(BottomImage, &TImage::mouseMove, this, [this](Qt::KeyboardModifiers, int, int) { BottomImageMouseMove(); });
    connect(MoveEchoTimer, &QTimer::timeout, this, [this] { MoveEchoTimerTimer(); });
    connect(ShowRFBTimer, &QTimer::timeout, this, [this] { ShowRFBTimerTimer(); });
    connect(SelChordMenu, &QMenu::aboutToHide, this, [this] {
        if (markMenuOpen_) {
            markMenuOpen_ = false;
            MenuJustClosed = true;
        }
    });
    for (TNXPanel* button : {FolkButton, PopButton, JazzButton})
        connect(button, &TNXPanel::clicked, this, [this, button] { guard([&] { FolkButtonClick(button); }); });
    connect(CategoryFilter, &TNXPanel::clicked, this, [this] { guard([&] { CategoryFilterClick(); }); });
    connect(PlayChordButton, &TImage::mouseDown, this,
            [this](Qt::MouseButton, Qt::KeyboardModifiers, int, int) { guard([&] { PlayChord(); }); });
    connect(List, &QListWidget::itemClicked, this, [this] { guard([&] { ListClick(); }); });
    connect(List, &QListWidget::itemDoubleClicked, this, [this] { guard([&] { ListDblClick(); }); });
    connect(ChordButton, &TNXPanel::clicked, this, [this] { ChordButtonClick(); });
    connect(ArpeggioButton, &TNXPanel::clicked, this, [this] { ArpeggioButtonClick(); });
    connect(NoteNamesButton, &TNXPanel::clicked, this, [this] { guard([&] { NoteNamesButtonClick(); }); });
    connect(ScaleDegreesButton, &TNXPanel::clicked, this, [this] { guard([&] { ScaleDegreesButtonClick(); }); });
    connect(SpeakerButton, &TNXPanel::clicked, this, [this] { SpeakerButtonClick(); });
    connect(SettingsButton, &TNXPanel::clicked, this, [this] { guard([&] { SettingsButtonClick(); }); });
    connect(HelpButton, &TNXPanel::clicked, this, [this] { HelpButtonClick(); });
    connect(TonveraPanel, &TNXPanel::clicked, this, [this] { NXLogoClick(); });
    connect(NXLogo, &TNXPanel::clicked, this, [this] { NXLogoClick(); });
    connect(ThisChordContainsButton, &TNXPanel::clicked, this,
            [this] { guard([&] { ThisChordContainsButtonClick(); }); });
    connect(ReverseFinder, &TNXPanel::mouseDown, this,
            [this](Qt::MouseButton, Qt::KeyboardModifiers, int x, int) { guard([&] { ReverseFinderMouseDown(x); }); });
    connect(ReverseFinder, &TNXPanel::mouseMove, this,
            [this](Qt::KeyboardModifiers, int x, int) { ReverseFinderMouseMove(x); });
    qApp->installEventFilter(this);
}
