#include "chords/ChordButtons.h"

#include "base/TextUtil.h"

std::string ComponentName(const ChordTypeButton& button)
{
    return button.isList ? std::string(button.name) : "T_" + std::string(button.name);
}

std::string ChordTypeFilter(const std::vector<std::string>& checkedComponentNames,
                            const std::map<std::string, std::string>& listMembers)
{
    std::string filter;
    for (const std::string& name : checkedComponentNames) {
        std::string inner;
        if (name.find("List") != std::string::npos) {
            const auto members = listMembers.find(name);
            if (members != listMembers.end())
                inner = members->second;
        } else if (name.size() > 2) {
            inner = LowerCase(std::string_view(name).substr(2));
        }
        filter += "(" + inner + ")";
    }
    return filter;
}

std::string AllButtonsFilter(const std::map<std::string, std::string>& listMembers)
{
    std::vector<std::string> names;
    for (const ChordTypeButton& button : ChordTypeButtonTable)
        names.push_back(ComponentName(button));
    return ChordTypeFilter(names, listMembers);
}
