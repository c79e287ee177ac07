// The SoundFont search and the check of a file's RIFF structure.
#include "platform/SoundFont.h"

#include "base/Files.h"

#include <fluidsynth.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>

namespace fs = std::filesystem;

namespace {

// General MIDI sets, best first: a folder may also hold single-instrument SoundFonts.
constexpr std::array<const char*, 6> kWellKnownSets = {"default-GM", "FluidR3_GM", "MuseScore_General",
                                                       "GeneralUser", "TimGM6mb", "FluidR3"};

bool isSoundFontName(const fs::path& path)
{
    const std::string extension = path.extension().string();
    return extension == ".sf2" || extension == ".sf3" || extension == ".SF2" || extension == ".SF3";
}

int wellKnownRank(const fs::path& path)
{
    const std::string stem = path.stem().string();
    for (size_t i = 0; i < kWellKnownSets.size(); ++i)
        if (stem == kWellKnownSets[i])
            return static_cast<int>(i);
    return static_cast<int>(kWellKnownSets.size());
}

std::string firstSoundFontIn(const std::string& folder)
{
    std::error_code error;
    std::vector<fs::path> found;
    for (const auto& entry : fs::directory_iterator(folder, error))
        if (isSoundFontName(entry.path()) && FileExists(entry.path().string()))
            found.push_back(entry.path());
    if (found.empty())
        return {};
    std::sort(found.begin(), found.end(), [](const fs::path& a, const fs::path& b) {
        return std::make_pair(wellKnownRank(a), a.filename()) < std::make_pair(wellKnownRank(b), b.filename());
    });
    return found.front().string();
}

SoundFontChoice explicitChoice(const std::string& path)
{
    if (FileExists(path))
        return {path, {}};
    return {{}, "The SoundFont \"" + path + "\" does not exist."};
}

std::string fluidDefaultSoundFont()
{
    std::unique_ptr<fluid_settings_t, decltype(&delete_fluid_settings)> settings(new_fluid_settings(),
                                                                                delete_fluid_settings);
    char* value = nullptr;
    if (!settings || fluid_settings_getstr_default(settings.get(), "synth.default-soundfont", &value) != FLUID_OK ||
        !value)
        return {};
    return value;
}

uint32_t littleEndian32(const unsigned char* bytes)
{
    return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};

} // namespace

SoundFontPlaces SystemSoundFontPlaces()
{
    return {fluidDefaultSoundFont(), {"/usr/share/sounds/sf3", "/usr/share/sounds/sf2", "/usr/share/soundfonts"}};
}

SoundFontChoice FindSoundFont(const std::string& chosen, const SoundFontPlaces& places)
{
    if (const char* fromEnvironment = std::getenv("TONVERA_SOUNDFONT"); fromEnvironment && *fromEnvironment)
        return explicitChoice(fromEnvironment);
    if (!chosen.empty())
        return explicitChoice(chosen);
    if (FileExists(places.fluidDefault))
        return {places.fluidDefault, {}};
    for (const std::string& folder : places.folders)
        if (std::string found = firstSoundFontIn(folder); !found.empty())
            return {found, {}};
    return {{}, NoSoundFontProblem()};
}

SoundFontChoice FindSoundFont(const std::string& chosen) { return FindSoundFont(chosen, SystemSoundFontPlaces()); }

std::string FindGeneralMIDISoundFont() { return FindSoundFont().path; }

std::string SoundFontFileProblem(const std::string& path)
{
    const std::string quoted = "\"" + path + "\"";
    std::unique_ptr<FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return "The SoundFont " + quoted + " cannot be read: " + std::strerror(errno) + ".";
    std::error_code error;
    const uintmax_t fileSize = fs::file_size(path, error);
    unsigned char header[12];
    if (error || std::fread(header, 1, sizeof header, file.get()) != sizeof header ||
        std::memcmp(header, "RIFF", 4) != 0 || std::memcmp(header + 8, "sfbk", 4) != 0)
        return quoted + " is not a SoundFont.";
    const uintmax_t riffEnd = 8 + static_cast<uintmax_t>(littleEndian32(header + 4));
    const std::string damaged = "The SoundFont " + quoted + " is damaged: ";
    if (riffEnd > fileSize)
        return damaged + "the file ends before its last part.";
    // The top level holds three lists: INFO (names), sdta (samples), pdta (presets).
    bool info = false, samples = false, presets = false;
    for (uintmax_t at = 12; at + 8 <= riffEnd;) {
        unsigned char chunk[12];
        if (std::fseek(file.get(), static_cast<long>(at), SEEK_SET) != 0 ||
            std::fread(chunk, 1, sizeof chunk, file.get()) < 8)
            return damaged + "a part cannot be read.";
        const uintmax_t end = at + 8 + littleEndian32(chunk + 4);
        if (end > riffEnd)
            return damaged + "a part runs past the end of the file.";
        if (std::memcmp(chunk, "LIST", 4) == 0 && end >= at + 12) {
            info = info || std::memcmp(chunk + 8, "INFO", 4) == 0;
            samples = samples || std::memcmp(chunk + 8, "sdta", 4) == 0;
            presets = presets || std::memcmp(chunk + 8, "pdta", 4) == 0;
        }
        at = end + (end & 1); // chunks are padded to an even length
    }
    if (!info || !samples || !presets)
        return damaged + "it lacks its " + (!presets ? "presets" : !samples ? "samples" : "names") + ".";
    return {};
}

std::string NoSoundFontProblem()
{
    return "No SoundFont found. Install a General MIDI SoundFont (for example the package "
           "fluid-soundfont-gm) or choose one in the settings.";
}

std::string SoundFontLoadProblem(const std::string& path, const std::string& libraryError)
{
    return SentenceWithReason("The SoundFont \"" + path + "\" could not be loaded", libraryError);
}

std::string SentenceWithReason(const std::string& sentence, std::string reason)
{
    while (!reason.empty() && (reason.back() == '.' || reason.back() == ' ' || reason.back() == '\n'))
        reason.pop_back();
    return reason.empty() ? sentence + "." : sentence + ": " + reason + ".";
}
