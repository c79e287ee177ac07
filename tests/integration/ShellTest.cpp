// The help file name rule and starting the first program of a list that starts.
#include "platform/Shell.h"

#include <gtest/gtest.h>

TEST(HelpFileName, LowerCasesTheNameAndSwapsOnlyTheFirstExe)
{
    struct Case { const char* exe; const char* help; };
    const Case cases[] = {
        {"tonvera", "tonvera.html"},
        {"/usr/lib/tonvera/tonvera", "tonvera.html"},
        {"/opt/My Apps/Tonvera", "tonvera.html"},          // folders keep their case: only the name is used
        {"Setup.EXE.exe", "setup.chm.exe"},               // lower-cased first, then one replacement
        {"/Programs/TONVERA.EXE", "tonvera.chm"},
        {"tonvera.exe.exe", "tonvera.chm.exe"},
        {"player.executable", "player.chmcutable"},       // ".exe" anywhere in the name counts
        {"", ".html"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HelpFileName(c.exe), c.help) << c.exe;
}

TEST(StartFirstProgram, SkipsProgramsThatDoNotStart)
{
    EXPECT_EQ(StartFirstProgram({"tonvera-no-such-program", "true", "false"}), 1);
    EXPECT_EQ(StartFirstProgram({"true"}), 0);
}

TEST(StartFirstProgram, ReportsMinusOneWhenNoneStarts)
{
    EXPECT_EQ(StartFirstProgram({}), -1);
    EXPECT_EQ(StartFirstProgram({"", "tonvera-no-such-program", "/nonexistent/folder/tool"}), -1);
    // A file that exists but is not executable does not start either.
    EXPECT_EQ(StartFirstProgram({"/etc/hostname"}), -1);
}
