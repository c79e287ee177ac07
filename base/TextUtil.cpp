#include "base/TextUtil.h"

namespace {
bool isBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }
char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }
}

char NextToken(std::string_view& line, std::string& token, std::string_view delimiters)
{
    const std::size_t at = line.find_first_of(delimiters);
    if (at == std::string_view::npos) {
        token.assign(line);
        line = {};
        return '\0';
    }
    const char delimiter = line[at];
    token.assign(line.substr(0, at));
    line.remove_prefix(at + 1);
    return delimiter;
}

char NextToken(std::string& line, std::string& token, std::string_view delimiters)
{
    std::string_view rest = line;
    const char delimiter = NextToken(rest, token, delimiters);
    line.erase(0, line.size() - rest.size());
    return delimiter;
}

std::string TrimBlanks(std::string_view text)
{
    std::size_t begin = 0, end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return std::string(text.substr(begin, end - begin));
}

std::string LowerCase(std::string_view text)
{
    std::string result(text);
    for (char& c : result)
        c = lowerAscii(c);
    return result;
}

bool SameText(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i]))
            return false;
    return true;
}

std::vector<std::string> SplitLines(std::string_view text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        lines.emplace_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.emplace_back(text.substr(start));
    return lines;
}
