// The about window: a borderless picture with our contact lines, the program's version
// and an OK button. Created once at start-up and shown modally on demand.
// Called on the GUI thread.
#pragma once

#include <QDialog>
#include <string>

class QLabel;
class QPushButton;

// "Version " is followed by this: the version compiled in from the build, "?" without one.
std::string GetFileVersionString();

class TSplashScreen : public QDialog {
    Q_OBJECT
public:
    // programFolder holds pics/About.png (read when first shown); without it a picture is drawn.
    explicit TSplashScreen(const std::string& programFolder, QWidget* parent = nullptr);

    QLabel* Image = nullptr;
    QLabel* VersionLabel = nullptr;
    QPushButton* HideButton = nullptr;

    void HideButtonClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();

    std::string programFolder_;
};
