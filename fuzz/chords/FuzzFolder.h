// A private data folder for one fuzzing process: the loaders read files by name,
// so each input is written to a file there first.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

class FuzzFolder {
public:
    FuzzFolder()
    {
        // Every input is written and read back, so a memory-backed folder is much faster.
        std::error_code error;
        const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", error)
                                               ? std::filesystem::path("/dev/shm")
                                               : std::filesystem::temp_directory_path();
        std::string pattern = (base / "tonvera-fuzz-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            std::abort();
        path_ = pattern;
    }
    FuzzFolder(const FuzzFolder&) = delete;
    FuzzFolder& operator=(const FuzzFolder&) = delete;
    ~FuzzFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    void write(const std::string& name, const uint8_t* data, size_t size) const
    {
        std::ofstream(path_ / name, std::ios::binary | std::ios::trunc)
            .write(reinterpret_cast<const char*>(data), std::streamsize(size));
    }
    void write(const std::string& name, const std::string& text) const
    {
        write(name, reinterpret_cast<const uint8_t*>(text.data()), text.size());
    }
    std::string path() const { return path_.string(); }

private:
    std::filesystem::path path_;
};
