// Feeds arbitrary bytes to the INI reader: every lookup must finish without a fault.
#include "platform/IniFile.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // tmpfs keeps the writes (and their fsync) cheap.
    static const std::string path = std::string(access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") +
                                    "/tonvera-fuzz-ini-" + std::to_string(getpid()) + ".ini";
    if (FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    IniFile ini(path);
    // A few sections and keys are enough to reach every path of the lookups.
    const auto sections = ini.ReadSections();
    for (size_t s = 0; s < sections.size() && s < 4; ++s) {
        const auto keys = ini.ReadSection(sections[s]);
        for (size_t k = 0; k < keys.size() && k < 4; ++k) {
            ini.ReadString(sections[s], keys[k], "");
            ini.ReadInteger(sections[s], keys[k], 0);
        }
        ini.ReadSectionValues(sections[s]);
    }
    // A write must keep every line it does not touch; it is checked by reading back.
    ini.WriteString("Settings", "RootPatch", "5");
    if (ini.ReadInteger("Settings", "RootPatch", 0) != 5)
        __builtin_trap();
    return 0;
}
