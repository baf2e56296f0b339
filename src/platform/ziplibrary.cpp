#include "ziplibrary.h"

#include "platform/textfile.h"

#include <QByteArray>
#include <QFile>

#include <zip.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <fnmatch.h>
#include <dirent.h>
#include <memory>
#include <set>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace ZipLibrary {
namespace {

constexpr int kDefaultLevel = 6;
// Files this large are tried on a sample before they are deflated: what does not
// shrink there is stored, as deflating it again in full gains nothing.
constexpr off_t kSampleFrom = 128 * 1024;
constexpr size_t kSampleSize = 64 * 1024;

struct LibraryState
{
    UserFunctions functions;
    bool initialised = false;
    Options options;
    bool optionsSet = false;
    std::string basePath;
};

LibraryState &library()
{
    static LibraryState state;
    return state;
}

bool aesAvailable()
{
    return zip_encryption_method_supported(ZIP_EM_AES_256, 1) != 0;
}

bool hasWildcard(const std::string &text)
{
    return text.find_first_of("*?[") != std::string::npos;
}

std::string cleanPath(const std::string &path)
{
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t slash = path.find('/', start);
        if (slash == std::string::npos)
            slash = path.size();
        const std::string part = path.substr(start, slash - start);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = slash + 1;
    }
    std::string result;
    for (const std::string &part : parts)
        result += '/' + part;
    return result.empty() ? std::string("/") : result;
}

