// The main window's tree of panels, canvases and skinned buttons, their pictures, the
// chord-type buttons made at run time, centring and the minimum size.
#include "app/Tmainform.h"

#include "base/Files.h"

#include "app/FocusFrame.h"
#include "app/EmbossedLabel.h"
#include "controls/Nxcomponentutils.h"
#include "controls/Nxpanel.h"
#include "controls/Timage.h"
#include "layout/Layout.h"

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QListWidget>
#include <QMenu>
#include <QResizeEvent>
#include <QTimer>

#include <future>

namespace {

QRect toQRect(const layout::Rect& r)
{
    return {r.x, r.y, r.w, r.h};
}

QString qName(std::string_view name)
{
    return FromDataText(name);
}

QWidget* makeContainer(QWidget* parent, const char* name, const layout::Rect& place)
{
    auto* panel = new QWidget(parent);
    panel->setObjectName(name);
    panel->setGeometry(toQRect(place));
    return panel;
}

TImage* makeImage(QWidget* parent, const char* name, const layout::Rect& place)
{
    auto* image = new TImage(parent);
    image->setObjectName(name);
    // The canvas is made when first drawn on or given its picture: most are given one at once.
    image->setGeometry(toQRect(place));
    return image;
}

// A chord-type button's component name: the list's name for a list button, "T_" + its
// chord type for any other. Hints and tests find the buttons by it.
QString componentName(const layout::ChordTypeButton& row)
{
    return row.isList ? qName(row.name) : "T_" + qName(row.name);
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

// A missing picture stops start-up with its loader's own "File not found:" message, which
// names the loader: the one for a canvas's picture, or the one for a bitmap.
void raiseIfMissing(const std::string& file, bool canvasPicture = false)
{
    if (FileExists(file))
        return;
    if (canvasPicture) {
        TPicture unused;
        LoadImageToPicture(unused, file);
    }
    QImage unused;
    LoadImageToBitmap(unused, file);
}

QImage decodeBitmap(const std::string& file, double ratio)
{
    QImage bitmap;
    LoadImageToBitmap(bitmap, file, ratio);
    return bitmap;
}

// An opaque picture decoded on a worker. A missing file raises here, at once.
std::future<QImage> decodeInBackground(std::string file, double ratio, bool canvasPicture = false)
{
    raiseIfMissing(file, canvasPicture);
    return std::async(std::launch::async, [file = std::move(file), ratio] { return decodeBitmap(file, ratio); });
}

// The chord-type column; on the piano its category field's picture is drawn over it. An
// overlay that covers the whole column hides the column's own picture, which is then not
// decoded at all (a missing file still stops start-up).
std::future<QImage> decodeChordTypeAreaInBackground(std::string area, std::string overlay, QSize column, double ratio)
{
    raiseIfMissing(area, overlay.empty());
    if (overlay.empty())
        return decodeInBackground(std::move(area), ratio);
    raiseIfMissing(overlay);
    return std::async(std::launch::async, [area = std::move(area), overlay = std::move(overlay), column, ratio] {
        const QImage over = decodeBitmap(overlay, ratio);
        const QSizeF covered = over.deviceIndependentSize();
        if (covered.width() >= column.width() && covered.height() >= column.height())
            return over;
        QImage composed = decodeBitmap(area, ratio);
        QPainter painter(&composed);
        painter.drawImage(QPointF(0, 0), over);
        painter.end();
        return composed;
    });
}

} // namespace

std::string TMainForm::pic(const std::string& name) const
{
    return setup_.folder + "/pics/" + name;
}

TNXPanel* TMainForm::makePanel(QWidget* parent, const layout::SkinButton& spec)
{
    auto* panel = new TNXPanel(parent);
    panel->setObjectName(qName(spec.name));
    panel->Loaded();
    panel->setGeometry(toQRect(spec.place));
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

void TMainForm::setPictures(TNXPanel* panel, const layout::SkinButton& spec)
{
    setPictures(panel, std::string(spec.stem), spec.pressedLook, spec.checkedLook);
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
    resize(layout::DesignedClientWidth, layout::DesignedClientHeight);
    // The client area never gets smaller than the composition.
    setMinimumSize(layout::GlobalPanel.w, layout::GlobalPanel.h);

    GlobalPanel = makeContainer(this, "GlobalPanel", layout::GlobalPanel);
    TopPanel = makeContainer(GlobalPanel, "TopPanel", layout::TopPanel);
    TopImage = makeImage(TopPanel, "TopImage", layout::Filling(layout::TopPanel));
    BackPanel = makeContainer(GlobalPanel, "BackPanel", layout::BackPanel);
    LeftPanel = makeContainer(BackPanel, "LeftPanel", layout::LeftPanel);
    LeftPanel->setFocusPolicy(Qt::StrongFocus);
    LeftImage = makeImage(LeftPanel, "LeftImage", layout::Filling(layout::LeftPanel));
    CenterPanel = makeContainer(BackPanel, "CenterPanel", layout::CenterPanel);
    CenterPanel->setFocusPolicy(Qt::StrongFocus);
    CenterImage = makeImage(CenterPanel, "CenterImage", layout::Filling(layout::CenterPanel));
    CenterSpot = new FocusFrame(CenterPanel, QPen(QColor(192, 192, 192), 1, Qt::DotLine), false);
    CenterSpot->setObjectName("CenterSpot");
    CenterSpot->setGeometry(toQRect(layout::CenterSpot));
    // A cool, bold line stands out on the warm buttons, lit or not.
    ChordSpot = new FocusFrame(CenterPanel, QPen(QColor(110, 210, 255), 2), true);
    ChordSpot->setObjectName("ChordSpot");
    RightPanel = makeContainer(BackPanel, "RightPanel", layout::RightPanel);
    RightImage = makeImage(RightPanel, "RightImage", layout::Filling(layout::RightPanel));
    BottomPanel = makeContainer(GlobalPanel, "BottomPanel", layout::BottomPanel);
    BottomImage = makeImage(BottomPanel, "BottomImage", layout::Filling(layout::BottomPanel));
    BottomImage->setMouseTracking(true);
    LeftImage->setMouseTracking(true);

    TonveraPanel = makePanel(TopPanel, layout::TonveraPanel);
    NXLogo = makePanel(TopPanel, layout::NXLogo);
    ChordButton = makePanel(TopPanel, layout::ChordButton);
    ArpeggioButton = makePanel(TopPanel, layout::ArpeggioButton);
    NoteNamesButton = makePanel(TopPanel, layout::NoteNamesButton);
    ScaleDegreesButton = makePanel(TopPanel, layout::ScaleDegreesButton);
    SpeakerButton = makePanel(TopPanel, layout::SpeakerButton);
    SettingsButton = makePanel(TopPanel, layout::SettingsButton);
    HelpButton = makePanel(TopPanel, layout::HelpButton);
    FolkButton = makePanel(CenterPanel, layout::FolkButton);
    FolkButton->SetCaption("FOLK");
    FolkButton->SetChecked(true);
    PopButton = makePanel(CenterPanel, layout::PopButton);
    PopButton->SetCaption("POP");
    JazzButton = makePanel(CenterPanel, layout::JazzButton);
    JazzButton->SetCaption("JAZZ");
    CategoryFilter = makePanel(CenterPanel, layout::CategoryFilter);
    ReverseFinder = makePanel(CenterPanel, layout::ReverseFinder);
    ReverseFinder->SetAlignment(Qt::AlignLeft);
    ReverseFinder->SetTextMarginOn(true);
    ReverseFinder->SetTextMarginX(layout::ReverseFinderTextLeft);
    // Narrow enough that the longer mode name ends before the menu arrow.
    ReverseFinder->SetFontOnIdle({FontFromPoints("Arial", 8), Qt::black});

    PlayChordButton = makeImage(RightPanel, "PlayChordButton", layout::PlayChordButton);
    PlayChordButton->setCursor(Qt::PointingHandCursor);
    RootLabel = makeBigLabel(RightPanel, "RootLabel", 123);
    ChordLabel = makeBigLabel(RightPanel, "ChordLabel", 48);
    ThisChordContainsButton = makePanel(RightPanel, layout::ThisChordContainsButton);
    ThisChordContainsButton->SetBkColor(Qt::black);
    ThisChordContainsButton->SetFontOnIdle({FontFromPoints("MS Sans Serif", 8), Qt::white});
    ChordInfoImage = makeImage(RightPanel, "ChordInfoImage", layout::ChordInfoImage);

    List = new VariationListBox(RightPanel);
    List->setObjectName("List");

    SelChordMenu = new QMenu(this);
    SelChordMenu->setObjectName("SelChordMenu");
    MoveEchoTimer = new QTimer(this);
    MoveEchoTimer->setInterval(50);
    ShowRFBTimer = new QTimer(this);
    ShowRFBTimer->setInterval(1500);
    connectHandlers();
    connectExportCommands();
}

void TMainForm::LayoutStep()
{
    QFont listFont = FontFromPixels("Arial", 19);
    MakeFontAntialiased(listFont);
    List->setFont(listFont);

    const bool pianoFile = FileExists(JoinPath(setup_.folder, "pianochords.def"));
    const bool guitarFile = FileExists(JoinPath(setup_.folder, "guitarchords.def"));
    SelectInstrument(ChooseInstrument(pianoFile, guitarFile, setup_.firstParameter));

    placePanels();
    // The canvases' pictures decode on workers while this thread makes the buttons and
    // labels, which do not need them.
    CanvasDecodes canvases = startCanvasPictures();

    List->setGeometry(toQRect(layout::VariationList));

    setPictures(TonveraPanel, layout::TonveraPanel);
    setPictures(NXLogo, layout::NXLogo);
    setPictures(ChordButton, layout::ChordButton);
    setPictures(ArpeggioButton, layout::ArpeggioButton);
    setPictures(NoteNamesButton, layout::NoteNamesButton);
    setPictures(ScaleDegreesButton, layout::ScaleDegreesButton);
    setPictures(SpeakerButton, layout::SpeakerButton);
    setPictures(SettingsButton, layout::SettingsButton);
    setPictures(HelpButton, layout::HelpButton);
    setPictures(FolkButton, layout::FolkButton);
    setPictures(PopButton, layout::PopButton);
    setPictures(JazzButton, layout::JazzButton);
    setPictures(CategoryFilter, layout::CategoryFilter);
    setPictures(ReverseFinder, layout::ReverseFinder);
    setPictures(ThisChordContainsButton, layout::ThisChordContainsButton);
    canvases.playChord = decodeInBackground(pic(layout::PlayChordPicture), LeftImage->PixelRatio(), true);

    // The labels are the first text measured: the font configuration must be read by then.
    if (setup_.fontConfiguration.valid())
        setup_.fontConfiguration.wait();
    PlaceLabels();

    BottomImage->SetTag(Game == gtPiano ? 6 : 7);
    BottomImage->setProperty("Tag", BottomImage->Tag());
    createChordTypeButtons();
    placeCanvasPictures(canvases);
    awaitChordBook();
}

void TMainForm::placePanels()
{
    GlobalPanel->resize(layout::GlobalPanel.w, layout::GlobalPanel.h);
    BottomPanel->resize(layout::BottomPanel.w, layout::BottomPanel.h);
    TopPanel->resize(layout::TopPanel.w, layout::TopPanel.h);
    LeftPanel->resize(layout::LeftPanel.w, layout::LeftPanel.h);
    CenterPanel->resize(layout::CenterPanel.w, layout::CenterPanel.h);
    RightPanel->resize(layout::RightPanel.w, layout::RightPanel.h);
}

std::string TMainForm::pic(const layout::Picture& picture) const
{
    return pic(std::string(picture.file));
}

// Each picture in the version that fits the screen, decoded once. They decode side by side on
// workers while this thread makes the buttons and labels: the first paint waits for the
// slowest of them, not their sum. A missing file is reported in the order the pictures are
// taken, as it always was.
TMainForm::CanvasDecodes TMainForm::startCanvasPictures()
{
    const double ratio = LeftImage->PixelRatio();
    const bool piano = Game == gtPiano;
    CanvasDecodes decodes;
    decodes.top = decodeInBackground(pic(layout::TopAreaPicture), ratio);
    decodes.chordTypes = decodeChordTypeAreaInBackground(
        pic(layout::ChordTypeAreaPicture), piano ? pic(layout::PianoChordTypeAreaPicture) : std::string(),
        CenterImage->size(), ratio);
    decodes.rootSpot = std::async(std::launch::async, AlphaImage::ForScreen, pic(layout::RootSpotPicture), ratio);
    decodes.root = decodeInBackground(pic(layout::RootAreaPicture), ratio);
    decodes.instrument = decodeInBackground(pic(piano ? layout::KeyboardPicture : layout::FretboardPicture), ratio);
    decodes.play = decodeInBackground(pic(layout::PlayAreaPicture), ratio);
    return decodes;
}

// The decoded pictures onto their canvases. Those the window redraws from are kept at the
// canvases' pixel density, so a redraw is a plain copy.
void TMainForm::placeCanvasPictures(CanvasDecodes& decodes)
{
    const double ratio = LeftImage->PixelRatio();
    TopImage->SetPicture(decodes.top.get());
    CenterImage->SetPicture(decodes.chordTypes.get());
    rootSpot_ = decodes.rootSpot.get();
    rootBackground_ = BitmapAtRatio(decodes.root.get(), ratio);
    LeftImage->SetPicture(rootBackground_);
    InstrumentPicture = BitmapAtRatio(decodes.instrument.get(), ratio);
    BottomImage->SetPicture(InstrumentPicture);
    RightImage->SetPicture(decodes.play.get());
    PlayChordButton->SetPicture(decodes.playChord.get());
}

void TMainForm::createChordTypeButtons()
{
    ChordTypeButtons.clear();
    chordTypeRows_.clear();
    // Tab stops: the root column, the chord-type column, its buttons in table order, the list.
    setTabOrder(LeftPanel, CenterPanel);
    QWidget* previous = CenterPanel;
    for (const layout::ChordTypeButton& row : layout::ChordTypeButtons) {
        auto* button = new TNXPanel(CenterPanel);
        button->Loaded();
        setPictures(button, std::string(row.name), true, true);
        button->setGeometry(toQRect(layout::Place(row)));
        button->SetTag(row.group);
        button->setProperty("Tag", row.group);
        button->setFocusPolicy(Qt::StrongFocus);
        if (row.isList) {
            button->SetFontOnIdle({FontFromPoints("Arial", 7), QColor(200, 200, 200)});
            button->SetTextMarginOn(true);
            button->SetAlignment(Qt::AlignLeft);
            button->SetTextMarginX(layout::ListTextLeft);
            button->SetText("");
        }
        button->setObjectName(componentName(row));
        connect(button, &TNXPanel::mouseDown, this,
                [this, button](Qt::MouseButton mouse, Qt::KeyboardModifiers, int x, int y) {
                    guard([&] { ChordTypeButtonMouseDown(button, mouse, x, y); });
                });
        connect(button, &TNXPanel::focusEntered, this,
                [this, button] { guard([&] { ChordTypeButtonEnter(button); }); });
        connect(button, &TNXPanel::focusLeft, this, [this] { guard([&] { ChordTypeButtonExit(); }); });
        setTabOrder(previous, button);
        previous = button;
        ChordTypeButtons.push_back(button);
        chordTypeRows_.push_back({button, &row});
    }
    setTabOrder(previous, List);
}

void TMainForm::FormResize()
{
    const layout::Point origin = geometry::GlobalPanelOrigin(width(), height());
    GlobalPanel->move(origin.x, origin.y);
}

void TMainForm::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    guard([&] { FormResize(); });
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
    guard([&] {
        if (watched == LeftPanel) {
            DrawRootSelector();
        } else if (watched == CenterPanel) {
            if (entered)
                CenterPanelEnter();
            else
                CenterPanelExit();
        }
    });
}

// Every handler runs inside the window's error guard: an error of the chord knowledge (or
// any other) during a user action is shown in a message box and the program carries on.
void TMainForm::connectHandlers()
{
    focusWatcher_ = new FocusWatcher(this);
    LeftPanel->installEventFilter(focusWatcher_);
    CenterPanel->installEventFilter(focusWatcher_);

    connect(LeftImage, &TImage::mouseDown, this, [this](Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y) {
        guard([&] { LeftImageMouseDown(button, x, y); });
    });
    connect(LeftImage, &TImage::mouseMove, this,
            [this](Qt::KeyboardModifiers, int x, int y) { guard([&] { LeftImageMouseMove(x, y); }); });
    connect(CenterImage, &TImage::mouseDown, this, [this](Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) {
        guard([&] { CenterImageMouseDown(x, y); });
    });
    connect(BottomImage, &TImage::mouseDown, this, [this](Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y) {
        guard([&] { BottomImageMouseDown(button, x, y); });
    });
    connect(BottomImage, &TImage::mouseMove, this,
            [this](Qt::KeyboardModifiers, int, int) { guard([&] { BottomImageMouseMove(); }); });
    connect(MoveEchoTimer, &QTimer::timeout, this, [this] { guard([&] { MoveEchoTimerTimer(); }); });
    connect(ShowRFBTimer, &QTimer::timeout, this, [this] { guard([&] { ShowRFBTimerTimer(); }); });
    connect(SelChordMenu, &QMenu::aboutToHide, this, [this] {
        guard([&] {
            if (markMenuOpen_) {
                markMenuOpen_ = false;
                MenuJustClosed = true;
            }
        });
    });
    for (TNXPanel* button : {FolkButton, PopButton, JazzButton})
        connect(button, &TNXPanel::clicked, this, [this, button] { guard([&] { FolkButtonClick(button); }); });
    connect(CategoryFilter, &TNXPanel::clicked, this, [this] { guard([&] { CategoryFilterClick(); }); });
    connect(PlayChordButton, &TImage::mouseDown, this,
            [this](Qt::MouseButton, Qt::KeyboardModifiers, int, int) { guard([&] { PlayChord(); }); });
    // Keys move the selection too: what is drawn and played always matches the highlight.
    connect(List, &VariationListBox::lineClicked, this, [this] { guard([&] { ListClick(); }); });
    connect(List, &QListWidget::itemDoubleClicked, this, [this] { guard([&] { ListDblClick(); }); });
    connect(ChordButton, &TNXPanel::clicked, this, [this] { guard([&] { ChordButtonClick(); }); });
    connect(ArpeggioButton, &TNXPanel::clicked, this, [this] { guard([&] { ArpeggioButtonClick(); }); });
    connect(NoteNamesButton, &TNXPanel::clicked, this, [this] { guard([&] { NoteNamesButtonClick(); }); });
    connect(ScaleDegreesButton, &TNXPanel::clicked, this, [this] { guard([&] { ScaleDegreesButtonClick(); }); });
    connect(SpeakerButton, &TNXPanel::clicked, this, [this] { guard([&] { SpeakerButtonClick(); }); });
    connect(SettingsButton, &TNXPanel::clicked, this, [this] { guard([&] { SettingsButtonClick(); }); });
    connect(HelpButton, &TNXPanel::clicked, this, [this] { guard([&] { HelpButtonClick(); }); });
    connect(TonveraPanel, &TNXPanel::clicked, this, [this] { guard([&] { NXLogoClick(); }); });
    connect(NXLogo, &TNXPanel::clicked, this, [this] { guard([&] { NXLogoClick(); }); });
    connect(ThisChordContainsButton, &TNXPanel::clicked, this,
            [this] { guard([&] { ThisChordContainsButtonClick(); }); });
    connect(ReverseFinder, &TNXPanel::mouseDown, this,
            [this](Qt::MouseButton, Qt::KeyboardModifiers, int x, int) { guard([&] { ReverseFinderMouseDown(x); }); });
    connect(ReverseFinder, &TNXPanel::mouseMove, this,
            [this](Qt::KeyboardModifiers, int x, int) { guard([&] { ReverseFinderMouseMove(x); }); });
    qApp->installEventFilter(this);
}
