// Program entry: the player and the playback content live longer than every window.
#include "app/Startup.h"
#include "midi/Player.h"
#include "midi/Tmidicontent.h"
#include "platform/MIDIOut.h"
#include "platform/ProgramFolder.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName("Tonvera");
    QApplication::setApplicationDisplayName("Tonvera");

    MainFormSetup setup;
    setup.folder = QCoreApplication::applicationDirPath().toStdString();
    setup.firstParameter = argc > 1 ? argv[1] : "";
    setup.settingsFile = SettingsFilePath(setup.folder);

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
