#include "WindowFixture.h"

#include "controls/Nxpanel.h"
#include "layout/Layout.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const char* const kChordsDef =
    "; test chord types\n"
    "maj,0100,0304,0507\n"
    "maj6,0100,0304,0507,0609\n"
    "maj7,0100,0304,0507,0711\n"
    "m,0100,0303,0507\n"
    "m7,0100,0303,0507,0710\n"
    "mmaj7,0100,0303,0507,0711\n"
    "m7b5,0100,0303,0506,0710\n"
    "7,0100,0304,0507,0710\n"
    "list:majList\n"
    "add9,0100,0304,0507,0914\n"
    "maj13,0100,0304,0507,0711,0914,1321\n"
    "list:minList\n"
    "m11,0100,0303,0507,0710,0914,1117\n"
    "list:domList\n";

const char* const kPianoDef =
    "[Basic]\n"
    "C,maj,0,48,52,55\n"
    "C,maj,0,-60,64,67\n"
    "[Jazz]\n"
    "C,maj7,0,48,52,55,59\n"
    "G,maj,0,55,59,62\n";

const char* const kGuitarDef =
    "[FOLK]\n"
    "C,maj,0,x,3,2,0,1,0\n"
    "[POP]\n"
    "C,maj,0,x,3,5,5,5,3\n"
    "[JAZZ]\n"
    "C,maj,0,8,10,10,9,8,8\n";

const char* const kDefinitions =
    "[Settings]\n"
    "ShowFlyByHint=1\n"
    "ArpegioStaggers=50\n"
    "[SettingsScr]\n"
    "SelectedRoot=16\n"
    "[Colors]\n"
    "DefaultPiano=200,0,0\n"
    "DefaultGuitar=255,255,255\n"
    "0100=0,0,255\n"
    "[Hints]\n"
    "SettingsButton=Settings\n";

// A picture at its control's size: one flat colour, or for the root spot a
// half-transparent disc.
QImage fixturePicture(const layout::PictureFile& picture)
{
    if (picture.file != layout::RootSpotPicture.file) {
        QImage image(picture.w, picture.h, QImage::Format_RGB32);
        image.fill(kInstrumentGround);
        return image;
    }
    QImage spot(picture.w, picture.h, QImage::Format_ARGB32);
    spot.fill(Qt::transparent);
    QPainter painter(&spot);
    painter.setBrush(QColor(255, 200, 0, 160));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(0, 0, picture.w, picture.h);
    painter.end();
    return spot;
}

void writePictures(const QString& pics)
{
    for (const layout::PictureFile& picture : layout::MainWindowPictures())
        ASSERT_TRUE(fixturePicture(picture).save(pics + "/" + QString::fromStdString(picture.file)));
}

} // namespace

WindowFixture::WindowFixture(const FixtureFiles& files)
    : Devices(std::make_shared<RecordingMIDIDevices>(2, files.ownPorts)),
      ThePlayer(std::make_unique<Player>(Devices))
{
    _player = ThePlayer.get();
    const QString pics = dir_.path() + "/pics";
    QDir().mkpath(pics);
    writePictures(pics);
    if (files.marker)
        WriteFile("pics/Images.dir", "");
    WriteFile("chords.def", files.chords.value_or(kChordsDef));
    if (files.piano)
        WriteFile("pianochords.def", kPianoDef);
    if (files.guitar)
        WriteFile("guitarchords.def", kGuitarDef);
    if (files.definitions != "-")
        WriteFile("Tonvera.def", files.definitions.empty() ? kDefinitions : files.definitions);
}

WindowFixture::~WindowFixture()
{
    windows_ = {};
    ThePlayer.reset();
    _player = nullptr;
}

std::string WindowFixture::Folder() const
{
    return dir_.path().toStdString();
}

void WindowFixture::WriteFile(const std::string& name, const std::string& text) const
{
    QFile file(QString::fromStdString(Folder() + "/" + name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text.data(), static_cast<qint64>(text.size()));
}

std::string WindowFixture::ReadFile(const std::string& name) const
{
    QFile file(QString::fromStdString(Folder() + "/" + name));
    if (!file.open(QIODevice::ReadOnly))
        return "";
    return file.readAll().toStdString();
}

TMainForm& WindowFixture::Start(const std::string& firstParameter)
{
    MainFormSetup setup;
    setup.folder = Folder();
    setup.firstParameter = firstParameter;
    setup.settingsFile = SettingsFile();
    setup.player = ThePlayer.get();
    setup.content = &Content;
    windows_ = CreateProgramWindows(setup);
    windows_.main->show();
    // As the program does once the window has painted.
    AddDialogs(windows_, setup);
    // Focus tests need the window active, as it is on a desktop.
    windows_.main->activateWindow();
    QApplication::setActiveWindow(windows_.main.get());
    return *windows_.main;
}

void WindowFixture::UseDevices(std::shared_ptr<MIDIDeviceList> devices)
{
    ThePlayer.reset();
    ThePlayer = MakeProgramPlayer(std::move(devices), SettingsFile(), "");
    _player = ThePlayer.get();
}

void WindowFixture::Close()
{
    if (windows_.main)
        windows_.main->close();
    windows_ = {};
}

std::vector<uint32_t> WindowFixture::Messages(size_t count, int timeoutMs)
{
    if (count > 0)
        Devices->WaitForMessages(count, timeoutMs);
    std::vector<uint32_t> result;
    for (const RecordedMessage& m : Devices->Messages())
        result.push_back(m.message);
    return result;
}

std::vector<std::pair<int, int>> WindowFixture::NoteOns(size_t count, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    std::vector<std::pair<int, int>> notes;
    do {
        notes.clear();
        for (uint32_t m : Messages())
            if ((m & 0xF0) == 0x90 && ((m >> 16) & 0x7F) != 0)
                notes.emplace_back(m & 0x0F, (m >> 8) & 0x7F);
        if (notes.size() >= count)
            break;
        QTest::qWait(5);
    } while (std::chrono::steady_clock::now() < deadline);
    return notes;
}

void WindowFixture::ClearMessages()
{
    Devices->ClearMessages();
}

TNXPanel* button(TMainForm& form, const char* name)
{
    for (TNXPanel* b : form.Controls().ChordTypeButtons)
        if (b->objectName() == name)
            return b;
    return nullptr;
}

void PressAt(QWidget* widget, int x, int y, Qt::MouseButton button)
{
    QTest::mouseMove(widget, QPoint(x, y));
    QTest::mousePress(widget, button, Qt::NoModifier, QPoint(x, y));
    QTest::mouseRelease(widget, button, Qt::NoModifier, QPoint(x, y));
}

std::string ShownError(const QWidget& form)
{
    const QList<QMessageBox*> boxes = form.findChildren<QMessageBox*>();
    return boxes.isEmpty() ? std::string() : boxes.back()->text().toStdString();
}

std::vector<std::string> MenuCaptions(const QMenu* menu)
{
    std::vector<std::string> captions;
    for (const QAction* action : menu->actions())
        if (!action->text().isEmpty())
            captions.push_back(action->text().toStdString());
    return captions;
}

bool ChooseFromMenu(QMenu* menu, const std::string& caption)
{
    for (QAction* action : menu->actions())
        if (action->text().toStdString() == caption) {
            menu->close();
            action->trigger();
            return true;
        }
    return false;
}
