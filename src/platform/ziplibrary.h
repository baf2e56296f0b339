#pragma once

#include <cstddef>
#include <cstdint>

// The zip library as the archive builder calls it: three entries (init with the
// callbacks, set the options, make the archive) over libzip. Texts are 8-bit strings in
// the system's code page (UTF-8 here); names are file patterns as the caller
// wrote them.
//
// One archive call at a time: the callbacks and options are the library's state
// between the calls, as its three entries take them.
namespace ZipLibrary {

// The print and service callbacks: a text and its length in bytes (for the service
// callback the length counts the closing zero byte).
using PrintFunction = int (*)(const char *text, unsigned long length);
// The comment callback: a buffer of kCommentBufferSize bytes to fill with the archive
// comment.
using CommentFunction = int (*)(char *buffer);
// The password callback: a buffer of size bytes (and one more that stays zero), then
// the prompt and the name of the entry, which the program ignores.
using PasswordFunction = int (*)(char *buffer, int size, const char *prompt, const char *name);
using ServiceFunction = int (*)(const char *text, unsigned long length);

struct UserFunctions
{
    PrintFunction print = nullptr;
    CommentFunction comment = nullptr;
    PasswordFunction password = nullptr;
    ServiceFunction service = nullptr;
};

constexpr int kCommentBufferSize = 256; // 255 bytes of comment and a zero byte
constexpr int kPasswordSize = 256;
// Progress texts never exceed this many bytes; a longer one is cut.
constexpr int kMaxTextLength = 1023;

// The option record: 128 bytes at fixed offsets. The three text slots at 0, 4 and 8
// stay zero: a pointer does not fit four bytes here, so the base folder travels beside
// the record (setOptions) and every other field keeps its offset.
struct Options
{
    uint32_t rootText = 0;         // 0
    uint32_t basePathText = 0;     // 4
    uint32_t tempText = 0;         // 8
    int32_t unused12 = 0;          // 12
    int32_t unused16 = 0;          // 16
    int32_t encrypt = 0;           // 20
    int32_t systemAndHidden = 0;   // 24
    int32_t volumeLabel = 0;       // 28
    int32_t unused32 = 0;          // 32
    int32_t noDirectoryEntries = 0; // 36
    int32_t unused40 = 0;          // 40
    int32_t unused44 = 0;          // 44
    int32_t verbose = 0;           // 48
    int32_t quiet = 0;             // 52
    int32_t crlfToLf = 0;          // 56
    int32_t lfToCrlf = 0;          // 60
    int32_t junkFolderNames = 0;   // 64
    int32_t append = 0;            // 68
    int32_t unused72 = 0;          // 72
    int32_t unused76 = 0;          // 76
    int32_t deleteEntries = 0;     // 80
    int32_t updateIfNewer = 0;     // 84
    int32_t freshen = 0;           // 88
    int32_t unused92 = 0;          // 92
    int32_t unused96 = 0;          // 96
    int32_t comment = 0;           // 100
    int32_t unused104 = 0;         // 104
    int32_t unused108 = 0;         // 108
    int32_t encryptionAvailable = 0; // 112, written by setOptions
    int32_t recurse = 0;           // 116: 2 recurse into folders, 0 do not
    int32_t unused120 = 0;         // 120
    uint8_t level = 0;             // 124: 1 to 9, 0 the library's default (6)
    uint8_t padding[3] = {0, 0, 0}; // 125
};
static_assert(sizeof(Options) == 128);
static_assert(offsetof(Options, encrypt) == 20);
static_assert(offsetof(Options, noDirectoryEntries) == 36);
static_assert(offsetof(Options, verbose) == 48);
static_assert(offsetof(Options, junkFolderNames) == 64);
static_assert(offsetof(Options, deleteEntries) == 80);
static_assert(offsetof(Options, comment) == 100);
static_assert(offsetof(Options, encryptionAvailable) == 112);
static_assert(offsetof(Options, recurse) == 116);
static_assert(offsetof(Options, level) == 124);

// Result codes of archive(); 0 is success.
enum Result : int32_t {
    Ok = 0,
    BadArchive = 3,       // the existing archive is damaged or no zip archive
    OutOfMemory = 4,
    Cancelled = 9,        // a callback cancelled; nothing was written
    ReadFailed = 11,      // a file could not be read to its end
    NothingToDo = 12,     // no file matched, no entry to delete or freshen
    NoArchive = 13,       // no archive path, or no archive to freshen or delete from
    WriteFailed = 14,     // the archive could not be written (full disk, no folder)
    BadParameters = 16,   // two entries under one name, a password not confirmed
    EncryptionUnavailable = 17,
    OpenFailed = 18,      // a named file does not exist or cannot be opened
    Uninitialised = 20,   // archive() before init() and setOptions()
};

// ZpInit: the callbacks of the calls that follow.
int init(const UserFunctions *functions);
// ZpSetOptions: the options (and the base folder of the stored names, which the record
// cannot hold) for the calls that follow. Writes offset 112: whether this build can
// encrypt (AES-256).
int setOptions(Options *options, const char *basePath);
// ZpArchive: makes, adds to, freshens or deletes from the archive at zipFile with the
// count names. The archive on disk is replaced only by a complete new one: on any
// failure or cancel it stays as it was (or absent).
int32_t archive(int count, const char *zipFile, const char *const *names);

// A short English description of a result code, for logs and tests.
const char *describe(int32_t result);

} // namespace ZipLibrary
