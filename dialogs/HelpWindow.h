// Help: opens the user guide beside the program in the desktop's browser, or, when that page is
// missing or cannot be opened, shows the same guide (built into the program) in a window of its own.
#pragma once

#include <QString>
#include <QWidget>
#include <string>

class QTextBrowser;

// The built-in help window: a browser on the embedded user guide. Non-modal; one per owner.
// Called on the GUI thread.
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* owner = nullptr);
    QTextBrowser* Browser() const { return browser_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QTextBrowser* browser_;
};

// The user guide compiled into the program (the shipped tonvera.html); "" if it is not built in.
QString BuiltInHelpPage();

// The help page for the program at exePath: programDir + "/" + HelpFileName(exePath).
std::string HelpFilePath(const std::string& programDir, const std::string& exePath);

enum class HelpShownIn { Browser, BuiltInWindow };

// Opens the help page in the desktop's browser when it exists, else shows (or raises) owner's
// built-in help window. Called on the GUI thread.
HelpShownIn ShowHelp(QWidget* owner, const std::string& programDir, const std::string& exePath);
