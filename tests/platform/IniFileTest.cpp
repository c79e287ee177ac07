// Tests of the INI layer on small files in a temporary folder.
#include "platform/IniFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class IniFileTest : public testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() /
               ("tonvera-ini-" + std::to_string(::getpid()) + "-" +
                testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        path_ = (dir_ / "Tonvera.ini").string();
    }
    void TearDown() override { fs::remove_all(dir_); }

    void write(const std::string& text)
    {
        std::ofstream(path_, std::ios::binary) << text;
    }
    std::string read() const
    {
        std::ifstream in(path_, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    std::vector<std::string> folderEntries() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_))
            names.push_back(entry.path().filename().string());
        return names;
    }

    fs::path dir_;
    std::string path_;
};

TEST_F(IniFileTest, LooksUpSectionsAndKeysWithoutCaseAndTrimsValues)
{
    write("; settings\n[Settings]\n  RootPatch =  12  \nName=\"  quoted  \"\n[colors]\nBack=1,2,3\n");
    IniFile ini(path_);
    EXPECT_EQ(ini.ReadString("SETTINGS", "rootpatch", "x"), "12");
    EXPECT_EQ(ini.ReadString("settings", "NAME", "x"), "  quoted  ");
    EXPECT_EQ(ini.ReadString("Colors", "back", "x"), "1,2,3");
    EXPECT_EQ(ini.ReadString("Colors", "RootPatch", "none"), "none");
    EXPECT_EQ(ini.FileName(), path_);
}

TEST_F(IniFileTest, MissingFileSectionOrKeyGivesDefaults)
{
    IniFile missing((dir_ / "absent.ini").string());
    EXPECT_EQ(missing.ReadString("Settings", "A", "def"), "def");
    EXPECT_EQ(missing.ReadInteger("Settings", "A", 50), 50);
    EXPECT_TRUE(missing.ReadBool("Settings", "A", true));
    EXPECT_TRUE(missing.ReadSections().empty());
    EXPECT_TRUE(missing.ReadSection("Settings").empty());

    write("[Settings]\nA=1\n");
    IniFile ini(path_);
    EXPECT_EQ(ini.ReadInteger("Other", "A", 7), 7);
    EXPECT_EQ(ini.ReadInteger("Settings", "B", 8), 8);
}

TEST_F(IniFileTest, IntegersAreWholeDecimalNumbersElseDefault)
{
    struct Case { const char* text; int expected; };
    const Case cases[] = {
        {"42", 42}, {" 7", 7}, {"-3", -3}, {"+5", 5}, {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"12abc", -99}, {"0x10", -99}, {"", -99}, {"-", -99}, {"1e3", -99}, {"1 2", -99},
        {"2147483648", -99}, {"abc", -99},
    };
    IniFile ini(path_);
    for (const Case& c : cases) {
        write(std::string("[S]\nK=") + c.text + "\n");
        EXPECT_EQ(ini.ReadInteger("S", "K", -99), c.expected) << '"' << c.text << '"';
    }
}

TEST_F(IniFileTest, BoolsReadAsNonZeroAndWriteAsOneOrZero)
{
    write("[S]\nA=0\nB=1\nC=-2\nD=yes\n");
    IniFile ini(path_);
    EXPECT_FALSE(ini.ReadBool("S", "A", true));
    EXPECT_TRUE(ini.ReadBool("S", "B", false));
    EXPECT_TRUE(ini.ReadBool("S", "C", false));
    EXPECT_FALSE(ini.ReadBool("S", "D", false)); // not a number: the default
    EXPECT_TRUE(ini.ReadBool("S", "D", true));
    ini.WriteBool("S", "A", true);
    ini.WriteBool("S", "B", false);
    EXPECT_EQ(read(), "[S]\nA=1\nB=0\nC=-2\nD=yes\n");
}

