#include "privacy.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Privacy {
namespace {

constexpr mode_t kOthers = S_IRWXG | S_IRWXO;

// The entries of the open folder fd made the user's alone: its plain files, and every
// folder that is open (with everything in it), or every folder when all is set. What a
// link points to is never changed, and whatever cannot be changed is passed over, so
// that one stubborn file does not leave the rest open. Takes fd over.
void closeEntries(int fd, bool all)
{
    DIR *dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return;
    }
    while (dirent *entry = ::readdir(dir)) {
        const char *name = entry->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
            continue;
        struct stat info;
        if (::fstatat(fd, name, &info, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (S_ISDIR(info.st_mode) && (all || (info.st_mode & kOthers))) {
            const int child = ::openat(fd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            if (child < 0)
                continue;
            // What is inside first, the folder last: a start cut short closes it all again.
            closeEntries(::dup(child), true);
            if (info.st_mode & kOthers)
                ::fchmod(child, info.st_mode & 07700);
            ::close(child);
        } else if (S_ISREG(info.st_mode) && (info.st_mode & kOthers)
                   && ::fchmodat(fd, name, info.st_mode & 07700, 0) != 0) {
            continue; // passed over, as said above
        }
    }
    ::closedir(dir);
}

} // namespace

bool closeFolder(const QString &folder, QString *error)
{
    const QByteArray path = QFile::encodeName(QDir::cleanPath(folder));
    auto fail = [&](const char *what) {
        if (error)
            *error = QString::fromLatin1(what) + u' ' + folder + QStringLiteral(": ")
                     + QString::fromLocal8Bit(std::strerror(errno));
        return false;
    };
    if (!makeFolder(folder))
        return fail("cannot make the folder");
    // The folder itself may be a link the user made to another disk: that one is
    // followed, what lies inside is not.
    const int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return fail("cannot open the folder");
    struct stat info;
    if (::fstat(fd, &info) != 0) {
        const int code = errno;
        ::close(fd);
        errno = code;
        return fail("cannot read the folder");
    }
    const bool open = info.st_mode & kOthers;
    const int entries = ::dup(fd);
    if (entries >= 0)
        closeEntries(entries, open);
    const bool closed = !open || ::fchmod(fd, info.st_mode & 07700) == 0;
    const int code = errno;
    ::close(fd);
    errno = code;
    return closed || fail("cannot close the folder");
}

bool makeFolder(const QString &folder)
{
    const QString clean = QDir::cleanPath(folder);
    if (QFileInfo(clean).isDir())
        return true;
    const QString parent = QFileInfo(clean).absolutePath();
    if (parent != clean && !QFileInfo(parent).isDir())
        QDir().mkpath(parent);
    const QByteArray path = QFile::encodeName(clean);
    if (::mkdir(path.constData(), 0700) == 0) {
        // 0700 whatever the umask takes away from it.
        ::chmod(path.constData(), 0700);
        return true;
    }
    const int code = errno;
    const bool made = QFileInfo(clean).isDir(); // by another start, meanwhile
    errno = code;
    return made;
}

bool closeFile(const QString &file)
{
    const QByteArray path = QFile::encodeName(file);
    struct stat info;
    if (::lstat(path.constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    return !(info.st_mode & kOthers) || ::chmod(path.constData(), info.st_mode & 07700) == 0;
}

} // namespace Privacy
