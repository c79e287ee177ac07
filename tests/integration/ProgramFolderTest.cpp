// Where the executable lives and where the settings file goes.
#include "platform/ProgramFolder.h"
#include "tests/integration/TempFolder.h"
#include "tests/support/SoundTestSupport.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <gtest/gtest.h>
#include <string>

namespace fs = std::filesystem;

TEST(ExecutableFolder, IsTheFolderOfThisTestProgram)
{
    const fs::path exe = ExecutablePath();
    ASSERT_TRUE(exe.is_absolute()) << exe;
    EXPECT_TRUE(fs::equivalent(exe, "/proc/self/exe"));
    EXPECT_EQ(ExecutableFolder(), exe.parent_path().string());
}

TEST(SettingsFilePath, BesideAPortableProgramElseInTheUserConfigFolder)
{
    TempFolder program, config, marked;
    ScopedEnvironment xdg;
    xdg.Set("XDG_CONFIG_HOME", config.path.string().c_str());
    std::ofstream(marked.path / PortableMarkerName) << "portable\n";
    const fs::path perUser = config.path / "tonvera" / "Tonvera.ini";
    struct Case {
        fs::path folder;
        bool portable;
        fs::path settings;
        const char* what;
    };
    const Case cases[] = {
        {program.path, false, perUser, "an installed copy keeps its settings per user, even when its folder is writable"},
        {program.path, true, program.path / "Tonvera.ini", "--portable keeps them beside the program"},
        {marked.path, false, marked.path / "Tonvera.ini", "so does a folder with the marker, as the build tree"},
        {config.path / "missing", true, perUser, "a portable copy whose folder is gone cannot keep them there"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(fs::path(SettingsFilePath(c.folder.string(), c.portable)), c.settings) << c.what;
        EXPECT_EQ(fs::path(SettingsFilePath(c.folder.string() + "/", c.portable)), c.settings) << c.what;
    }
}

TEST(SettingsFilePath, InTheUserConfigFolderWhenThePortableFolderIsReadOnly)
{
    TempFolder program, config;
    const fs::path configHome = config.path / "nested" / "config";
    ScopedEnvironment xdg;
    xdg.Set("XDG_CONFIG_HOME", configHome.string().c_str());
    const auto readOnly = [](const std::string&) { return false; };

    const fs::path settings = SettingsFilePath(program.path.string(), true, readOnly);
    EXPECT_EQ(settings, configHome / "tonvera" / "Tonvera.ini");
    EXPECT_TRUE(fs::is_directory(configHome / "tonvera")) << "the folder is created when missing";
    EXPECT_FALSE(fs::exists(settings)) << "only the folder is made, not the file";
    EXPECT_EQ(SettingsFilePath(program.path.string(), true, readOnly), settings) << "an existing folder is fine";
}

TEST(UserConfigFolder, FallsBackToHomeWhenXdgConfigHomeIsUnsetOrRelative)
{
    TempFolder home;
    ScopedEnvironment homeVar;
    homeVar.Set("HOME", home.path.string().c_str());
    {
        ScopedEnvironment xdg;
        xdg.Set("XDG_CONFIG_HOME", "relative/config");
        EXPECT_EQ(fs::path(UserConfigFolder()), home.path / ".config" / "tonvera");
    }
    {
        ScopedEnvironment xdg;
        xdg.Set("XDG_CONFIG_HOME", "");
        EXPECT_EQ(fs::path(UserConfigFolder()), home.path / ".config" / "tonvera");
    }
}

TEST(PrepareSettingsFile, MakesTheFirstFileOnceAndSaysWhyItCannotBeSaved)
{
    TempFolder folder;
    const fs::path settings = folder.path / "Tonvera.ini";
    const auto read = [&] {
        std::ifstream in(settings);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    EXPECT_EQ(PrepareSettingsFile(settings.string(), ""), "");
    EXPECT_FALSE(fs::exists(settings)) << "no first-run text, no file";
    EXPECT_EQ(PrepareSettingsFile(settings.string(), "[Settings]\nA=1\n"), "");
    EXPECT_EQ(read(), "[Settings]\nA=1\n");
    EXPECT_EQ(PrepareSettingsFile(settings.string(), "[Settings]\nA=2\n"), "");
    EXPECT_EQ(read(), "[Settings]\nA=1\n") << "an existing file is kept";
    EXPECT_EQ(fs::directory_iterator(folder.path)->path(), settings) << "the check leaves nothing behind";

    const fs::path underFile = settings / "Tonvera.ini";
    EXPECT_EQ(PrepareSettingsFile(underFile.string(), "[Settings]\nA=1\n"),
              "Cannot write " + underFile.string() + ": Not a directory");
    EXPECT_EQ(PrepareSettingsFile(underFile.string(), ""), "Cannot write " + underFile.string() + ": Not a directory");
    const fs::path isFolder = folder.path / "folder.ini";
    fs::create_directory(isFolder);
    EXPECT_EQ(PrepareSettingsFile(isFolder.string(), ""), "Cannot write " + isFolder.string() + ": Is a directory");
}
