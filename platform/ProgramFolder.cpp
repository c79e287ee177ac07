// Program folder and settings file location.
#include "platform/ProgramFolder.h"

#include "base/Files.h"
#include "platform/IniFile.h"

#include <cerrno>
#include <cstdlib>
#include <pwd.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

const char* const SettingsFileName = "Tonvera.ini";

std::string homeFolder()
{
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir)
        return entry->pw_dir;
    return "";
}

// mkdir -p; the folders made on the way to the config folder are private, as the base
// directory rules of XDG ask for ~/.config.
bool makeFolders(const std::string& path)
{
    if (path.empty())
        return false;
    for (std::string::size_type slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string prefix = path.substr(0, slash);
        if (mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
        if (slash == std::string::npos)
            break;
    }
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

std::string ExecutablePath()
{
    std::vector<char> buffer(4096);
    for (;;) {
        const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0)
            return "";
        if (static_cast<size_t>(length) < buffer.size())
            return std::string(buffer.data(), static_cast<size_t>(length));
        buffer.resize(buffer.size() * 2);
    }
}

std::string ExecutableFolder()
{
    const std::string path = ExecutablePath();
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return "";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool IsWritableFolder(const std::string& folder)
{
    return !folder.empty() && access(folder.c_str(), W_OK | X_OK) == 0;
}

std::string UserConfigFolder()
{
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    // A relative XDG_CONFIG_HOME is invalid and must be ignored.
    const std::string base = configHome && configHome[0] == '/' ? std::string(configHome)
                                                                : JoinPath(homeFolder(), ".config");
    return JoinPath(base, "tonvera");
}

std::string SettingsFilePath(const std::string& programDir, bool portable)
{
    return SettingsFilePath(programDir, portable, IsWritableFolder);
}

std::string SettingsFilePath(const std::string& programDir, bool portable,
                             const std::function<bool(const std::string&)>& isWritable)
{
    const bool besideProgram = portable || FileExists(JoinPath(programDir, PortableMarkerName));
    if (besideProgram && isWritable(programDir))
        return JoinPath(programDir, SettingsFileName);
    const std::string folder = UserConfigFolder();
    // If the folder cannot be made, the path is still returned: reads then give the defaults and
    // the settings writer reports its own failure.
    makeFolders(folder);
    return JoinPath(folder, SettingsFileName);
}

std::string PrepareSettingsFile(const std::string& settingsFile, const std::string& firstRunText)
{
    RemoveStaleTemporaryFiles(settingsFile);
    struct stat info {};
    if (stat(settingsFile.c_str(), &info) != 0 && !firstRunText.empty()) {
        try {
            WriteTextFileAtomically(settingsFile, firstRunText);
            return "";
        } catch (const std::runtime_error& error) {
            return error.what();
        }
    }
    return AtomicWriteProblem(settingsFile);
}
