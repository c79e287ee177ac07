// Small 8-bit text helpers shared by every layer: the data-file readers, the INI files, the window.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Cuts the head off line up to the first character of delimiters. token gets the text
// before it (never trimmed), line moves past everything up to and including it, and the
// delimiter is returned. With no delimiter, token takes the whole line, line becomes
// empty and '\0' is returned. Each call costs the length of the token, so splitting a
// whole line field by field is linear in its length.
char NextToken(std::string_view& line, std::string& token, std::string_view delimiters);
// The same on an owned line, for a single cut: it erases the head from the string, which
// costs the length of the rest, so loops over a line use the view form.
char NextToken(std::string& line, std::string& token, std::string_view delimiters);
// The same on views into text that outlives them, for readers of whole files.
char NextToken(std::string_view& line, std::string_view& token, std::string_view delimiters);

// Removes leading and trailing characters at or below the space character.
std::string TrimBlanks(std::string_view text);
std::string_view TrimmedView(std::string_view text);

// ASCII lower-casing; other bytes are kept.
std::string LowerCase(std::string_view text);

// Equal without regard to ASCII case.
bool SameText(std::string_view a, std::string_view b);

// The decimal integer the whole text spells (an optional "-" and digits, nothing else), or none.
std::optional<int> ParseWholeNumber(std::string_view text);

// Splits a whole file's text into lines at CR LF, CR or LF. A final line break does
// not start an extra line.
std::vector<std::string> SplitLines(std::string_view text);
// The same lines as views into text.
std::vector<std::string_view> SplitLineViews(std::string_view text);
