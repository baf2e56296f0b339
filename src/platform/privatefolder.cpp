#include "privatefolder.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace PrivateFolder {
namespace {

std::optional<QString> g_systemTemp;

QString folderName(int attempt)
{
    const QString name = QStringLiteral("quorloffice-") + QString::number(geteuid());
    return attempt == 0 ? name : name + u'-' + QString::number(attempt);
}

// The folder, opened without following a link, if it is a folder of this user; its
// permissions are narrowed to the user's when they were wider.
int openOwn(const QByteArray &path)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != geteuid()
        || ((info.st_mode & 077) != 0 && ::fchmod(fd, 0700) != 0)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

QString systemTemp()
{
    return g_systemTemp ? *g_systemTemp : QDir::tempPath();
}

void setSystemTemp(const std::optional<QString> &folder)
{
    g_systemTemp = folder;
}

std::optional<QString> ensure(const QString &root, QString *error)
{
    // A name taken by someone else (a planted link, another user's folder) is passed
    // over for the next one; a handful of tries is plenty.
    for (int attempt = 0; attempt < 8; ++attempt) {
        const QString path = QDir::cleanPath(root) + u'/' + folderName(attempt);
        const QByteArray bytes = QFile::encodeName(path);
        if (::mkdir(bytes.constData(), 0700) != 0 && errno != EEXIST) {
            if (error)
                *error = QString::fromLocal8Bit(std::strerror(errno)) + QStringLiteral(": ") + path;
            return std::nullopt;
        }
        const int fd = openOwn(bytes);
        if (fd >= 0) {
            ::close(fd);
            return path;
        }
    }
    if (error)
        *error = QStringLiteral("no private folder could be made in ") + root;
    return std::nullopt;
}

int removeOlderThan(const QString &root, qint64 maxAgeSeconds, const QDateTime &now)
{
    int removed = 0;
    for (int attempt = 0; attempt < 8; ++attempt) {
        const int fd = openOwn(QFile::encodeName(QDir::cleanPath(root) + u'/' + folderName(attempt)));
        if (fd < 0)
            continue;
        DIR *dir = ::fdopendir(fd);
        if (!dir) {
            ::close(fd);
            continue;
        }
        const qint64 limit = now.toSecsSinceEpoch() - maxAgeSeconds;
        while (dirent *entry = ::readdir(dir)) {
            struct stat info;
            if (::fstatat(fd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(info.st_mode))
                continue;
            if (info.st_mtime < limit && ::unlinkat(fd, entry->d_name, 0) == 0)
                ++removed;
        }
        ::closedir(dir);
    }
    return removed;
}

} // namespace PrivateFolder
