// Log handlers for the sound libraries: nothing reaches the terminal, errors are kept.
#include "platform/AudioLibraries.h"

#include <alsa/asoundlib.h>
#include <fluidsynth.h>
#include <glib.h>
#include <jack/jack.h>

#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <vector>

namespace {

// The first and the latest error since the last clear: a failed open reports a chain of
// them, from the cause (ALSA: no such card) to the summary (FluidSynth: no audio device).
thread_local std::vector<std::string> errors;

void keepError(const char* message)
{
    if (!message || !*message)
        return;
    if (errors.size() == 2)
        errors.pop_back();
    errors.emplace_back(message);
}

void fluidLog(int level, const char* message, void*)
{
    if (level == FLUID_PANIC || level == FLUID_ERR)
        keepError(message);
}

void alsaLog(const char*, int, const char*, int, const char* format, ...)
{
    char text[512];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    keepError(text);
}

void jackError(const char* message) { keepError(message); }
void jackInfo(const char*) {}

// GLib warnings come from libinstpatch when FluidSynth offers it a file that is not a
// SoundFont; FluidSynth reports the failure itself.
void glibLog(const gchar*, GLogLevelFlags, const gchar*, gpointer) {}

} // namespace

void SilenceAudioLibraries()
{
    static std::once_flag once;
    std::call_once(once, [] {
        // libjack starts jackd when a client opens without a server (FluidSynth's "jack"
        // driver does so); with no sound card that hangs for seconds and then fails.
        setenv("JACK_NO_START_SERVER", "1", 1);
        // libjack's process threads write to the next client's pipe; when another client
        // leaves the graph meanwhile, that write would end the program with SIGPIPE.
        std::signal(SIGPIPE, SIG_IGN);
        for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level)
            fluid_set_log_function(level, fluidLog, nullptr);
        snd_lib_error_set_handler(alsaLog);
        jack_set_error_function(jackError);
        jack_set_info_function(jackInfo);
        const auto levels = static_cast<GLogLevelFlags>(G_LOG_LEVEL_MASK & ~G_LOG_LEVEL_ERROR);
        for (const char* domain : {static_cast<const char*>(nullptr), "GLib", "libinstpatch"})
            g_log_set_handler(domain, levels, glibLog, nullptr);
    });
}

void ClearLibraryErrors() { errors.clear(); }

std::string LibraryErrorText()
{
    if (errors.empty())
        return {};
    std::string cause = errors.front();
    while (!cause.empty() && (cause.back() == '.' || cause.back() == '\n'))
        cause.pop_back();
    return errors.size() == 1 ? errors.front() : errors.back() + " (" + cause + ")";
}
