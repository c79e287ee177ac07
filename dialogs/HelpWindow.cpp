// Help page and built-in help window.
#include "dialogs/HelpWindow.h"

#include "platform/Shell.h"

#include <QDesktopServices>
#include <QFile>
#include <QKeyEvent>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <sys/stat.h>

namespace {

const char* const BuiltInPageResource = ":/help/tonvera.html";

bool isRegularFile(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

HelpWindow* builtInWindowOf(QWidget* owner)
{
    if (owner)
        if (auto* window = owner->findChild<HelpWindow*>(QString(), Qt::FindDirectChildrenOnly))
            return window;
    auto* window = new HelpWindow(owner);
    if (!owner)
        window->setAttribute(Qt::WA_DeleteOnClose);
    return window;
}

} // namespace

HelpWindow::HelpWindow(QWidget* owner)
    : QWidget(owner, Qt::Window), browser_(new QTextBrowser(this))
{
    setObjectName("HelpWindow");
    setWindowTitle("Tonvera Help");
    resize(760, 640);
    browser_->setOpenExternalLinks(true);
    const QString page = BuiltInHelpPage();
    if (page.isEmpty())
        browser_->setPlainText("The help page is not available.");
    else
        browser_->setHtml(page);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
}

void HelpWindow::keyPressEvent(QKeyEvent* event)
{
    // A reader closes the guide with Escape, as any viewer window.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier)
        close();
    else
        QWidget::keyPressEvent(event);
}

QString BuiltInHelpPage()
{
    QFile page(BuiltInPageResource);
    if (!page.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(page.readAll());
}

std::string HelpFilePath(const std::string& programDir, const std::string& exePath)
{
    const std::string name = HelpFileName(exePath);
    if (programDir.empty() || programDir.back() == '/')
        return programDir + name;
    return programDir + "/" + name;
}

HelpShownIn ShowHelp(QWidget* owner, const std::string& programDir, const std::string& exePath)
{
    const std::string page = HelpFilePath(programDir, exePath);
    // Without a browser to take it, the page would open nowhere: show it ourselves instead.
    if (isRegularFile(page) &&
        QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromLocal8Bit(page.c_str()))))
        return HelpShownIn::Browser;
    HelpWindow* window = builtInWindowOf(owner);
    window->show();
    window->raise();
    window->activateWindow();
    return HelpShownIn::BuiltInWindow;
}
