// INI file reading and writing with private-profile semantics.
#include "platform/IniFile.h"

#include "base/TextUtil.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const kBlanks = " \t\r\n\f\v";

std::string trim(const std::string& text)
{
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string::npos)
        return {};
    const auto last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

std::string unquote(const std::string& value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

std::string singleLine(std::string text)
{
    for (char& c : text)
        if (c == '\n' || c == '\r')
            c = ' ';
    return text;
}

// One line of the file as found, with what it means.
struct IniLine {
    enum Kind { Other, Section, Entry };
    std::string raw;  // without the line break
    Kind kind = Other;
    std::string name; // section name or key
    std::string value;
};

struct IniText {
    std::string byteOrderMark; // kept as found, so an editor's UTF-8 mark survives a write
    std::vector<IniLine> lines;
    std::string lineBreak = "\n";
    bool endsWithBreak = true;
};

IniLine parseLine(const std::string& raw)
{
    IniLine line;
    line.raw = raw;
    const std::string text = trim(raw);
    if (text.empty() || text[0] == ';' || text[0] == '#')
        return line;
    if (text[0] == '[') {
        const auto close = text.find(']');
        if (close != std::string::npos) {
            line.kind = IniLine::Section;
            line.name = trim(text.substr(1, close - 1));
        }
        return line;
    }
    const auto eq = text.find('=');
    if (eq == std::string::npos)
        return line;
    line.name = trim(text.substr(0, eq));
    if (line.name.empty())
        return line;
    line.kind = IniLine::Entry;
    line.value = unquote(trim(text.substr(eq + 1)));
    return line;
}

IniText parseText(const std::string& content)
{
    IniText ini;
    if (content.empty())
        return ini;
    size_t start = 0;
    if (content.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        ini.byteOrderMark = content.substr(0, 3);
        start = 3;
    }
    bool first = true;
    while (start < content.size()) {
        auto end = content.find('\n', start);
        const bool hasBreak = end != std::string::npos;
        if (!hasBreak)
            end = content.size();
        std::string raw = content.substr(start, end - start);
        if (!raw.empty() && raw.back() == '\r') {
            raw.pop_back();
            if (first)
                ini.lineBreak = "\r\n";
        }
        first = false;
        ini.lines.push_back(parseLine(raw));
        ini.endsWithBreak = hasBreak;
        start = end + 1;
    }
    return ini;
}

std::string readWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {};
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

IniText loadIni(const std::string& path) { return parseText(readWholeFile(path)); }

// Index range [begin, end) of the lines that belong to the first section of this name;
// begin is the header line. begin == npos when there is no such section.
struct SectionRange {
    size_t begin = std::string::npos;
    size_t end = 0;
};

SectionRange findSection(const IniText& ini, const std::string& section)
{
    SectionRange range;
    for (size_t i = 0; i < ini.lines.size(); ++i) {
        const IniLine& line = ini.lines[i];
        if (line.kind != IniLine::Section)
            continue;
        if (range.begin != std::string::npos) {
            range.end = i;
            return range;
        }
        if (SameText(line.name, section))
            range.begin = i;
    }
    range.end = ini.lines.size();
    return range;
}

const IniLine* findEntry(const IniText& ini, const std::string& section, const std::string& key)
{
    const SectionRange range = findSection(ini, section);
    if (range.begin == std::string::npos)
        return nullptr;
    for (size_t i = range.begin + 1; i < range.end; ++i)
        if (ini.lines[i].kind == IniLine::Entry && SameText(ini.lines[i].name, key))
            return &ini.lines[i];
    return nullptr;
}

std::string joinText(const IniText& ini)
{
    std::string text = ini.byteOrderMark;
    for (size_t i = 0; i < ini.lines.size(); ++i) {
        text += ini.lines[i].raw;
        if (i + 1 < ini.lines.size() || ini.endsWithBreak)
            text += ini.lineBreak;
    }
    return text;
}

void setEntry(IniText& ini, const std::string& section, const std::string& key,
              const std::string& value)
{
    const IniLine entry = parseLine(key + "=" + value);
    const SectionRange range = findSection(ini, section);
    if (range.begin == std::string::npos) {
        ini.endsWithBreak = true;
        ini.lines.push_back(parseLine("[" + section + "]"));
        ini.lines.push_back(entry);
        return;
    }
    size_t lastContent = range.begin;
    for (size_t i = range.begin + 1; i < range.end; ++i) {
        IniLine& line = ini.lines[i];
        if (line.kind == IniLine::Entry && SameText(line.name, key)) {
            line = entry;
            return;
        }
        if (!trim(line.raw).empty())
            lastContent = i;
    }
    // After the section's last non-blank line, so blank separators stay between sections.
    if (lastContent + 1 == ini.lines.size())
        ini.endsWithBreak = true;
    ini.lines.insert(ini.lines.begin() + static_cast<std::ptrdiff_t>(lastContent + 1), entry);
}

} // namespace

