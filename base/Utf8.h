// UTF-8 at the program's edges: the data files' names are UTF-8 and are compared byte-wise
// inside; where text leaves the program (widgets, JSON, SVG) it must be valid UTF-8.
#pragma once

#include <string>
#include <string_view>

// text with every valid UTF-8 sequence kept as it is and every other byte taken as the Latin-1
// character of that value (so an older Latin-1 file still shows "é"), encoded in UTF-8.
std::string ValidUtf8(std::string_view text);
