// INI file reading and writing with private-profile semantics.
#include "platform/IniFile.h"

#include "base/TextUtil.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <stdexcept>
#include <sys/file.h>
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
    std::string raw;    // without the line break
    std::string ending; // the line break as found: "\n", "\r\n", "\r", or "" for a last line without one
    Kind kind = Other;
    std::string name;   // section name or key
    std::string value;
};

struct IniText {
    std::string byteOrderMark; // kept as found, so an editor's UTF-8 mark survives a write
    std::vector<IniLine> lines;
};

IniLine parseLine(const std::string& raw, std::string ending = {})
{
    IniLine line;
    line.raw = raw;
    line.ending = std::move(ending);
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

// Lines end at LF, CR LF or a lone CR; each keeps its own break, so a rewrite gives back
// every untouched byte.
IniText parseText(const std::string& content)
{
    IniText ini;
    size_t start = 0;
    if (content.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        ini.byteOrderMark = content.substr(0, 3);
        start = 3;
    }
    while (start < content.size()) {
        const auto end = content.find_first_of("\r\n", start);
        if (end == std::string::npos) {
            ini.lines.push_back(parseLine(content.substr(start)));
            break;
        }
        const size_t breakLength = content.compare(end, 2, "\r\n") == 0 ? 2 : 1;
        ini.lines.push_back(parseLine(content.substr(start, end - start), content.substr(end, breakLength)));
        start = end + breakLength;
    }
    return ini;
}

std::string joinText(const IniText& ini)
{
    std::string text = ini.byteOrderMark;
    for (const IniLine& line : ini.lines)
        text += line.raw + line.ending;
    return text;
}

// The break for lines the file did not have: the first one it uses, else LF.
std::string usualBreak(const IniText& ini)
{
    for (const IniLine& line : ini.lines)
        if (!line.ending.empty())
            return line.ending;
    return "\n";
}

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

// Inserts a line after ini.lines[after] with that line's break; a last line without a break
// gets the file's usual one first.
void insertLineAfter(IniText& ini, size_t after, const std::string& raw)
{
    IniLine& previous = ini.lines[after];
    if (previous.ending.empty())
        previous.ending = usualBreak(ini);
    const std::string ending = previous.ending;
    ini.lines.insert(ini.lines.begin() + static_cast<std::ptrdiff_t>(after + 1), parseLine(raw, ending));
}

void appendLine(IniText& ini, const std::string& raw)
{
    if (ini.lines.empty())
        ini.lines.push_back(parseLine(raw, "\n"));
    else
        insertLineAfter(ini, ini.lines.size() - 1, raw);
}

void setEntry(IniText& ini, const std::string& section, const std::string& key,
              const std::string& value)
{
    const std::string entry = key + "=" + value;
    const SectionRange range = findSection(ini, section);
    if (range.begin == std::string::npos) {
        appendLine(ini, "[" + section + "]");
        appendLine(ini, entry);
        return;
    }
    size_t lastContent = range.begin;
    for (size_t i = range.begin + 1; i < range.end; ++i) {
        IniLine& line = ini.lines[i];
        if (line.kind == IniLine::Entry && SameText(line.name, key)) {
            line = parseLine(entry, line.ending);
            return;
        }
        if (!trim(line.raw).empty())
            lastContent = i;
    }
    // After the section's last non-blank line, so blank separators stay between sections.
    insertLineAfter(ini, lastContent, entry);
}

// What a file looked like on disk: equal stamps mean an unchanged file, unless it changed
// within the resolution of the file system's time stamps (see IniSnapshot::settled).
struct FileStamp {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified {};
    timespec changed {};

    bool operator==(const FileStamp& other) const
    {
        auto same = [](const timespec& a, const timespec& b) { return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec; };
        return exists == other.exists && device == other.device && inode == other.inode &&
               size == other.size && same(modified, other.modified) && same(changed, other.changed);
    }
};

// Only regular files are read: a folder, a pipe or a device in the file's place reads as empty.
FileStamp stampOf(const std::string& path)
{
    struct stat info {};
    FileStamp stamp;
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return stamp;
    stamp.exists = true;
    stamp.device = info.st_dev;
    stamp.inode = info.st_ino;
    stamp.size = info.st_size;
    stamp.modified = info.st_mtim;
    stamp.changed = info.st_ctim;
    return stamp;
}

// File systems stamp times coarsely (a few ms, seconds on some), so two edits of the same
// size in quick succession can leave equal stamps. A stamp is trusted only once it is older
// than that; until then the bytes are read again and compared.
bool stampSettled(const FileStamp& stamp)
{
    if (!stamp.exists)
        return true;
    timespec now {};
    clock_gettime(CLOCK_REALTIME, &now);
    const time_t newest = std::max(stamp.modified.tv_sec, stamp.changed.tv_sec);
    return now.tv_sec - newest >= 2;
}

// Opened without waiting, so a pipe that took the file's place meanwhile cannot hang the reader.
std::string readWholeFile(const std::string& path)
{
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return {};
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return {};
    }
    std::string text;
    char buffer[65536];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        text.append(buffer, static_cast<size_t>(n));
    }
    close(fd);
    return text;
}

} // namespace

