// Keeps the sound and MIDI libraries (FluidSynth, ALSA, JACK, and GLib under FluidSynth's
// SoundFont loaders) quiet on the terminal, and keeps the last error each reported on the
// calling thread, so that a device that fails to open can say why.
#pragma once

#include <string>
#include <vector>

// Process-wide and idempotent; call before the first device is listed. It also tells
// libjack never to start a JACK server on its own (a missing server must fail fast), and
// ignores SIGPIPE, which libjack's threads can raise when a client leaves.
void SilenceAudioLibraries();

// The libraries' errors are kept per thread: clear before an open, read after it.
void ClearLibraryErrors();
// The latest error, followed by the first in parentheses when they differ (the summary,
// then its cause); empty when none.
std::string LibraryErrorText();
