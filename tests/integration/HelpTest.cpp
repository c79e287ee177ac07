// Help: the page name beside the program, and the built-in window when the page is missing.
#include "dialogs/HelpWindow.h"
#include "tests/integration/TempFolder.h"

#include <QTest>
#include <QTextBrowser>
#include <QWidget>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace fs = std::filesystem;

namespace {

std::string shippedPage()
{
    std::ifstream file(fs::path(TONVERA_SOURCE_DIR) / "data" / "tonvera.html", std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

} // namespace

TEST(HelpFilePath, IsTheLowerCasedProgramNameInTheProgramFolder)
{
    EXPECT_EQ(HelpFilePath("/opt/Tonvera", "/opt/Tonvera/Tonvera"), "/opt/Tonvera/tonvera.html");
    EXPECT_EQ(HelpFilePath("/opt/tonvera/", "/opt/tonvera/Setup.EXE.exe"), "/opt/tonvera/setup.chm.exe");
}

TEST(BuiltInHelpPage, IsTheShippedUserGuide)
{
    const std::string page = shippedPage();
    ASSERT_FALSE(page.empty());
    EXPECT_EQ(BuiltInHelpPage().toUtf8().toStdString(), page);
}

TEST(ShowHelp, WithoutThePageOpensOneBuiltInWindowPerOwner)
{
    TempFolder program;
    QWidget owner;
    const std::string exe = (program.path / "tonvera").string();

    EXPECT_EQ(ShowHelp(&owner, program.path.string(), exe), HelpShownIn::BuiltInWindow);
    const auto windows = owner.findChildren<HelpWindow*>();
    ASSERT_EQ(windows.size(), 1);
    HelpWindow* window = windows.front();
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->isWindow());
    EXPECT_EQ(window->windowTitle(), "Tonvera Help");

    QTest::keyClick(window->Browser(), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible()) << "Escape closes it";
    EXPECT_EQ(ShowHelp(&owner, program.path.string(), exe), HelpShownIn::BuiltInWindow);
    EXPECT_EQ(owner.findChildren<HelpWindow*>().size(), 1) << "the window is reused";
    EXPECT_TRUE(window->isVisible());
}

TEST(HelpWindow, ShowsTheGuideWithTheWholeKeyMap)
{
    HelpWindow window;
    const QString text = window.Browser()->toPlainText();
    EXPECT_TRUE(text.contains("The reverse chord finder"));
    for (const char* key : {"Space", "F4", "Alt+1", "Alt+0", "Alt+C", "Alt+D", "Alt+F", "Alt+P", "Alt+R",
                            "Alt+S", "Alt+T", "F1", "F2", "`", "Enter", "Ctrl+Enter", "Up", "Down",
                            "Alt+F4", "Alt+Space", "Tab"})
        EXPECT_TRUE(text.contains(key)) << key;
}
