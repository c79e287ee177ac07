// Program entry: the player and the playback content live longer than every window. A request
// for help or the version is answered before anything else starts.
#include "app/ProgramOptions.h"
#include "app/Startup.h"
#include "midi/Player.h"
#include "midi/Tmidicontent.h"
#include "platform/BackgroundOpener.h"
#include "platform/MIDIOut.h"
#include "platform/ProgramFolder.h"
#include "platform/SystemFonts.h"

#include <QApplication>

#include <iostream>

int main(int argc, char** argv)
{
    const ProgramOptions request = ParseProgramOptions({argv + 1, argv + argc});
    if (request.help || request.version) {
        std::cout << (request.help ? ProgramHelpText() : "tonvera " + GetFileVersionString() + "\n");
        return 0;
    }
    const std::shared_future<void> fontConfiguration = ReadFontConfigurationInBackground();
    QApplication application(argc, argv);
    // Qt has taken its own parameters (-platform ...) out of argv by now.
    const ProgramOptions options = ParseProgramOptions({argv + 1, argv + argc});
    // No display name: Qt would append it to every title ("Settings — Tonvera").
    QApplication::setApplicationName("Tonvera");
    QGuiApplication::setDesktopFileName("org.tonvera.Tonvera");

    MainFormSetup setup;
    setup.folder = QCoreApplication::applicationDirPath().toStdString();
    setup.firstParameter = options.firstParameter;
    setup.settingsFile = SettingsFilePath(setup.folder, options.portable);

    // The device list is configured from the settings before the player opens anything. The
    // built-in synthesizer and the first JACK connection open once the window has painted:
    // until then start-up has both cores. A note asked for before it is ready plays when it is.
    const auto opener = std::make_shared<BackgroundOpener>();
    std::unique_ptr<BackgroundHold> soundHold = opener->Hold(kSoundHoldAtStart);
    std::shared_ptr<MIDIDeviceList> devices = MakeSystemMIDIDevices({}, opener);
    const std::unique_ptr<Player> player = MakeProgramPlayer(devices, setup.settingsFile, setup.firstParameter);
    _player = player.get();
    TMIDIContent content;
    setup.player = player.get();
    setup.content = &content;
    setup.fontConfiguration = fontConfiguration;

    int status = 0;
    {
        ProgramWindows windows;
        try {
            windows = CreateProgramWindows(setup);
        } catch (const std::exception& error) {
            return ReportStartupFailure(error.what());
        }
        windows.main->showMaximized();
        // What the first paint does not need follows it: the sound, then the dialogs.
        AfterFirstPaint(*windows.main, [&] {
            soundHold.reset();
            AddDialogs(windows, setup);
        });
        status = QApplication::exec();
    }
    _player = nullptr;
    return status;
}
