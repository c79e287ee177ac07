// A fresh temporary folder for one test, removed with everything in it when the test ends.
#pragma once

#include <filesystem>
#include <string>
#include <unistd.h>

struct TempFolder {
    std::filesystem::path path;
    TempFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "tonvera-test-XXXXXX").string();
        path = mkdtemp(pattern.data());
    }
    ~TempFolder() { std::filesystem::remove_all(path); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
};
