#include "base/TextUtil.h"

#include <charconv>

namespace {
bool isBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }
char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }
}

char NextToken(std::string_view& line, std::string& token, std::string_view delimiters)
{
    std::string_view view;
    const char delimiter = NextToken(line, view, delimiters);
    token.assign(view);
    return delimiter;
}

char NextToken(std::string& line, std::string& token, std::string_view delimiters)
{
    std::string_view rest = line;
    const char delimiter = NextToken(rest, token, delimiters);
    line.erase(0, line.size() - rest.size());
    return delimiter;
}

char NextToken(std::string_view& line, std::string_view& token, std::string_view delimiters)
{
    // One delimiter (the voicing files' commas) is a plain search, far quicker than a set's.
    const std::size_t at = delimiters.size() == 1 ? line.find(delimiters.front()) : line.find_first_of(delimiters);
    if (at == std::string_view::npos) {
        token = line;
        line = {};
        return '\0';
    }
    token = line.substr(0, at);
    const char delimiter = line[at];
    line.remove_prefix(at + 1);
    return delimiter;
}

std::string_view TrimmedView(std::string_view text)
{
    std::size_t begin = 0, end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

std::string TrimBlanks(std::string_view text)
{
    return std::string(TrimmedView(text));
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
    const std::vector<std::string_view> views = SplitLineViews(text);
    return std::vector<std::string>(views.begin(), views.end());
}

std::vector<std::string_view> SplitLineViews(std::string_view text)
{
    std::vector<std::string_view> lines;
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

std::optional<int> ParseWholeNumber(std::string_view text)
{
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}
