#include "app/Startup.h"

#include "controls/Nxcomponentutils.h"
#include "app/ProgramStyle.h"
#include "midi/Player.h"
#include "platform/MIDIOut.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QWindow>

#include <iostream>

std::unique_ptr<Player> MakeProgramPlayer(std::shared_ptr<MIDIDeviceList> devices, const std::string& settingsFile,
                                          const std::string& firstParameter)
{
    devices->Configure(ReadSynthOptions(settingsFile, firstParameter));
    return std::make_unique<Player>(std::move(devices));
}

ProgramSound MakeProgramSound(const std::string& settingsFile, const std::string& firstParameter)
{
    const auto opener = std::make_shared<BackgroundOpener>();
    ProgramSound sound;
    sound.hold = opener->Hold(kSoundHoldAtStart);
    sound.player = MakeProgramPlayer(MakeSystemMIDIDevices({}, opener), settingsFile, firstParameter);
    return sound;
}

namespace {

// Watches a window for its first expose; the window paints on it, then then runs, once. A
// window that is not exposed by the time limit (started on another desktop, say) runs it
// then.
class FirstExposeWatcher : public QObject {
public:
    FirstExposeWatcher(QWindow* window, std::function<void()> then, std::chrono::milliseconds atMost)
        : QObject(window), then_(std::move(then))
    {
        window->installEventFilter(this);
        QTimer::singleShot(atMost, this, [this] { run(); });
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed()) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, this, [this] { run(); });
        }
        return false;
    }

private:
    void run()
    {
        if (!then_)
            return;
        const std::function<void()> then = std::move(then_);
        then_ = nullptr;
        deleteLater();
        then();
    }

    std::function<void()> then_;
};

} // namespace

void AfterFirstPaint(QWidget& window, std::function<void()> then, std::chrono::milliseconds atMost)
{
    new FirstExposeWatcher(window.windowHandle(), std::move(then), atMost);
}

ProgramWindows CreateProgramWindows(const MainFormSetup& setup)
{
    ApplyProgramStyle();
    ProgramWindows windows;
    windows.main = std::make_unique<TMainForm>(setup);
    windows.main->FormCreate();
    return windows;
}

void AddDialogs(ProgramWindows& windows, const MainFormSetup& setup)
{
    windows.about = std::make_unique<TSplashScreen>(setup.folder);
    windows.main->SetAboutWindow(windows.about.get());
    windows.settings = std::make_unique<TSettings>(setup.settingsFile, setup.firstParameter, setup.player);
    windows.main->SetSettingsDialog(windows.settings.get());
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
