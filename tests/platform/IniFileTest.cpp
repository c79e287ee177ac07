// Tests of the INI layer on small files in a temporary folder.
#include "platform/IniFile.h"
#include "tests/support/FileSizeLimit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/file.h>
#include <sys/stat.h>
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
        std::sort(names.begin(), names.end());
        return names;
    }

    ino_t fileInode() const
    {
        struct stat info {};
        return ::stat(path_.c_str(), &info) == 0 ? info.st_ino : 0;
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

TEST_F(IniFileTest, WritesKeepEachLinesOwnLineBreak)
{
    struct Case { const char* before; const char* key; const char* after; };
    const Case cases[] = {
        // Windows breaks, and a last line without one.
        {"[S]\r\nA=1\r\nB=2", "C", "[S]\r\nA=1\r\nB=2\r\nC=3\r\n"},
        // Mixed breaks: each line keeps its own; a new line takes the break of the line it follows.
        {"[S]\r\nA=1\nB=2\r\n", "A", "[S]\r\nA=3\nB=2\r\n"},
        {"[S]\r\nA=1\r\n[T]\nB=2\n", "C", "[S]\r\nA=1\r\nC=3\r\n[T]\nB=2\n"},
        // Old Mac files break lines with CR alone.
        {"[S]\rA=1\rB=2\r", "C", "[S]\rA=1\rB=2\rC=3\r"},
        {"[S]\rA=1\r\r\nB=2\n", "B", "[S]\rA=1\r\r\nB=3\n"},
        {"; only a comment", "C", "; only a comment\n[S]\nC=3\n"},
    };
    for (const Case& c : cases) {
        write(c.before);
        IniFile(path_).WriteString("S", c.key, "3");
        EXPECT_EQ(read(), c.after) << testing::PrintToString(std::string(c.before));
    }
}

TEST_F(IniFileTest, CarriageReturnOnlyFilesAreReadAsLines)
{
    write("[Settings]\rRootPatch=7\r; note\rChordPatch=2\r[Other]\rX=1\r");
    IniFile ini(path_);
    EXPECT_EQ(ini.ReadInteger("Settings", "RootPatch", 0), 7);
    EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"Settings", "Other"}));
    EXPECT_EQ(ini.ReadSection("Settings"), (std::vector<std::string>{"RootPatch", "ChordPatch"}));
    ini.WriteInteger("Settings", "RootPatch", 8);
    EXPECT_EQ(read(), "[Settings]\rRootPatch=8\r; note\rChordPatch=2\r[Other]\rX=1\r");
}

TEST_F(IniFileTest, AnUnchangedFileIsParsedOnceAndAnOutsideEditIsSeen)
{
    write("[Hints]\nA=first\nB=2\n");
    // An old file: its time stamp alone tells that it has not changed since it was read.
    const auto old = fs::file_time_type::clock::now() - std::chrono::hours(1);
    fs::last_write_time(path_, old);
    const IniFile ini(path_);
    for (int i = 0; i < 100; ++i)
        ASSERT_EQ(ini.ReadString("hints", "A", ""), "first");
    EXPECT_EQ(ini.ReadSections().size(), 1u);
    EXPECT_EQ(ini.Parses(), 1);

    // Edited in place with the same size and the old time stamp put back.
    write("[Hints]\nA=other\nB=2\n");
    fs::last_write_time(path_, old);
    EXPECT_EQ(ini.ReadString("Hints", "A", ""), "other");
    // Edited twice within the file system's time stamp resolution, same size both times.
    write("[Hints]\nA=third\nB=2\n");
    EXPECT_EQ(ini.ReadString("Hints", "A", ""), "third");
    write("[Hints]\nA=forth\nB=2\n");
    EXPECT_EQ(ini.ReadString("Hints", "A", ""), "forth");
    EXPECT_EQ(ini.Parses(), 4);

    fs::remove(path_);
    EXPECT_EQ(ini.ReadString("Hints", "A", "gone"), "gone");
}

