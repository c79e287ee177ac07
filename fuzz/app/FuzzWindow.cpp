// The whole program on a data folder made from the input: the real windows are built
// offscreen, shown, and used as a user would: every root, every chord-type button and the
// entries of its chord list, the categories, the variation list, the keys, the reverse
// finder with a few marks and both sub-modes, and OK in the settings dialog; then the
// window closes and saves its state. A start-up failure is the program's own refusal; any
// other exception that escapes, a crash or a sanitizer report is a finding.
//
// The input is the data folder, its parts separated by the byte 0x1E (record separator):
//   chords.def \x1E voicings \x1E Tonvera.def \x1E Tonvera.ini \x1E first parameter
// The voicings are written as both pianochords.def and guitarchords.def, so the first
// parameter ("guitar" or anything else) picks the instrument. A missing part is a missing
// file; an empty part an empty file.
#include "app/Startup.h"
#include "controls/Nxpanel.h"
#include "controls/Timage.h"
#include "fuzz/chords/FuzzFolder.h"
#include "layout/Layout.h"
#include "midi/Player.h"
#include "midi/Tmidicontent.h"
#include "platform/RecordingMIDIOut.h"

#include <QApplication>
#include <QImage>
#include <QListWidget>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr char kPartSeparator = '\x1e';
constexpr std::size_t kMaxParameter = 16;
// Enough entries of each chord list and lines of each list to reach every path, few enough
// to keep a run short.
constexpr int kMenuEntries = 4;
constexpr int kListLines = 3;

// What lives for the whole fuzzing process: the application, the player with a recording
// device, the playback content and a data folder with a flat skin of tiny pictures.
struct Program {
    Program()
    {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        // The offscreen platform's notices ("does not support raise()") would flood the log.
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
        setenv("XDG_RUNTIME_DIR", (std::filesystem::path(folder.path()) / "runtime").c_str(), 1);
        std::filesystem::create_directories(std::filesystem::path(folder.path()) / "runtime");
        std::filesystem::permissions(std::filesystem::path(folder.path()) / "runtime",
                                     std::filesystem::perms::owner_all);
        application = std::make_unique<QApplication>(argc, argv);
        player = std::make_unique<Player>(devices);
        _player = player.get();
        writeSkin();
    }

    void writeSkin() const
    {
        std::filesystem::create_directories(std::filesystem::path(folder.path()) / "pics");
        folder.write("pics/Images.dir", "");
        // Tiny pictures: decoding the skin is fuzzed on its own, and a run stays short. A
        // skin smaller than its controls is drawn clipped, as a user's own skin would be.
        for (const layout::PictureFile& picture : layout::MainWindowPictures()) {
            QImage image(2, 2, QImage::Format_ARGB32);
            image.fill(QColor(40, 90, 40, picture.file == layout::RootSpotPicture.file ? 160 : 255));
            image.save(QString::fromStdString(folder.path() + "/pics/" + picture.file));
        }
    }

    int argc = 1;
    char name[16] = "fuzz_window";
    char* argv[2] = {name, nullptr};
    FuzzFolder folder;
    std::unique_ptr<QApplication> application;
    std::shared_ptr<RecordingMIDIDevices> devices = std::make_shared<RecordingMIDIDevices>(1);
    std::unique_ptr<Player> player;
    TMIDIContent content;
};

// Never destroyed: Qt's own globals are gone by the time static objects die at exit.
Program& program()
{
    static Program* const instance = new Program;
    return *instance;
}

std::vector<std::string_view> splitParts(std::string_view input)
{
    std::vector<std::string_view> parts;
    for (std::size_t start = 0;;) {
        const std::size_t end = input.find(kPartSeparator, start);
        parts.push_back(input.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos)
            return parts;
        start = end + 1;
    }
}

// Writes the data files of this input and removes those of the last one (the settings
// file and anything the program left beside it).
void writeDataFolder(const Program& p, const std::vector<std::string_view>& parts)
{
    for (const char* name : {"chords.def", "pianochords.def", "guitarchords.def", "Tonvera.def", "Tonvera.ini"}) {
        std::error_code ignored;
        std::filesystem::remove(std::filesystem::path(p.folder.path()) / name, ignored);
    }
    auto write = [&](const char* name, std::size_t part) {
        if (part < parts.size())
            p.folder.write(name, std::string(parts[part]));
    };
    write("chords.def", 0);
    write("pianochords.def", 1);
    write("guitarchords.def", 1);
    write("Tonvera.def", 2);
    write("Tonvera.ini", 3);
}

// A press and release where the pointer already is: moving it first costs a repaint of
// every hover look on the way, which is not what is being fuzzed.
void click(QWidget* widget, int x, int y, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mousePress(widget, button, Qt::NoModifier, QPoint(x, y));
    QTest::mouseRelease(widget, button, Qt::NoModifier, QPoint(x, y));
}

// Chooses the first entries of the open menu, each as a user would from a fresh popup.
void chooseMenuEntries(QMenu* menu, int count)
{
    const QList<QAction*> actions = menu->actions();
    menu->close();
    for (int i = 0; i < actions.size() && i < count; ++i)
        actions[i]->trigger();
}

void pressEveryRoot(TMainForm& form)
{
    for (const layout::Point& centre : layout::RootCentres)
        click(form.Controls().LeftImage, centre.x, centre.y);
}

// Each chord-type button; a list button also opens its list and picks from it.
void pressEveryChordType(TMainForm& form)
{
    for (TNXPanel* button : form.Controls().ChordTypeButtons) {
        click(button, 10, 8);
        if (button->width() > layout::ListArrowLeft) {
            click(button, layout::ListArrowLeft + 4, 8);
            chooseMenuEntries(form.Controls().SelChordMenu, kMenuEntries);
        }
    }
}

