// The program's own command line: what each first parameter means, and the real program
// answering --help and --version without a window and without writing anything.
#include "app/ProgramOptions.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// A folder of its own beside the build's program (on the same file system, so the program can
// be linked into it): the program then takes it as its program folder.
struct ProgramCopy {
    fs::path folder;
    fs::path home;
    ProgramCopy()
    {
        std::string pattern = (fs::path(TONVERA_TEST_SCRATCH) / "program-XXXXXX").string();
        folder = mkdtemp(pattern.data());
        home = folder / "home";
        fs::create_directory(folder / "bin");
        fs::create_directory(home);
        std::error_code linkFailed;
        fs::create_hard_link(TONVERA_EXE, folder / "bin" / "tonvera", linkFailed);
        if (linkFailed)
            fs::copy_file(TONVERA_EXE, folder / "bin" / "tonvera");
    }
    ~ProgramCopy() { fs::remove_all(folder); }

    // Runs the program with no display and a home folder of its own; stdout and status.
    std::pair<int, std::string> run(const std::string& arguments) const
    {
        const fs::path out = folder / "out";
        const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM HOME='" + home.string() +
                                    "' XDG_CONFIG_HOME='" + (home / "config").string() + "' '" +
                                    (folder / "bin" / "tonvera").string() + "' " + arguments + " >'" + out.string() +
                                    "' 2>&1";
        const int status = std::system(command.c_str());
        std::ifstream in(out);
        std::ostringstream text;
        text << in.rdbuf();
        fs::remove(out);
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, text.str()};
    }

    std::vector<std::string> everything() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::recursive_directory_iterator(folder))
            names.push_back(fs::relative(entry.path(), folder).string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

} // namespace

TEST(ProgramOptions, HelpAndVersionOnlyAsTheFirstParameterPortableAnywhere)
{
    struct Case {
        std::vector<std::string> arguments;
        bool help, version, portable;
        const char* firstParameter;
    };
    const Case cases[] = {
        {{}, false, false, false, ""},
        {{"guitar"}, false, false, false, "guitar"},
        {{"--help"}, true, false, false, ""},
        {{"-h"}, true, false, false, ""},
        {{"--version", "guitar"}, false, true, false, ""},
        {{"guitar", "--help"}, false, false, false, "guitar"},
        {{"--portable"}, false, false, true, ""},
        {{"--portable", "GUITAR"}, false, false, true, "GUITAR"},
        {{"bass", "--portable"}, false, false, true, "bass"},
        {{"--portable", "--help"}, true, false, true, ""},
        {{"--HELP"}, false, false, false, "--HELP"},
        {{"--frob"}, false, false, false, "--frob"},
    };
    for (const Case& c : cases) {
        const ProgramOptions options = ParseProgramOptions(c.arguments);
        const std::string what = c.arguments.empty() ? "(none)" : c.arguments.front();
        EXPECT_EQ(options.help, c.help) << what;
        EXPECT_EQ(options.version, c.version) << what;
        EXPECT_EQ(options.portable, c.portable) << what;
        EXPECT_EQ(options.firstParameter, c.firstParameter) << what;
    }
}

TEST(ProgramOptions, HelpAndVersionPrintWithoutAWindowAndWriteNothing)
{
    const ProgramCopy program;
    // A portable folder would take the settings beside the program: nothing must appear there either.
    std::ofstream(program.folder / "bin" / "Tonvera.portable") << "portable\n";
    const std::vector<std::string> before = program.everything();

    const auto [helpStatus, help] = program.run("--help");
    EXPECT_EQ(helpStatus, 0) << help;
    EXPECT_EQ(help, ProgramHelpText());
    const auto [versionStatus, version] = program.run("--version");
    EXPECT_EQ(versionStatus, 0);
    EXPECT_EQ(version, std::string("tonvera ") + TONVERA_TEST_VERSION + "\n");
    const auto [portableStatus, portableHelp] = program.run("--portable -h");
    EXPECT_EQ(portableStatus, 0);
    EXPECT_EQ(portableHelp, ProgramHelpText());

    EXPECT_EQ(program.everything(), before) << "no settings file, no config folder";
}
