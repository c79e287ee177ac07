// Program entry: the player and the playback content live longer than every window. A request
// for help or the version is answered before anything else starts.
#include "app/ProgramOptions.h"
#include "app/Startup.h"
#include "midi/Player.h"
#include "midi/Tmidicontent.h"
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
    // sound's slow openings wait for the window's first paint: until then start-up has both cores.
    ProgramSound sound = MakeProgramSound(setup.settingsFile, setup.firstParameter);
    _player = sound.player.get();
    TMIDIContent content;
    setup.player = sound.player.get();
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
            sound.hold.reset();
            AddDialogs(windows, setup);
        });
        status = QApplication::exec();
    }
    _player = nullptr;
    return status;
}