void pressCategories(TMainForm& form)
{
    const MainFormControls& c = form.Controls();
    if (form.Game == gtGuitar) {
        for (TNXPanel* category : {c.PopButton, c.JazzButton, c.FolkButton})
            click(category, 10, 8);
        return;
    }
    click(c.CategoryFilter, 10, 8);
    chooseMenuEntries(c.SelChordMenu, kMenuEntries);
}

void useTheList(TMainForm& form)
{
    QListWidget* list = form.Controls().List;
    for (int line = 0; line < list->count() && line < kListLines; ++line) {
        const QRect place = list->visualItemRect(list->item(line));
        if (place.isEmpty())
            continue;
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, place.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, place.center());
    }
}

void pressKeys(TMainForm& form)
{
    QWidget* target = form.Controls().List;
    QTest::keyClick(target, Qt::Key_Space);
    QTest::keyClick(target, Qt::Key_2);
    QTest::keyClick(target, Qt::Key_QuoteLeft);
    QTest::keyClick(target, Qt::Key_D, Qt::AltModifier);
    QTest::keyClick(target, Qt::Key_P, Qt::AltModifier);
    QTest::keyClick(target, Qt::Key_T, Qt::AltModifier);
    form.Controls().LeftPanel->setFocus();
    QTest::keyClick(form.Controls().LeftPanel, Qt::Key_Up);
    QTest::keyClick(form.Controls().LeftPanel, Qt::Key_Return);
}

// A mark where the pointer rests: the hover note the move-echo timer would find.
void markAt(TMainForm& form, int code, Qt::MouseButton button = Qt::LeftButton)
{
    form.HoverNote = code;
    const std::optional<layout::Point> centre =
        form.Game == gtPiano ? layout::KeyCentre(code) : layout::FretCentre(code / 256, code % 256);
    const layout::Point at = centre.value_or(layout::Point{5, 5});
    click(form.Controls().BottomImage, at.x, at.y, button);
    form.MenuJustClosed = false;
}

// On, three marks (one of them labelled), a filter change, both sub-modes, the list, off.
void useTheFinder(TMainForm& form)
{
    const MainFormControls& c = form.Controls();
    click(c.ReverseFinder, 10, 8);
    const bool piano = form.Game == gtPiano;
    for (int code : piano ? std::array<int, 3>{60, 64, 67} : std::array<int, 3>{0 * 256 + 3, 1 * 256 + 2, 3 * 256})
        markAt(form, code);
    // The pointer over the instrument: the hover echo follows it on its timer.
    QTest::mouseMove(c.BottomImage, QPoint(layout::FretX[3], layout::StringY[1]));
    QCoreApplication::processEvents();
    markAt(form, piano ? 64 : 1 * 256 + 2, Qt::RightButton);
    const QList<QAction*> labels = c.SelChordMenu->actions();
    c.SelChordMenu->close();
    if (labels.size() > 3)
        labels[3]->trigger();
    if (!c.ChordTypeButtons.empty())
        click(c.ChordTypeButtons.back(), 10, 8, Qt::RightButton);
    useTheList(form);
    for (int mode = 0; mode < 2; ++mode) {
        click(c.ReverseFinder, c.ReverseFinder->width() - 5, 8);
        const QList<QAction*> modes = c.SelChordMenu->actions();
        c.SelChordMenu->close();
        if (mode < modes.size())
            modes[mode == 0 ? 1 : 0]->trigger();
        useTheList(form);
    }
    QCoreApplication::processEvents();   // the finder's timers
    click(c.ReverseFinder, 10, 8);
}

// OK in the settings dialog; if the save fails and the dialog stays, Cancel.
void settingsOk(TMainForm& form, TSettings& settings)
{
    QTimer answer;
    int ticks = 0;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (QApplication::activeModalWidget() != &settings)
            return;
        if (ticks++ == 0)
            settings.Button1Click();
        else
            settings.Button2Click();
    });
    answer.start(0);
    click(form.Controls().SettingsButton, 5, 5);
}

} // namespace

// fontconfig keeps its caches for the life of the process; they are not ours to free.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

// The program makes its data folder the current folder; libFuzzer's own paths may be
// relative to the one it started in.
class KeepCurrentFolder {
public:
    ~KeepCurrentFolder()
    {
        std::error_code ignored;
        std::filesystem::current_path(folder_, ignored);
    }

private:
    std::filesystem::path folder_ = std::filesystem::current_path();
};

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const KeepCurrentFolder keep;
    Program& p = program();
    const std::vector<std::string_view> parts = splitParts({reinterpret_cast<const char*>(data), size});
    writeDataFolder(p, parts);
    p.devices->ClearMessages();

    MainFormSetup setup;
    setup.folder = p.folder.path();
    setup.firstParameter = parts.size() > 4 ? std::string(parts[4].substr(0, kMaxParameter)) : std::string();
    setup.settingsFile = p.folder.path() + "/Tonvera.ini";
    setup.player = p.player.get();
    setup.content = &p.content;

    ProgramWindows windows;
    try {
        windows = CreateProgramWindows(setup);
    } catch (const std::exception&) {
        return 0;   // the program says "General error" and ends
    }
    TMainForm& form = *windows.main;
    form.Controls().MoveEchoTimer->setInterval(0);
    form.Controls().ShowRFBTimer->setInterval(0);
    form.show();
    AddDialogs(windows, setup);
    pressEveryRoot(form);
    pressEveryChordType(form);
    pressCategories(form);
    useTheList(form);
    pressKeys(form);
    useTheFinder(form);
    settingsOk(form, *windows.settings);
    QCoreApplication::processEvents();
    form.close();
    return 0;
}
