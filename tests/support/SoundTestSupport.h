// Helpers for the sound tests: what a piece of code printed on the terminal, and
// environment variables set for one test.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <unistd.h>

// Runs fn with stdout and stderr (the file descriptors, so C libraries count too)
// redirected to a file, and returns what was printed.
template <typename Fn>
std::string printedBy(Fn fn)
{
    const std::string path =
        (std::filesystem::temp_directory_path() / ("tonvera-printed-" + std::to_string(getpid()))).string();
    std::fflush(stdout);
    std::fflush(stderr);
    const int savedOut = dup(1), savedErr = dup(2);
    FILE* sink = std::fopen(path.c_str(), "w");
    dup2(fileno(sink), 1);
    dup2(fileno(sink), 2);
    fn();
    std::fflush(stdout);
    std::fflush(stderr);
    dup2(savedOut, 1);
    dup2(savedErr, 2);
    close(savedOut);
    close(savedErr);
    std::fclose(sink);
    std::string text;
    if (FILE* in = std::fopen(path.c_str(), "r")) {
        char buffer[256];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0)
            text.append(buffer, n);
        std::fclose(in);
    }
    std::remove(path.c_str());
    return text;
}

// Sets (or, with nullptr, removes) environment variables until it goes out of scope.
// Set them before any thread of the code under test reads them.
class ScopedEnvironment {
public:
    ScopedEnvironment& Set(const char* name, const char* value)
    {
        if (!saved_.count(name)) {
            const char* old = std::getenv(name);
            saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
        }
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
        return *this;
    }
    ~ScopedEnvironment()
    {
        for (const auto& [name, value] : saved_)
            if (value)
                setenv(name.c_str(), value->c_str(), 1);
            else
                unsetenv(name.c_str());
    }

private:
    std::map<std::string, std::optional<std::string>> saved_;
};

// FluidSynth's "sdl2" audio driver on SDL's dummy device: a real-time audio output on a
// machine without a sound card (SDL paces it like a device). FluidSynth wants SDL's audio
// started by the program; libSDL2 comes with FluidSynth, so it is loaded at run time.
// False when SDL is missing or does not start.
bool StartSdlDummyAudio(ScopedEnvironment& environment);
