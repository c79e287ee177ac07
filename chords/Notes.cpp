#include "chords/Notes.h"

#include "base/TextUtil.h"

#include <algorithm>

void ConvertToEnharmonic(std::string& name)
{
    for (const EnharmonicPair& pair : EnharmonicTable) {
        if (name == pair.spelling) {
            name = pair.replacement;
            return;
        }
    }
}

std::string_view DegreeLabel(std::string_view code)
{
    for (const DegreeLabelEntry& entry : DegreeLabelTable)
        if (entry.code == code)
            return entry.label;
    return {};
}

int FindRoot(std::string_view name)
{
    for (int i = 0; i < RootCount; ++i)
        if (RootTable[i].name == name)
            return i;
    return -1;
}

bool IsNoteName(std::string_view name)
{
    return std::any_of(NoteSpellingTable.begin(), NoteSpellingTable.end(), [&](const auto& row) {
        return std::find(row.begin(), row.end(), name) != row.end();
    });
}

int FindRootAnyCase(std::string_view name)
{
    for (int i = 0; i < RootCount; ++i)
        if (SameText(RootTable[i].name, name))
            return i;
    return -1;
}