TEST_F(IniFileTest, ListsSectionsKeysAndValuesInFileOrder)
{
    write("[Zeta]\nb=2\n; a=hidden\na = 1\n[alpha]\nx=9\n[ZETA]\nc=3\n");
    IniFile ini(path_);
    EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"Zeta", "alpha"}));
    EXPECT_EQ(ini.ReadSection("zeta"), (std::vector<std::string>{"b", "a"}));
    EXPECT_EQ(ini.ReadSectionValues("Zeta"), (std::vector<std::string>{"b=2", "a=1"}));
}

TEST_F(IniFileTest, WritesKeepEveryOtherLineAndReplaceInPlace)
{
    write("; header comment\n[Settings]\nRootPatch=1\n# note\nChordPatch=2\n\n[SettingsScr]\nTop=5\n");
    IniFile ini(path_);
    ini.WriteInteger("settings", "ROOTPATCH", 30);  // in place
    ini.WriteString("Settings", "New", "v");         // appended to its section
    ini.WriteString("Fresh", "K", "x");              // new section at the end
    EXPECT_EQ(read(),
              "; header comment\n[Settings]\nROOTPATCH=30\n# note\nChordPatch=2\nNew=v\n\n"
              "[SettingsScr]\nTop=5\n[Fresh]\nK=x\n");
    // Another object on the same file sees the write at once.
    EXPECT_EQ(IniFile(path_).ReadInteger("Settings", "RootPatch", 0), 30);
}

TEST_F(IniFileTest, WritesKeepWindowsLineBreaksAndAMissingFinalBreak)
{
    write("[S]\r\nA=1\r\nB=2");
    IniFile ini(path_);
    EXPECT_EQ(ini.ReadString("S", "A", ""), "1");
    ini.WriteString("S", "C", "3");
    EXPECT_EQ(read(), "[S]\r\nA=1\r\nB=2\r\nC=3\r\n");
}

TEST_F(IniFileTest, UnicodeByteOrderMarkDoesNotHideTheFirstSection)
{
    write("\xEF\xBB\xBF[Settings]\nA=1\n");
    IniFile ini(path_);
    EXPECT_EQ(ini.ReadInteger("Settings", "A", 0), 1);
    ini.WriteInteger("Settings", "A", 2);
    EXPECT_EQ(read(), "\xEF\xBB\xBF[Settings]\nA=2\n");
}

TEST_F(IniFileTest, ValueWithLineBreaksCannotInjectLines)
{
    IniFile ini(path_);
    ini.WriteString("S", "A", "1\n[Evil]\nB=2");
    EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"S"}));
    EXPECT_EQ(ini.ReadString("S", "A", ""), "1 [Evil] B=2");
}

TEST_F(IniFileTest, WriteCreatesTheFileAndLeavesNoTemporaryFile)
{
    IniFile ini(path_);
    ini.WriteInteger("Settings", "A", 1);
    ini.WriteInteger("Settings", "A", 2);
    ini.WriteInteger("Settings", "B", 3);
    EXPECT_EQ(read(), "[Settings]\nA=2\nB=3\n");
    EXPECT_EQ(folderEntries(), (std::vector<std::string>{"Tonvera.ini"}));
}

TEST_F(IniFileTest, FailedWriteThrowsKeepsTheOldFileAndLeavesNoTemporaryFile)
{
    // A folder in the place of the file makes the final rename fail.
    const fs::path blocked = dir_ / "blocked.ini";
    fs::create_directories(blocked / "inside");
    IniFile ini(blocked.string());
    EXPECT_THROW(ini.WriteInteger("S", "A", 1), std::runtime_error);
    EXPECT_EQ(folderEntries(), (std::vector<std::string>{"blocked.ini"}));

    IniFile noFolder((dir_ / "missing" / "x.ini").string());
    EXPECT_THROW(noFolder.WriteInteger("S", "A", 1), std::runtime_error);
}

TEST_F(IniFileTest, AtomicWriteKeepsThePermissionsOfTheOldFile)
{
    write("[S]\n");
    fs::permissions(path_, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    WriteTextFileAtomically(path_, "[S]\nA=1\n");
    EXPECT_EQ(fs::status(path_).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(read(), "[S]\nA=1\n");
}

} // namespace
