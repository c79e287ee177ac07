// Reading the two numbers of a degree code ("0304": degree 3, 4 semitones above the root),
// and the other small calculations the chord knowledge shares internally.
#pragma once

#include "chords/Notes.h"

#include <string>

// The number written by the code's characters at first and first + 1 (two decimal digits).
// Throws ChordError "'<code>' is not a valid integer value" when they are not digits
// or the code is too short.
int DegreeCodeField(const std::string& code, std::size_t first);

inline int DegreeNumber(const std::string& code) { return DegreeCodeField(code, 0); }
inline int DegreeSemitones(const std::string& code) { return DegreeCodeField(code, 2); }

// Modulo that is never negative, for pitch classes and letter indices.
inline long long FloorMod(long long value, long long divisor)
{
    const long long r = value % divisor;
    return r < 0 ? r + divisor : r;
}

// The root note of a calculated chord: 49 (C#) .. 60 (C), C being the highest.
inline int ChordRootNote(const TRootInfo& root)
{
    const int note = root.pitchClass + 48;
    return note < 49 ? 60 : note;
}
