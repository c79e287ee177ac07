#include "app/Startup.h"

#include "controls/Nxcomponentutils.h"
#include "app/ProgramStyle.h"
#include "midi/Player.h"

#include <QApplication>
#include <QMessageBox>

#include <iostream>

std::unique_ptr<Player> MakeProgramPlayer(std::shared_ptr<MIDIDeviceList> devices, const std::string& settingsFile,
                                          const std::string& firstParameter)
{
    devices->Configure(ReadSynthOptions(settingsFile, firstParameter));
    return std::make_unique<Player>(std::move(devices));
}

ProgramWindows CreateProgramWindows(const MainFormSetup& setup)
{
    ApplyProgramStyle();
    ProgramWindows windows;
    windows.main = std::make_unique<TMainForm>(setup);
    windows.main->FormCreate();
    windows.about = std::make_unique<TSplashScreen>(setup.folder);
    windows.settings = std::make_unique<TSettings>(setup.settingsFile, setup.firstParameter, setup.player);
    windows.main->SetSettingsDialog(windows.settings.get());
    windows.main->SetAboutWindow(windows.about.get());
    return windows;
}

std::string StartupFailureText(const std::string& message)
{
    return "General error: \n" + message;
}

int ReportStartupFailure(const std::string& message)
{
    const std::string text = StartupFailureText(message);
    QApplication::beep();
    std::cerr << text << std::endl;
    QMessageBox box(QMessageBox::Critical, "Tonvera", FromDataText(text), QMessageBox::Ok);
    box.exec();
    return 1;
}