bool ParseIniInteger(const std::string& text, int& value)
{
    const std::string number = trim(text);
    size_t pos = 0;
    bool negative = false;
    if (pos < number.size() && (number[pos] == '+' || number[pos] == '-'))
        negative = number[pos++] == '-';
    if (pos == number.size())
        return false;
    long long result = 0;
    for (; pos < number.size(); ++pos) {
        const char c = number[pos];
        if (c < '0' || c > '9')
            return false;
        result = result * 10 + (c - '0');
        if (result > static_cast<long long>(INT_MAX) + 1)
            return false;
    }
    if (negative)
        result = -result;
    if (result < INT_MIN || result > INT_MAX)
        return false;
    value = static_cast<int>(result);
    return true;
}

IniFile::IniFile(std::string path) : path_(std::move(path)) {}

std::string IniFile::ReadString(const std::string& section, const std::string& key,
                                const std::string& defaultValue) const
{
    const IniText ini = loadIni(path_);
    const IniLine* entry = findEntry(ini, section, key);
    return entry ? entry->value : defaultValue;
}

int IniFile::ReadInteger(const std::string& section, const std::string& key,
                         int defaultValue) const
{
    int value = defaultValue;
    if (!ParseIniInteger(ReadString(section, key, {}), value))
        return defaultValue;
    return value;
}

bool IniFile::ReadBool(const std::string& section, const std::string& key, bool defaultValue) const
{
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void IniFile::WriteString(const std::string& section, const std::string& key,
                          const std::string& value)
{
    IniText ini = loadIni(path_);
    setEntry(ini, trim(singleLine(section)), trim(singleLine(key)), singleLine(value));
    WriteTextFileAtomically(path_, joinText(ini));
}

void IniFile::WriteInteger(const std::string& section, const std::string& key, int value)
{
    WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(const std::string& section, const std::string& key, bool value)
{
    WriteString(section, key, value ? "1" : "0");
}

std::vector<std::string> IniFile::ReadSections() const
{
    std::vector<std::string> names;
    for (const IniLine& line : loadIni(path_).lines) {
        if (line.kind != IniLine::Section)
            continue;
        bool known = false;
        for (const std::string& name : names)
            known = known || SameText(name, line.name);
        if (!known)
            names.push_back(line.name);
    }
    return names;
}

namespace {

// Calls fn for each entry of the first section of that name, in file order.
template <typename Fn>
void forEachEntry(const std::string& path, const std::string& section, Fn fn)
{
    const IniText ini = loadIni(path);
    const SectionRange range = findSection(ini, section);
    if (range.begin == std::string::npos)
        return;
    for (size_t i = range.begin + 1; i < range.end; ++i)
        if (ini.lines[i].kind == IniLine::Entry)
            fn(ini.lines[i]);
}

} // namespace

std::vector<std::string> IniFile::ReadSection(const std::string& section) const
{
    std::vector<std::string> keys;
    forEachEntry(path_, section, [&](const IniLine& line) { keys.push_back(line.name); });
    return keys;
}

std::vector<std::string> IniFile::ReadSectionValues(const std::string& section) const
{
    std::vector<std::string> entries;
    forEachEntry(path_, section, [&](const IniLine& line) { entries.push_back(line.name + "=" + line.value); });
    return entries;
}

namespace {

// Owns a file descriptor and the name of a temporary file until it is committed.
class TempFile {
public:
    explicit TempFile(const std::string& target) : name_(target + ".XXXXXX")
    {
        fd_ = mkstemp(name_.data());
        if (fd_ < 0)
            throw std::runtime_error("Cannot create a temporary file for " + target + ": " +
                                     std::strerror(errno));
    }
    ~TempFile()
    {
        if (fd_ >= 0)
            close(fd_);
        if (!committed_)
            unlink(name_.c_str());
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    int fd() const { return fd_; }
    const std::string& name() const { return name_; }
    void closeFile()
    {
        const int fd = fd_;
        fd_ = -1;
        if (close(fd) != 0)
            fail("close");
    }
    void fail(const char* what) const
    {
        throw std::runtime_error(std::string("Cannot write ") + name_ + " (" + what +
                                 "): " + std::strerror(errno));
    }
    void committed() { committed_ = true; }

private:
    std::string name_;
    int fd_ = -1;
    bool committed_ = false;
};

mode_t modeForNewFile(const std::string& path)
{
    struct stat info {};
    if (stat(path.c_str(), &info) == 0)
        return info.st_mode & 07777;
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

} // namespace

void WriteTextFileAtomically(const std::string& path, const std::string& text)
{
    TempFile temp(path);
    // mkstemp makes the file 0600; give it the old file's (or the usual) permissions.
    if (fchmod(temp.fd(), modeForNewFile(path)) != 0)
        temp.fail("chmod");
    size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = write(temp.fd(), text.data() + written, text.size() - written);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            temp.fail("write");
        }
        written += static_cast<size_t>(n);
    }
    if (fsync(temp.fd()) != 0)
        temp.fail("fsync");
    temp.closeFile();
    if (rename(temp.name().c_str(), path.c_str()) != 0)
        temp.fail("rename");
    temp.committed();
}