std::string lastComponent(const std::string &path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string parentOf(const std::string &path)
{
    const size_t slash = path.rfind('/');
    return slash == 0 || slash == std::string::npos ? std::string("/") : path.substr(0, slash);
}

// Cuts a text to at most max bytes without splitting a UTF-8 character.
std::string cut(const std::string &text, size_t max)
{
    if (text.size() <= max)
        return text;
    size_t end = max;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return text.substr(0, end);
}

const char *const kPackedEndings[] = {".zip", ".gz", ".tgz", ".bz2", ".xz", ".zst", ".7z", ".rar", ".jpg",
                                      ".jpeg", ".png", ".gif", ".webp", ".mp3", ".mp4", ".m4a", ".ogg",
                                      ".mkv", ".webm", ".avi", ".docx", ".xlsx", ".pptx", ".odt", ".ods",
                                      ".odp", ".jar", ".apk", ".epub"};

bool packedByName(const std::string &name)
{
    std::string lower = name;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    for (const char *ending : kPackedEndings) {
        const size_t n = std::strlen(ending);
        if (lower.size() > n && lower.compare(lower.size() - n, n, ending) == 0)
            return true;
    }
    return false;
}

// Whether the start of the file shrinks under a quick deflate.
bool sampleShrinks(const std::string &path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return true; // the real read reports the failure
    std::vector<Bytef> in(kSampleSize);
    const ssize_t got = ::read(fd, in.data(), in.size());
    ::close(fd);
    if (got <= 0)
        return true;
    uLongf outSize = compressBound(static_cast<uLong>(got));
    std::vector<Bytef> out(outSize);
    if (compress2(out.data(), &outSize, in.data(), static_cast<uLong>(got), 1) != Z_OK)
        return true;
    return outSize < static_cast<uLongf>(got) * 99 / 100;
}

enum class Conversion { None, CrlfToLf, LfToCrlf };

struct Item
{
    std::string path; // on disk, absolute
    std::string name; // in the archive; directories end in "/"
    bool directory = false;
    struct stat info = {};
};

// One call of archive(): the options in force, what the callbacks said, what failed.
struct Run
{
    Run(const UserFunctions &f, const Options &o)
        : functions(f)
        , options(o)
    {
    }

    const UserFunctions &functions;
    const Options &options;
    bool cancelled = false;
    int32_t failure = Ok;
    std::string failedPath;

    void print(const std::string &text) const
    {
        if (!functions.print || text.empty())
            return;
        const std::string shown = cut(text, kMaxTextLength);
        functions.print(shown.c_str(), shown.size());
    }
    // The texts of a normal run: one per entry. Quiet runs show none.
    void say(const std::string &text) const
    {
        if (!options.quiet)
            print(text);
    }
    void verbose(const std::string &text) const
    {
        if (options.verbose)
            print(text);
    }
    // The service callback may stop the run before each entry.
    bool cancelAt(const std::string &name)
    {
        if (cancelled)
            return true;
        if (!functions.service)
            return false;
        const std::string text = cut(name, kMaxTextLength - 1);
        if (functions.service(text.c_str(), text.size() + 1) != 0)
            cancelled = true;
        return cancelled;
    }
    void fail(int32_t code, const std::string &path)
    {
        if (failure == Ok) {
            failure = code;
            failedPath = path;
        }
    }
};

// The data of one entry as libzip reads it while it writes the archive: the file read
// as it is then (not when the list was made), its line ends converted when asked.
class EntrySource
{
public:
    EntrySource(Run &run, Item item, std::string verb, Conversion conversion)
        : m_run(run)
        , m_item(std::move(item))
        , m_verb(std::move(verb))
        , m_conversion(m_item.directory ? Conversion::None : conversion)
    {
        zip_error_init(&m_error);
    }
    ~EntrySource()
    {
        closeFile();
        zip_error_fini(&m_error);
    }

    static zip_int64_t callback(void *userdata, void *data, zip_uint64_t length, zip_source_cmd_t command)
    {
        auto *self = static_cast<EntrySource *>(userdata);
        switch (command) {
        case ZIP_SOURCE_OPEN: return self->open();
        case ZIP_SOURCE_READ: return self->read(static_cast<char *>(data), length);
        case ZIP_SOURCE_CLOSE: self->closeFile(); return 0;
        case ZIP_SOURCE_STAT: return self->stat(data, length);
        case ZIP_SOURCE_ERROR: return zip_error_to_data(&self->m_error, data, length);
        case ZIP_SOURCE_FREE: delete self; return 0;
        case ZIP_SOURCE_SUPPORTS:
            return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE,
                                                  ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
        default: zip_error_set(&self->m_error, ZIP_ER_OPNOTSUPP, 0); return -1;
        }
    }

private:
    zip_int64_t open()
    {
        if (m_run.cancelAt(m_item.name)) {
            zip_error_set(&m_error, ZIP_ER_CANCELLED, 0);
            return -1;
        }
        m_run.say(m_verb + ": " + m_item.name);
        m_pendingCr = false;
        m_lastWasCr = false;
        m_out.clear();
        m_outPos = 0;
        if (m_item.directory)
            return 0;
        m_fd = ::open(m_item.path.c_str(), O_RDONLY | O_CLOEXEC);
        if (m_fd < 0)
            return failRead(ZIP_ER_OPEN);
        posix_fadvise(m_fd, 0, 0, POSIX_FADV_SEQUENTIAL);
        return 0;
    }

    zip_int64_t failRead(int code)
    {
        const int saved = errno;
        m_run.fail(code == ZIP_ER_OPEN ? OpenFailed : ReadFailed, m_item.path);
        zip_error_set(&m_error, code, saved);
        return -1;
    }

    // Read to the end, whatever size the file gave: files of the system's own folders
    // say 0 and hold text all the same.
    ssize_t readRaw(char *data, size_t length)
    {
        ssize_t got;
        do
            got = ::read(m_fd, data, length);
        while (got < 0 && errno == EINTR);
        return got;
    }

    zip_int64_t read(char *data, zip_uint64_t length)
    {
        if (m_item.directory || length == 0)
            return 0;
        const size_t room = static_cast<size_t>(std::min<zip_uint64_t>(length, 1 << 20));
        if (m_conversion == Conversion::None) {
            const ssize_t got = readRaw(data, room);
            return got < 0 ? failRead(ZIP_ER_READ) : got;
        }
        // Converted text changes length: it is made a chunk at a time and handed out
        // in whatever pieces libzip asks for.
        size_t given = 0;
        while (given < room) {
            if (m_outPos == m_out.size() && !refill())
                return given > 0 ? static_cast<zip_int64_t>(given) : -1;
            if (m_out.empty())
                break; // end of the file
            const size_t n = std::min(room - given, m_out.size() - m_outPos);
            std::memcpy(data + given, m_out.data() + m_outPos, n);
            m_outPos += n;
            given += n;
        }
        return static_cast<zip_int64_t>(given);
    }

    // The next chunk of converted text; empty at the end of the file.
    bool refill()
    {
        m_out.clear();
        m_outPos = 0;
        std::vector<char> in(1 << 16);
        while (m_out.empty()) {
            const ssize_t got = readRaw(in.data(), in.size());
            if (got < 0) {
                failRead(ZIP_ER_READ);
                return false;
            }
            if (got == 0) {
                if (m_pendingCr)
                    m_out.push_back('\r');
                m_pendingCr = false;
                return true;
            }
            for (ssize_t i = 0; i < got; ++i)
                convert(in[i]);
        }
        return true;
    }

    void convert(char c)
    {
        if (m_conversion == Conversion::CrlfToLf) {
            if (m_pendingCr && c != '\n')
                m_out.push_back('\r');
            m_pendingCr = c == '\r';
            if (!m_pendingCr)
                m_out.push_back(c);
        } else {
            if (c == '\n' && !m_lastWasCr)
                m_out.push_back('\r');
            m_out.push_back(c);
            m_lastWasCr = c == '\r';
        }
    }

    // The size of the converted text: one pass over the file before libzip reads it.
    // A file with a zero byte is no text and is stored as it is.
    bool measureConverted()
    {
        const int fd = ::open(m_item.path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return false;
        std::vector<char> buffer(1 << 16);
        uint64_t size = 0;
        uint64_t read = 0;
        bool previousCr = false;
        bool binary = false;
        for (;;) {
            const ssize_t got = ::read(fd, buffer.data(), buffer.size());
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0) {
                ::close(fd);
                return false;
            }
            if (got == 0)
                break;
            read += static_cast<uint64_t>(got);
            for (ssize_t i = 0; i < got; ++i) {
                const char c = buffer[i];
                binary = binary || c == '\0';
                if (m_conversion == Conversion::CrlfToLf)
                    size += (c == '\n' && previousCr) ? 0 : 1;
                else
                    size += (c == '\n' && !previousCr) ? 2 : 1;
                previousCr = c == '\r';
            }
        }
        ::close(fd);
        if (binary)
            m_conversion = Conversion::None;
        m_convertedSize = binary ? read : size;
        return true;
    }

    zip_int64_t stat(void *data, zip_uint64_t length)
    {
        auto *st = ZIP_SOURCE_GET_ARGS(zip_stat_t, data, length, &m_error);
        if (!st)
            return -1;
        if (m_conversion != Conversion::None && !m_measured) {
            if (!measureConverted())
                return failRead(ZIP_ER_READ);
            m_measured = true;
        }
        zip_stat_init(st);
        st->valid = ZIP_STAT_SIZE | ZIP_STAT_MTIME;
        const auto fileSize = static_cast<uint64_t>(std::max<off_t>(0, m_item.info.st_size));
        st->size = m_item.directory ? 0 : (m_conversion != Conversion::None ? m_convertedSize : fileSize);
        st->mtime = m_item.info.st_mtime;
        return sizeof(zip_stat_t);
    }

    void closeFile()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

    Run &m_run;
    Item m_item;
    std::string m_verb;
    Conversion m_conversion;
    zip_error_t m_error;
    int m_fd = -1;
    uint64_t m_convertedSize = 0;
    bool m_measured = false;
    bool m_pendingCr = false;
    bool m_lastWasCr = false;
    std::vector<char> m_out;
    size_t m_outPos = 0;
};

// Turns the file patterns into the entries they name.
class Collector
{
public:
    Collector(Run &run, std::string base, const struct stat *archive)
        : m_run(run)
        , m_base(std::move(base))
        , m_archive(archive)
    {
    }

    std::vector<Item> items;

    bool add(const std::string &pattern)
    {
        const std::string path = cleanPath(pattern[0] == '/' ? pattern : m_base + '/' + pattern);
        struct stat info;
        if (::stat(path.c_str(), &info) == 0)
            return addFound(path, info, true);
        if (hasWildcard(lastComponent(path)))
            return addMatches(parentOf(path), lastComponent(path));
        m_run.fail(OpenFailed, path);
        return false;
    }

private:
    bool recurse() const { return m_run.options.recurse != 0; }
    bool junkFolders() const { return m_run.options.junkFolderNames != 0; }
    bool hiddenToo() const { return m_run.options.systemAndHidden != 0; }
    bool directoryEntries() const { return !m_run.options.noDirectoryEntries && !junkFolders(); }

    // The stored name: below the base folder relative to it, elsewhere the whole path
    // without its leading "/"; never a ".." that would lead out of the folder it is
    // unpacked into.
    std::string nameFor(const std::string &path) const
    {
        if (junkFolders())
            return lastComponent(path);
        if (path == m_base)
            return {};
        const std::string prefix = m_base == "/" ? m_base : m_base + '/';
        if (path.compare(0, prefix.size(), prefix) == 0)
            return path.substr(prefix.size());
        return path.substr(1);
    }

    bool isArchive(const struct stat &info) const
    {
        return m_archive && info.st_dev == m_archive->st_dev && info.st_ino == m_archive->st_ino;
    }

    bool addFound(const std::string &path, const struct stat &info, bool named)
    {
        if (isArchive(info))
            return true;
        if (S_ISREG(info.st_mode)) {
            items.push_back({path, nameFor(path), false, info});
            return true;
        }
        if (S_ISDIR(info.st_mode)) {
            const std::string name = nameFor(path);
            if (directoryEntries() && !name.empty())
                items.push_back({path, name + '/', true, info});
            return recurse() ? walk(path, info) : true;
        }
        // Pipes, sockets and devices hold no file to store; one named outright is an
        // error, one met on the way is passed over.
        if (named) {
            m_run.fail(OpenFailed, path);
            return false;
        }
        m_run.verbose("zip warning: not a regular file, skipped: " + path);
        return true;
    }

    static std::vector<std::string> entriesOf(DIR *dir)
    {
        std::vector<std::string> names;
        while (dirent *entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..")
                names.push_back(name);
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    bool walk(const std::string &path, const struct stat &info)
    {
        // A folder reached twice (through a link) is walked once, so a link to a
        // parent folder cannot make the walk endless.
        if (!m_visited.insert({info.st_dev, info.st_ino}).second)
            return true;
        DIR *dir = ::opendir(path.c_str());
        if (!dir) {
            m_run.fail(OpenFailed, path);
            return false;
        }
        const std::vector<std::string> names = entriesOf(dir);
        ::closedir(dir);
        for (const std::string &name : names) {
            if (!accept(path, name))
                return false;
        }
        return true;
    }

    bool accept(const std::string &folder, const std::string &name)
    {
        if (name[0] == '.' && !hiddenToo())
            return true;
        const std::string child = folder == "/" ? '/' + name : folder + '/' + name;
        struct stat info;
        if (::stat(child.c_str(), &info) != 0) {
            m_run.say("zip warning: could not open, skipped: " + child);
            return true;
        }
        return addFound(child, info, false);
    }

    bool addMatches(const std::string &folder, const std::string &pattern)
    {
        DIR *dir = ::opendir(folder.c_str());
        if (!dir) {
            m_run.say("zip warning: name not matched: " + folder + '/' + pattern);
            return true;
        }
        const std::vector<std::string> names = entriesOf(dir);
        ::closedir(dir);
        bool matched = false;
        for (const std::string &name : names) {
            if (::fnmatch(pattern.c_str(), name.c_str(), 0) != 0)
                continue;
            matched = true;
            if (!accept(folder, name))
                return false;
        }
        if (!matched)
            m_run.say("zip warning: name not matched: " + folder + '/' + pattern);
        return true;
    }

    Run &m_run;
    std::string m_base;
    const struct stat *m_archive;
    std::set<std::pair<dev_t, ino_t>> m_visited;
};

// The DOS time of an entry has two-second steps; a file is newer only past them.
bool newer(const struct stat &info, time_t entryTime)
{
    return (info.st_mtime & ~static_cast<time_t>(1)) > entryTime;
}

// Asks for the password and, on the second request, for its confirmation.
int32_t askPassword(Run &run, std::string &password)
{
    if (!run.functions.password)
        return Cancelled;
    std::vector<char> first(kPasswordSize + 1, '\0');
    if (run.functions.password(first.data(), kPasswordSize, "Enter password: ", "") != 0)
        return Cancelled;
    std::vector<char> second(kPasswordSize + 1, '\0');
    if (run.functions.password(second.data(), kPasswordSize, "Verify password: ", "") != 0)
        return Cancelled;
    const std::string a(first.data(), strnlen(first.data(), kPasswordSize));
    const std::string b(second.data(), strnlen(second.data(), kPasswordSize));
    if (a != b) {
        run.say("zip error: password verification failed");
        return BadParameters;
    }
    if (a.empty())
        return Cancelled;
    password = a;
    return Ok;
}

class Archive
{
public:
    ~Archive()
    {
        if (m_zip)
            zip_discard(m_zip);
        if (m_source)
            zip_source_free(m_source);
    }

    // The archive in memory: the existing one to change, or a new empty one.
    int32_t open(const QByteArray *existing)
    {
        zip_error_t error;
        zip_error_init(&error);
        if (existing)
            m_bytes = *existing;
        m_source = zip_source_buffer_create(existing ? m_bytes.constData() : nullptr,
                                            existing ? static_cast<zip_uint64_t>(m_bytes.size()) : 0, 0, &error);
        if (!m_source) {
            zip_error_fini(&error);
            return OutOfMemory;
        }
        zip_source_keep(m_source);
        m_zip = zip_open_from_source(m_source, existing ? 0 : ZIP_CREATE | ZIP_TRUNCATE, &error);
        const int code = zip_error_code_zip(&error);
        zip_error_fini(&error);
        if (!m_zip)
            return code == ZIP_ER_MEMORY ? OutOfMemory : BadArchive;
        return Ok;
    }

    zip_t *zip() const { return m_zip; }

    // Writes the archive into memory; the bytes once done.
    int32_t close(Run &run, QByteArray *bytes, bool *empty)
    {
        if (zip_close(m_zip) != 0) {
            const int code = zip_error_code_zip(zip_get_error(m_zip));
            if (run.cancelled)
                return Cancelled;
            if (run.failure != Ok)
                return run.failure;
            return code == ZIP_ER_MEMORY ? OutOfMemory : WriteFailed;
        }
        m_zip = nullptr;
        zip_stat_t st;
        if (zip_source_stat(m_source, &st) != 0 || !(st.valid & ZIP_STAT_SIZE)) {
            *empty = true; // libzip removed an archive left without entries
            return Ok;
        }
        *empty = st.size == 0;
        bytes->resize(static_cast<qsizetype>(st.size));
        if (st.size > 0) {
            if (zip_source_open(m_source) != 0)
                return OutOfMemory;
            const zip_int64_t got = zip_source_read(m_source, bytes->data(), st.size);
            zip_source_close(m_source);
            if (got != static_cast<zip_int64_t>(st.size))
                return OutOfMemory;
        }
        return Ok;
    }

private:
    QByteArray m_bytes;
    zip_source_t *m_source = nullptr;
    zip_t *m_zip = nullptr;
};

int32_t deleteEntries(Run &run, zip_t *zip, const std::vector<std::string> &patterns, bool *changed)
{
    const zip_int64_t count = zip_get_num_entries(zip, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const char *raw = zip_get_name(zip, static_cast<zip_uint64_t>(i), ZIP_FL_ENC_RAW);
        if (!raw)
            continue;
        const std::string name = raw;
        for (const std::string &pattern : patterns) {
            if (::fnmatch(pattern.c_str(), name.c_str(), 0) != 0)
                continue;
            if (run.cancelAt(name))
                return Cancelled;
            run.say("deleting: " + name);
            zip_delete(zip, static_cast<zip_uint64_t>(i));
            *changed = true;
            break;
        }
    }
    return *changed ? Ok : NothingToDo;
}

zip_int32_t compressionFor(const Item &item)
{
    if (item.directory || item.info.st_size == 0 || packedByName(item.name))
        return ZIP_CM_STORE;
    if (item.info.st_size >= kSampleFrom && !sampleShrinks(item.path))
        return ZIP_CM_STORE;
    return ZIP_CM_DEFLATE;
}

int32_t addItems(Run &run, zip_t *zip, const std::vector<Item> &items, const std::string &password,
                 bool *changed)
{
    const Options &o = run.options;
    const Conversion conversion = o.crlfToLf && o.lfToCrlf ? Conversion::None
                                  : o.crlfToLf              ? Conversion::CrlfToLf
                                  : o.lfToCrlf              ? Conversion::LfToCrlf
                                                            : Conversion::None;
    const int level = o.level == 0 ? kDefaultLevel : std::min<int>(o.level, 9);
    for (const Item &item : items) {
        const zip_int64_t found = zip_name_locate(zip, item.name.c_str(), ZIP_FL_ENC_RAW);
        if (found < 0 && o.freshen)
            continue;
        if (found >= 0 && (o.freshen || o.updateIfNewer)) {
            zip_stat_t st;
            if (item.directory || zip_stat_index(zip, static_cast<zip_uint64_t>(found), 0, &st) != 0
                || !(st.valid & ZIP_STAT_MTIME) || !newer(item.info, st.mtime))
                continue;
        }
        const std::string verb = found < 0 ? "adding" : o.freshen ? "freshening" : "updating";
        auto *entry = new EntrySource(run, item, verb, conversion);
        zip_source_t *source = zip_source_function(zip, &EntrySource::callback, entry);
        if (!source) {
            delete entry;
            return OutOfMemory;
        }
        zip_int64_t index = found;
        if (found >= 0) {
            if (zip_file_replace(zip, static_cast<zip_uint64_t>(found), source, 0) != 0) {
                zip_source_free(source);
                return OutOfMemory;
            }
        } else {
            index = zip_file_add(zip, item.name.c_str(), source, ZIP_FL_ENC_GUESS);
            if (index < 0) {
                zip_source_free(source);
                return BadParameters;
            }
        }
        const auto i = static_cast<zip_uint64_t>(index);
        const zip_int32_t method = compressionFor(item);
        zip_set_file_compression(zip, i, method, method == ZIP_CM_STORE ? 0 : static_cast<zip_uint32_t>(level));
        // Unix permissions in the high half; the DOS folder bit for folders.
        const zip_uint32_t attributes = (static_cast<zip_uint32_t>(item.info.st_mode & 0xFFFF) << 16)
                                        | (item.directory ? 0x10u : 0u);
        zip_file_set_external_attributes(zip, i, 0, ZIP_OPSYS_UNIX, attributes);
        if (!password.empty() && !item.directory
            && zip_file_set_encryption(zip, i, ZIP_EM_AES_256, password.c_str()) != 0)
            return EncryptionUnavailable;
        *changed = true;
    }
    return Ok;
}

int32_t askComment(Run &run, zip_t *zip)
{
    if (!run.functions.comment)
        return Cancelled;
    char buffer[kCommentBufferSize] = {};
    if (run.functions.comment(buffer) != 0)
        return Cancelled;
    const size_t length = strnlen(buffer, kCommentBufferSize - 1);
    if (zip_set_archive_comment(zip, buffer, static_cast<zip_uint16_t>(length)) != 0)
        return BadParameters;
    return Ok;
}

std::string baseFolder(const std::string &basePath)
{
    std::string trimmed = basePath;
    trimmed.erase(0, trimmed.find_first_not_of(' '));
    trimmed.erase(trimmed.find_last_not_of(' ') + 1);
    if (!trimmed.empty() && trimmed[0] == '/')
        return cleanPath(trimmed);
    char buffer[4096];
    const std::string cwd = ::getcwd(buffer, sizeof buffer) ? buffer : "/";
    return cleanPath(trimmed.empty() ? cwd : cwd + '/' + trimmed);
}

int32_t run(int count, const char *zipFile, const char *const *names)
{
    LibraryState &lib = library();
    if (!lib.initialised || !lib.optionsSet)
        return Uninitialised;
    if (!zipFile || !*zipFile)
        return NoArchive;
    const Options &o = lib.options;
    Run run{lib.functions, o};
    const std::string base = baseFolder(lib.basePath);
    const std::string archivePath = cleanPath(zipFile[0] == '/' ? zipFile : base + '/' + zipFile);

    std::vector<std::string> patterns;
    for (int i = 0; i < count && names; ++i) {
        if (names[i] && *names[i])
            patterns.emplace_back(names[i]);
    }
    if (patterns.empty())
        return NothingToDo;

    struct stat archiveInfo;
    const bool exists = ::stat(archivePath.c_str(), &archiveInfo) == 0;
    const bool changeExisting = o.append || o.freshen || o.updateIfNewer || o.deleteEntries;
    if ((o.freshen || o.deleteEntries) && !exists)
        return NoArchive;

    std::vector<Item> items;
    if (!o.deleteEntries) {
        Collector collector(run, base, exists ? &archiveInfo : nullptr);
        for (const std::string &pattern : patterns) {
            if (!collector.add(pattern))
                return run.failure;
        }
        items = std::move(collector.items);
        if (items.empty())
            return NothingToDo;
        std::set<std::string> seen;
        for (const Item &item : items) {
            if (!seen.insert(item.name).second) {
                run.say("zip error: two entries under one name: " + item.name);
                return BadParameters;
            }
        }
    }

    std::string password;
    if (o.encrypt && !o.deleteEntries) {
        if (!aesAvailable())
            return EncryptionUnavailable;
        if (const int32_t asked = askPassword(run, password); asked != Ok)
            return asked;
    }

    QByteArray existing;
    if (changeExisting && exists) {
        QFile file(QFile::decodeName(archivePath.c_str()));
        if (!file.open(QIODevice::ReadOnly))
            return NoArchive;
        existing = file.readAll();
        if (file.error() != QFileDevice::NoError)
            return ReadFailed;
    }
    Archive archive;
    if (const int32_t opened = archive.open(changeExisting && exists ? &existing : nullptr); opened != Ok)
        return opened;

    bool changed = false;
    const int32_t done = o.deleteEntries ? deleteEntries(run, archive.zip(), patterns, &changed)
                                         : addItems(run, archive.zip(), items, password, &changed);
    if (done != Ok)
        return done;
    if (o.comment) {
        if (const int32_t commented = askComment(run, archive.zip()); commented != Ok)
            return commented;
        changed = true;
    }
    if (!changed && exists && changeExisting)
        return Ok; // nothing newer: the archive is up to date as it stands

    QByteArray bytes;
    bool empty = false;
    if (const int32_t closed = archive.close(run, &bytes, &empty); closed != Ok)
        return closed;
    const QString target = QFile::decodeName(archivePath.c_str());
    if (empty) {
        // Deleting every entry leaves no archive, as an empty one would not open.
        QFile::remove(target);
        return Ok;
    }
    QString error;
    if (!TextFile::writeBytes(target, bytes, &error)) {
        run.say("zip error: could not write " + archivePath + ": " + error.toStdString());
        return WriteFailed;
    }
    run.verbose("total bytes written: " + std::to_string(bytes.size()));
    return Ok;
}

} // namespace

int init(const UserFunctions *functions)
{
    LibraryState &lib = library();
    lib.functions = functions ? *functions : UserFunctions();
    lib.initialised = true;
    return 1;
}

int setOptions(Options *options, const char *basePath)
{
    if (!options)
        return 0;
    options->encryptionAvailable = aesAvailable() ? 1 : 0;
    LibraryState &lib = library();
    lib.options = *options;
    lib.basePath = basePath ? basePath : "";
    lib.optionsSet = true;
    return 1;
}

int32_t archive(int count, const char *zipFile, const char *const *names)
{
    try {
        return run(count, zipFile, names);
    } catch (const std::bad_alloc &) {
        return OutOfMemory;
    }
}

const char *describe(int32_t result)
{
    switch (result) {
    case Ok: return "done";
    case BadArchive: return "the archive is damaged or not a zip archive";
    case OutOfMemory: return "out of memory";
    case Cancelled: return "cancelled";
    case ReadFailed: return "a file could not be read";
    case NothingToDo: return "nothing to do";
    case NoArchive: return "no archive";
    case WriteFailed: return "the archive could not be written";
    case BadParameters: return "two entries under one name, or the password was not confirmed";
    case EncryptionUnavailable: return "encryption is not available";
    case OpenFailed: return "a named file does not exist or cannot be opened";
    case Uninitialised: return "the library was not set up";
    default: return "failed";
    }
}

} // namespace ZipLibrary
