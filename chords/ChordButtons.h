// The 23 chord-type buttons of the selector, as constant data, and the chord-type
// filter text the reverse finder builds from the checked ones.
#pragma once

#include <array>
#include <map>
#include <string>
#include <string_view>
#include <vector>

struct ChordTypeButton {
    std::string_view name;   // chord type or, for a list button, the list name
    int left;                // position relative to the centre panel
    int top;
    int group;               // 2 major, 3 minor, 4 dominant (the button's Tag)
    bool isList;             // list buttons open a drop-down of further chord types
};

inline constexpr std::array<ChordTypeButton, 23> ChordTypeButtonTable = {{
    {"maj", 16, 79, 2, false},   {"maj6", 16, 97, 2, false},  {"maj7", 16, 115, 2, false},
    {"maj69", 16, 133, 2, false}, {"maj9", 16, 151, 2, false}, {"2", 88, 79, 2, false},
    {"5", 88, 97, 2, false},     {"majList", 88, 115, 2, true},
    {"m", 16, 191, 3, false},    {"m7", 16, 209, 3, false},   {"m6", 16, 227, 3, false},
    {"m9", 16, 245, 3, false},   {"mMaj7", 16, 263, 3, false}, {"m7b5", 88, 191, 3, false},
    {"dim7", 88, 209, 3, false}, {"minList", 88, 227, 3, true},
    {"7", 16, 303, 4, false},    {"9", 16, 321, 4, false},    {"13", 16, 339, 4, false},
    {"7b9", 16, 357, 4, false},  {"sus", 16, 375, 4, false},  {"7sus", 88, 303, 4, false},
    {"domList", 88, 321, 4, true},
}};

// A button's component name: the table name for a list button, "T_" + name otherwise.
std::string ComponentName(const ChordTypeButton& button);

// The chord-type filter text for the checked buttons, given by component name. A name
// containing "List" contributes "(" + listMembers[name] + ")" (nothing inside when the
// list is unknown); any other contributes "(" + name from its third character, lower-cased, + ")".
// A chord type t takes part in a search when "(" + t + ")" occurs in the result.
std::string ChordTypeFilter(const std::vector<std::string>& checkedComponentNames,
                            const std::map<std::string, std::string>& listMembers);

// The filter with every button of ChordTypeButtonTable checked, as when the finder starts.
std::string AllButtonsFilter(const std::map<std::string, std::string>& listMembers);
