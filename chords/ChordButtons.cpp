#include "chords/ChordButtons.h"

#include "base/TextUtil.h"

std::string ChordTypeFilter(const std::vector<CheckedButton>& checked,
                            const std::map<std::string, std::string>& listMembers)
{
    std::string filter;
    for (const CheckedButton& button : checked) {
        std::string inner;
        if (button.isList) {
            const auto members = listMembers.find(button.name);
            if (members != listMembers.end())
                inner = members->second;
        } else {
            inner = LowerCase(button.name);
        }
        filter += "(" + inner + ")";
    }
    return filter;
}
