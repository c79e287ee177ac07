// INI files with the behaviour of the Windows private-profile functions. A file is parsed
// once and kept in memory while it is unchanged on disk; every write replaces it atomically
// and keeps all other lines as they were, line breaks included.
#pragma once

#include <memory>
#include <string>
#include <vector>

struct IniSnapshot;   // a parsed file and what it looked like on disk (IniFile.cpp)

// Lookup rules:
// - section and key names match without regard to (ASCII) case; the first section and
//   the first key of a given name win;
// - lines end at LF, CR LF or a lone CR;
// - lines whose first non-blank character is ';' or '#' are comments, never keys;
// - names and values are trimmed of blanks, and one pair of matching enclosing quotes
//   ("..." or '...') is removed from a value, as the Windows functions do;
// - ReadInteger accepts only a whole decimal integer with an optional sign that fits an
//   int ("7", " -3 ", "+5"); anything else ("12abc", "0x10", "", "1e3") gives the default;
// - ReadBool reads an integer (default 1 or 0) and is true when it is not 0.
// A missing or unreadable file reads as empty. Writes throw std::runtime_error
// ("Cannot write <file>: <reason>") when the file cannot be written; the old file then stays
// as it was. A symbolic link is written through: its target is replaced, the link stays.
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
    // value can never inject further lines. Each call replaces the file once: to write
    // several keys together, use a Batch.
    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& key, int value);
    void WriteBool(const std::string& section, const std::string& key, bool value);

    // Section names in file order, each once.
    std::vector<std::string> ReadSections() const;
    // The keys of a section in file order.
    std::vector<std::string> ReadSection(const std::string& section) const;
    // The section's entries as "key=value" lines (trimmed), in file order.
    std::vector<std::string> ReadSectionValues(const std::string& section) const;

    // How often this object has parsed its file: once, and again after each outside change.
    int Parses() const { return parses_; }

    // Writes collected in memory and committed as one atomic replacement of the file, so a
    // crash or a failed save leaves either all of them or none. A batch that is not committed
    // writes nothing.
    class Batch {
    public:
        explicit Batch(IniFile& file) : file_(file) {}
        void WriteString(const std::string& section, const std::string& key, const std::string& value);
        void WriteInteger(const std::string& section, const std::string& key, int value);
        void WriteBool(const std::string& section, const std::string& key, bool value);
        // Applies the writes, in order, to the file as it is now and replaces it once.
        // Throws as IniFile's writes do.
        void Commit();

    private:
        struct Write {
            std::string section, key, value;
        };
        IniFile& file_;
        std::vector<Write> writes_;
    };

private:
    // The file's parse, taken again only when the file has changed on disk.
    const IniSnapshot& current() const;

    std::string path_;
    mutable std::shared_ptr<const IniSnapshot> snapshot_;
    mutable int parses_ = 0;
};

// Parses a whole decimal integer as ReadInteger does; false when the text is no such number.
bool ParseIniInteger(const std::string& text, int& value);

// Writes text to a temporary file beside path (beside the final target when path is a
// symbolic link) and renames it over the old file, so readers see either the old or the new
// file, never a torn one, and a link stays a link. No temporary file is left behind.
// Throws std::runtime_error ("Cannot write <path>: <reason>") on failure.
void WriteTextFileAtomically(const std::string& path, const std::string& text);

// Removes the temporary files that saves of path interrupted by a crash left beside it, and
// only those: named after path's file with our own marker, and not locked by a save that is
// still running in another process.
void RemoveStaleTemporaryFiles(const std::string& path);

// "" when WriteTextFileAtomically(path, ...) can be expected to succeed: a temporary file
// can be made and filled beside the file, and the file, when it exists, is a regular file.
// Otherwise the reason, as "Cannot write <path>: <reason>". Writes nothing else.
std::string AtomicWriteProblem(const std::string& path);
