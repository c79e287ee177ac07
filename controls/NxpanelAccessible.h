// What a screen reader learns of a skinned button (TNXPanel): it is a button, checkable when
// it has a checked look; its name is its accessible name followed by the text it shows
// ("Chord finder, Show all chords"); its press action presses it as a click on its face does.
// Called on the GUI thread.
#pragma once

class TNXPanel;

// Makes the skinned buttons known to Qt's accessibility; running it again changes nothing.
void EnablePanelAccessibility();

// Tells a listening screen reader that the panel's checked state, or the text it shows, changed.
void NotifyPanelChecked(TNXPanel* panel);
void NotifyPanelTextChanged(TNXPanel* panel);