struct IniSnapshot {
    FileStamp stamp;
    bool settled = false;
    std::string bytes;
    IniText text;
};

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

const IniSnapshot& IniFile::current() const
{
    const FileStamp stamp = stampOf(path_);
    if (snapshot_ && snapshot_->settled && snapshot_->stamp == stamp)
        return *snapshot_;
    auto fresh = std::make_shared<IniSnapshot>();
    fresh->stamp = stamp;
    fresh->settled = stampSettled(stamp);
    fresh->bytes = stamp.exists ? readWholeFile(path_) : std::string();
    // A file too recent to trust its stamp is read on every lookup; while its bytes stay
    // the same, the parse already held serves as it is, without a copy.
    if (snapshot_ && snapshot_->stamp == stamp && snapshot_->settled == fresh->settled &&
        snapshot_->bytes == fresh->bytes)
        return *snapshot_;
    if (snapshot_ && snapshot_->bytes == fresh->bytes) {
        fresh->text = snapshot_->text;
    } else {
        fresh->text = parseText(fresh->bytes);
        ++parses_;
    }
    snapshot_ = std::move(fresh);
    return *snapshot_;
}

std::string IniFile::ReadString(const std::string& section, const std::string& key,
                                const std::string& defaultValue) const
{
    const IniLine* entry = findEntry(current().text, section, key);
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
    Batch batch(*this);
    batch.WriteString(section, key, value);
    batch.Commit();
}

