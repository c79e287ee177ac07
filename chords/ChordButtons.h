// The chord-type filter the reverse finder builds from the checked chord-type buttons.
// The buttons themselves (names, kinds, places) are the window's: callers pass them in.
#pragma once

#include <map>
#include <string>
#include <vector>

// A checked chord-type button as the filter sees it.
struct CheckedButton {
    std::string name;   // its chord type, or for a list button the name of its chord list
    bool isList = false;
};

// The chord-type filter text for the checked buttons: a list button contributes
// "(" + listMembers[name] + ")" (nothing inside when the list is unknown), any other
// "(" + its name lower-cased + ")". A chord type t takes part in a search when
// "(" + t + ")" occurs in the result.
std::string ChordTypeFilter(const std::vector<CheckedButton>& checked,
                            const std::map<std::string, std::string>& listMembers);

// The filter with every button checked, as when the finder starts. buttons is any range
// of records with a name and an isList flag.
template <typename Buttons>
std::string AllButtonsFilter(const Buttons& buttons, const std::map<std::string, std::string>& listMembers)
{
    std::vector<CheckedButton> all;
    for (const auto& button : buttons)
        all.push_back({std::string(button.name), button.isList});
    return ChordTypeFilter(all, listMembers);
}
