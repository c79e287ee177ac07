// INI files with the behaviour of the Windows private-profile functions: every read
// re-reads the file, every write rewrites it atomically and keeps all other lines.
#pragma once

#include <string>
#include <vector>

// Lookup rules:
// - section and key names match without regard to (ASCII) case; the first section and
//   the first key of a given name win;
// - lines whose first non-blank character is ';' or '#' are comments, never keys;
// - names and values are trimmed of blanks, and one pair of matching enclosing quotes
//   ("..." or '...') is removed from a value, as the Windows functions do;
// - ReadInteger accepts only a whole decimal integer with an optional sign that fits an
//   int ("7", " -3 ", "+5"); anything else ("12abc", "0x10", "", "1e3") gives the default;
// - ReadBool reads an integer (default 1 or 0) and is true when it is not 0.
// A missing or unreadable file reads as empty. Writes throw std::runtime_error when the
// file cannot be written; the old file then stays as it was.
// Not thread-safe; callers use it on one thread.
class IniFile {
public:
    explicit IniFile(std::string path);

    const std::string& FileName() const { return path_; }

    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& defaultValue) const;
    int ReadInteger(const std::string& section, const std::string& key, int defaultValue) const;
    bool ReadBool(const std::string& section, const std::string& key, bool defaultValue) const;

    // Replaces the key's line in place, or appends it to its section, or appends a new
    // section at the end of the file. Line breaks in the arguments become blanks, so a
    // value can never inject further lines.
    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& key, int value);
    void WriteBool(const std::string& section, const std::string& key, bool value);

    // Section names in file order, each once.
    std::vector<std::string> ReadSections() const;
    // The keys of a section in file order.
    std::vector<std::string> ReadSection(const std::string& section) const;
    // The section's entries as "key=value" lines (trimmed), in file order.
    std::vector<std::string> ReadSectionValues(const std::string& section) const;

private:
    std::string path_;
};

// Parses a whole decimal integer as ReadInteger does; false when the text is no such number.
bool ParseIniInteger(const std::string& text, int& value);

// Writes text to a temporary file in the same folder and renames it over path, so
// readers see either the old or the new file, never a torn one. No temporary file is
// left behind. Throws std::runtime_error on failure.
void WriteTextFileAtomically(const std::string& path, const std::string& text);
