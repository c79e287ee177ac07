// Program entry: the player and the playback content live longer than every window. A request
// for help or the version is answered before anything else starts.
#include "app/ProgramOptions.h"
#include "app/Startup.h"
#include "midi/Player.h"
#include "midi/Tmidicontent.h"
#include "platform/MIDIOut.h"
#include "platform/ProgramFolder.h"

#include <QApplication>

#include <iostream>

int main(int argc, char** argv)
{
    const ProgramOptions request = ParseProgramOptions({argv + 1, argv + argc});
    if (request.help || request.version) {
        std::cout << (request.help ? ProgramHelpText() : "tonvera " + GetFileVersionString() + "\n");
        return 0;
    }
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

    // The device list is configured from the settings before the player opens anything.
    const std::unique_ptr<Player> player =
        MakeProgramPlayer(MakeSystemMIDIDevices(), setup.settingsFile, setup.firstParameter);
    _player = player.get();
    TMIDIContent content;
    setup.player = player.get();
    setup.content = &content;

    int status = 0;
    {
        ProgramWindows windows;
        try {
            windows = CreateProgramWindows(setup);
        } catch (const std::exception& error) {
            return ReportStartupFailure(error.what());
        }
        windows.main->showMaximized();
        status = QApplication::exec();
    }
    _player = nullptr;
    return status;
}
