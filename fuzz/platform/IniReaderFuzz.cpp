// Feeds arbitrary bytes to the INI reader: every lookup must finish without a fault.
#include "platform/IniFile.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::string path = "/tmp/tonvera-fuzz-ini-" + std::to_string(getpid()) + ".ini";
    if (FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    IniFile ini(path);
    for (const std::string& section : ini.ReadSections()) {
        for (const std::string& key : ini.ReadSection(section)) {
            ini.ReadString(section, key, "");
            ini.ReadInteger(section, key, 0);
        }
        ini.ReadSectionValues(section);
    }
    // A write must keep every line it does not touch; it is checked by reading back.
    ini.WriteString("Settings", "RootPatch", "5");
    if (ini.ReadInteger("Settings", "RootPatch", 0) != 5)
        __builtin_trap();
    return 0;
}