TEST_F(IniFileTest, OwnWritesNeedNoParse)
{
    IniFile ini(path_);
    ini.WriteInteger("S", "A", 1);
    ini.WriteInteger("S", "B", 2);
    EXPECT_EQ(ini.ReadInteger("S", "A", 0), 1);
    EXPECT_EQ(ini.ReadInteger("S", "B", 0), 2);
    EXPECT_EQ(ini.Parses(), 1) << "only the missing file was parsed";
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

// The message of the error a write throws, "" when it succeeds.
std::string writeError(IniFile& ini)
{
    try {
        ini.WriteInteger("S", "A", 1);
    } catch (const std::runtime_error& error) {
        return error.what();
    }
    return "";
}

TEST_F(IniFileTest, FailedWriteNamesTheFileAndTheReasonAndLeavesNoTemporaryFile)
{
    // A folder in the place of the file makes the final rename fail.
    const fs::path blocked = dir_ / "blocked.ini";
    fs::create_directories(blocked / "inside");
    IniFile folder(blocked.string());
    EXPECT_EQ(writeError(folder), "Cannot write " + blocked.string() + ": Is a directory");
    const fs::path missing = dir_ / "missing" / "x.ini";
    IniFile noFolder(missing.string());
    EXPECT_EQ(writeError(noFolder), "Cannot write " + missing.string() + ": No such file or directory");
    write("[S]\n");
    const fs::path underFile = fs::path(path_) / "x.ini";
    IniFile notFolder(underFile.string());
    EXPECT_EQ(writeError(notFolder), "Cannot write " + underFile.string() + ": Not a directory");
    EXPECT_EQ(folderEntries(), (std::vector<std::string>{"Tonvera.ini", "blocked.ini"}));
}

TEST_F(IniFileTest, AFullDiskKeepsTheOldFileWhole)
{
    const std::string before = "[S]\nA=0\n";
    write(before);
    IniFile ini(path_);
    IniFile::Batch batch(ini);
    for (int i = 0; i < 50; ++i)
        batch.WriteInteger("S", "Key" + std::to_string(i), i);
    std::string error;
    {
        FileSizeLimit limit(64);
        try {
            batch.Commit();
        } catch (const std::runtime_error& e) {
            error = e.what();
        }
    }
    EXPECT_EQ(error, "Cannot write " + path_ + ": File too large");
    EXPECT_EQ(read(), before);
    EXPECT_EQ(folderEntries(), (std::vector<std::string>{"Tonvera.ini"}));
}

TEST_F(IniFileTest, ABatchOfWritesReplacesTheFileOnceWithAllOfThem)
{
    write("[S]\nA=0\n");
    IniFile ini(path_);
    const ino_t inode = fileInode();
    {
        IniFile::Batch dropped(ini);
        dropped.WriteInteger("S", "A", 9);
    }
    EXPECT_EQ(read(), "[S]\nA=0\n") << "a batch that is not committed writes nothing";
    EXPECT_EQ(fileInode(), inode);

    IniFile::Batch batch(ini);
    batch.WriteInteger("S", "A", 1);
    batch.WriteBool("S", "B", true);
    batch.WriteString("T", "C", "x");
    batch.WriteInteger("S", "A", 2);   // the last write of a key wins
    EXPECT_EQ(read(), "[S]\nA=0\n") << "nothing is written before the commit";
    // The batch applies to the file as it is at the commit, so an edit meanwhile is kept.
    write("[S]\nA=0\nKept=1\n");
    batch.Commit();
    EXPECT_EQ(read(), "[S]\nA=2\nKept=1\nB=1\n[T]\nC=x\n");
    EXPECT_EQ(ini.ReadString("T", "C", ""), "x");
}

TEST_F(IniFileTest, ASymbolicLinkIsWrittenThrough)
{
    const fs::path real = dir_ / "real" / "settings.ini";
    fs::create_directories(real.parent_path());
    std::ofstream(real, std::ios::binary) << "[S]\nA=0\n";
    fs::create_symlink("real/settings.ini", path_);   // relative to the link's folder
    const fs::path chained = dir_ / "chained.ini";
    fs::create_symlink(path_, chained);

    IniFile(chained.string()).WriteInteger("S", "A", 5);
    EXPECT_TRUE(fs::is_symlink(path_));
    EXPECT_TRUE(fs::is_symlink(chained));
    EXPECT_EQ(read(), "[S]\nA=5\n");
    EXPECT_EQ(folderEntries(), (std::vector<std::string>{"Tonvera.ini", "chained.ini", "real"}));
    EXPECT_EQ(fs::directory_iterator(real.parent_path())->path(), real) << "no temporary file left";

    // A dangling link gets its target made; a loop of links is an error, never an endless walk.
    const fs::path dangling = dir_ / "dangling.ini";
    fs::create_symlink("real/new.ini", dangling);
    IniFile(dangling.string()).WriteInteger("S", "A", 6);
    EXPECT_TRUE(fs::is_symlink(dangling));
    EXPECT_EQ(IniFile((real.parent_path() / "new.ini").string()).ReadInteger("S", "A", 0), 6);
    const fs::path loop = dir_ / "loop.ini";
    fs::create_symlink("loop.ini", loop);
    IniFile looping(loop.string());
    EXPECT_EQ(writeError(looping), "Cannot write " + loop.string() + ": Too many levels of symbolic links");
}

TEST_F(IniFileTest, OnlyOurOwnLeftoverTemporaryFilesAreRemoved)
{
    write("[S]\n");
    const std::vector<std::string> kept = {
        "Tonvera.ini", "Tonvera.ini.bak", ".Tonvera.ini.swp", ".Other.ini.tonvera-tmp-a1B2c3",
        ".Tonvera.ini.tonvera-tmp-toolong"};
    for (const std::string& name : kept)
        if (!fs::exists(dir_ / name))
            std::ofstream(dir_ / name) << "x";
    for (const char* name : {".Tonvera.ini.tonvera-tmp-a1B2c3", ".Tonvera.ini.tonvera-tmp-ZZZZZZ"})
        std::ofstream(dir_ / name) << "[S]\nA=";
    // A save in progress (another running copy) holds a lock on its temporary file.
    const fs::path busy = dir_ / ".Tonvera.ini.tonvera-tmp-busy00";
    std::ofstream(busy) << "x";
    const int fd = open(busy.c_str(), O_RDONLY);
    ASSERT_EQ(flock(fd, LOCK_EX), 0);

    RemoveStaleTemporaryFiles(path_);
    close(fd);
    EXPECT_EQ(folderEntries(),
              (std::vector<std::string>{".Other.ini.tonvera-tmp-a1B2c3", ".Tonvera.ini.swp",
                                        ".Tonvera.ini.tonvera-tmp-busy00",
                                        ".Tonvera.ini.tonvera-tmp-toolong", "Tonvera.ini",
                                        "Tonvera.ini.bak"}));
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
