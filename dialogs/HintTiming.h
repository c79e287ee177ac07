// Fly-by hint timing: how long the pointer rests before a hint shows, and how soon the next
// control's hint follows. Qt's tool tips read both from the application style, so a proxy
// style carries them. Called on the GUI thread.
#pragma once

// The start-up timing: a hint shows after `hintPauseMs`; moving on to another control shows
// its hint after `shortPauseMs`. Qt hides a short hint after 10 s by itself.
void SetHintTiming(int hintPauseMs, int shortPauseMs);

// Only the delay before a hint shows (the settings dialog's choice).
void SetHintPause(int hintPauseMs);

// The delays in force, for tests.
int HintPause();
int HintShortPause();
