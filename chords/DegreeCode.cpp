#include "chords/DegreeCode.h"

#include "chords/ChordBook.h"

int DegreeCodeField(const std::string& code, std::size_t first)
{
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    if (code.size() < first + 2 || !isDigit(code[first]) || !isDigit(code[first + 1]))
        throw ChordError("'" + code + "' is not a valid integer value");
    return (code[first] - '0') * 10 + (code[first + 1] - '0');
}