void IniFile::WriteInteger(const std::string& section, const std::string& key, int value)
{
    WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(const std::string& section, const std::string& key, bool value)
{
    WriteString(section, key, value ? "1" : "0");
}

void IniFile::Batch::WriteString(const std::string& section, const std::string& key,
                                 const std::string& value)
{
    writes_.push_back({trim(singleLine(section)), trim(singleLine(key)), singleLine(value)});
}

void IniFile::Batch::WriteInteger(const std::string& section, const std::string& key, int value)
{
    WriteString(section, key, std::to_string(value));
}

void IniFile::Batch::WriteBool(const std::string& section, const std::string& key, bool value)
{
    WriteString(section, key, value ? "1" : "0");
}

void IniFile::Batch::Commit()
{
    auto written = std::make_shared<IniSnapshot>();
    written->text = file_.current().text;
    for (const Write& write : writes_)
        setEntry(written->text, write.section, write.key, write.value);
    written->bytes = joinText(written->text);
    WriteTextFileAtomically(file_.path_, written->bytes);
    // What was just written needs no parse; its stamp still decides whether it is current.
    written->stamp = stampOf(file_.path_);
    written->settled = stampSettled(written->stamp);
    file_.snapshot_ = std::move(written);
}

std::vector<std::string> IniFile::ReadSections() const
{
    std::vector<std::string> names;
    for (const IniLine& line : current().text.lines) {
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
void forEachEntry(const IniText& ini, const std::string& section, Fn fn)
{
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
    forEachEntry(current().text, section, [&](const IniLine& line) { keys.push_back(line.name); });
    return keys;
}

std::vector<std::string> IniFile::ReadSectionValues(const std::string& section) const
{
    std::vector<std::string> entries;
    forEachEntry(current().text, section,
                 [&](const IniLine& line) { entries.push_back(line.name + "=" + line.value); });
    return entries;
}

namespace {

// Our temporary files are hidden and carry a marker, so leftovers are recognisably ours:
// ".Tonvera.ini.tonvera-tmp-" and six characters that mkstemp picks.
const std::string kTemporaryMarker = ".tonvera-tmp-";
constexpr size_t kTemporaryRandomLength = 6;

std::string folderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string temporaryPrefix(const std::string& target)
{
    std::string prefix = ".";   // built in steps: GCC 12 warns falsely about "." + a + b here
    prefix += nameOf(target);
    prefix += kTemporaryMarker;
    return prefix;
}

[[noreturn]] void failWriting(const std::string& path, int error)
{
    throw std::runtime_error("Cannot write " + path + ": " + std::strerror(error));
}

// The file a write of path replaces: path itself, or the final target of a chain of symbolic
// links (a relative link counts from the link's own folder). A target that does not exist
// yet is fine: the write makes it.
std::string resolveLinks(const std::string& path)
{
    constexpr int kMaxLinks = 40;   // as the kernel's own limit for path lookups
    std::string current = path;
    for (int hops = 0;; ++hops) {
        struct stat info {};
        if (lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return current;
        if (hops == kMaxLinks)
            failWriting(path, ELOOP);
        std::string target(static_cast<size_t>(info.st_size > 0 ? info.st_size : 4096) + 1, '\0');
        const ssize_t length = readlink(current.c_str(), target.data(), target.size());
        if (length < 0 || static_cast<size_t>(length) >= target.size())
            failWriting(path, length < 0 ? errno : ENAMETOOLONG);
        target.resize(static_cast<size_t>(length));
        current = target.front() == '/' ? target : folderOf(current) + "/" + target;
    }
}

// A temporary file beside target, removed again unless it was renamed into place. It is
// locked while it exists, so a start-up clean-up can tell it from a crashed save's leftover.
class TempFile {
public:
    // shownPath: the name errors give, the file as the caller knows it.
    TempFile(const std::string& target, std::string shownPath)
        : name_(folderOf(target) + "/" + temporaryPrefix(target) + std::string(kTemporaryRandomLength, 'X')),
          shownPath_(std::move(shownPath))
    {
        fd_ = mkostemp(name_.data(), O_CLOEXEC);
        if (fd_ < 0)
            fail();
        flock(fd_, LOCK_EX);
    }
    ~TempFile()
    {
        if (!renamed_)
            unlink(name_.c_str());
        close(fd_);
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    [[noreturn]] void fail() const { failWriting(shownPath_, errno); }

    void write(const std::string& text) const
    {
        size_t written = 0;
        while (written < text.size()) {
            const ssize_t n = ::write(fd_, text.data() + written, text.size() - written);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                fail();
            written += static_cast<size_t>(n);
        }
    }
    int fd() const { return fd_; }
    // Still locked while it becomes the file, so no clean-up can take it on the way.
    void renameTo(const std::string& target)
    {
        if (rename(name_.c_str(), target.c_str()) != 0)
            fail();
        renamed_ = true;
    }

private:
    std::string name_;
    std::string shownPath_;
    int fd_ = -1;
    bool renamed_ = false;
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
    const std::string target = resolveLinks(path);
    TempFile temp(target, path);
    // mkstemp makes the file 0600; give it the old file's (or the usual) permissions.
    if (fchmod(temp.fd(), modeForNewFile(target)) != 0)
        temp.fail();
    temp.write(text);
    if (fsync(temp.fd()) != 0)
        temp.fail();
    temp.renameTo(target);
}

void RemoveStaleTemporaryFiles(const std::string& path)
{
    std::string target;
    try {
        target = resolveLinks(path);
    } catch (const std::runtime_error&) {
        return;
    }
    const std::string folder = folderOf(target);
    const std::string prefix = temporaryPrefix(target);
    DIR* listing = opendir(folder.c_str());
    if (!listing)
        return;
    while (const dirent* entry = readdir(listing)) {
        const std::string name = entry->d_name;
        if (name.size() != prefix.size() + kTemporaryRandomLength || name.compare(0, prefix.size(), prefix) != 0)
            continue;
        const std::string leftover = folder + "/" + name;
        const int fd = open(leftover.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat info {};
        // Ours only if it is a plain file of this user that no running save holds.
        if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == geteuid() &&
            flock(fd, LOCK_EX | LOCK_NB) == 0)
            unlink(leftover.c_str());
        close(fd);
    }
    closedir(listing);
}

std::string AtomicWriteProblem(const std::string& path)
{
    try {
        const std::string target = resolveLinks(path);
        struct stat info {};
        if (stat(target.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
            failWriting(path, EISDIR);
        // A block's worth of bytes: enough to find a full disk, as much as a settings file needs.
        TempFile probe(target, path);
        probe.write(std::string(4096, '\n'));
    } catch (const std::runtime_error& error) {
        return error.what();
    }
    return "";
}
