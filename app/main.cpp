// Program entry: the player and the playback content live longer than every window.
#include "app/Startup.h"
#include "dialogs/Settingsdialog.h"
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

    // The synthesizer's choices are known before the player opens it: it opens once, with them.
    const std::shared_ptr<MIDIDeviceList> devices = MakeSystemMIDIDevices();
    devices->Configure(ReadSynthOptions(setup.settingsFile, setup.firstParameter));
    Player player(devices);
    _player = &player;
    TMIDIContent content;
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
