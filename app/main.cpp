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
    // No display name: Qt would append it to every title ("Settings — Tonvera").
    QApplication::setApplicationName("Tonvera");

    Player player(MakeSystemMIDIDevices());
    _player = &player;
    TMIDIContent content;

    MainFormSetup setup;
    setup.folder = QCoreApplication::applicationDirPath().toStdString();
    setup.firstParameter = argc > 1 ? argv[1] : "";
    setup.settingsFile = SettingsFilePath(setup.folder);
    setup.player = &player;
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
