// Fly-by hints (tool tips) for the main window's controls, read from the "Hints" section of the
// definitions file: by the control's object name, else by "Tag" + its tag number.
#pragma once

#include <functional>
#include <string>

class IniFile;
class QWidget;

// Looks one key up in the hints section; "" when there is none.
using HintLookup = std::function<std::string(const std::string& key)>;

// Gives root and every widget below it, depth first in child order, the hint under its object name
// or, when that is empty and its tag is not 0, the one under "Tag<n>"; "|" becomes a line break.
// The hint is also the widget's accessible description. A widget without a hint gets both cleared. The tag is the widget's int property "Tag"
// (a dynamic property or a Q_PROPERTY); a widget without one has tag 0.
// An exception while handling one widget skips that widget's subtree only.
// Called on the GUI thread.
void LoadHintsFromIni(QWidget* root, const IniFile& ini);
void LoadHints(QWidget* root, const HintLookup& lookup);

// The hint text of a raw section value: every "|" replaced by a line feed.
std::string HintText(std::string value);
