// Help file name rule and detached program start.
#include "platform/Shell.h"

#include "base/TextUtil.h"

#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace {

bool startDetached(const std::string& program)
{
    posix_spawnattr_t attributes;
    if (posix_spawnattr_init(&attributes) != 0)
        return false;
    // Its own session, so closing the program's terminal does not take the volume control with it.
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
    pid_t child = 0;
    // glibc reports a program that cannot be executed as an error here, not as a child that exits.
    const int result = posix_spawnp(&child, program.c_str(), nullptr, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
    if (result != 0)
        return false;
    std::thread([child] { waitpid(child, nullptr, 0); }).detach();
    return true;
}

} // namespace

std::string HelpFileName(const std::string& exePath)
{
    std::string name = LowerCase(exePath.substr(exePath.rfind('/') + 1));
    if (const auto exe = name.find(".exe"); exe != std::string::npos)
        return name.replace(exe, 4, ".chm");
    return name + ".html";
}

int StartFirstProgram(const std::vector<std::string>& programs)
{
    for (size_t i = 0; i < programs.size(); ++i)
        if (!programs[i].empty() && startDetached(programs[i]))
            return static_cast<int>(i);
    return -1;
}

void StartVolumeControl()
{
    StartFirstProgram({"pavucontrol", "pavucontrol-qt"});
}
