#include "privatefolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
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

// The file whose lock says a working folder is in use.
const char kOwner[] = ".owner";
// Working folders are named prefix + this + six random characters.
const QString kWorkMark = QStringLiteral("-work-");

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

Temporary::Temporary(const QString &prefix)
{
    QString error;
    const auto folder = ensure(systemTemp(), &error);
    if (!folder) {
        m_error = error;
        return;
    }
    m_dir = std::make_unique<QTemporaryDir>(*folder + u'/' + prefix + kWorkMark + QStringLiteral("XXXXXX"));
    if (!m_dir->isValid()) {
        m_error = m_dir->errorString();
        m_dir.reset();
        return;
    }
    // The lock is held as long as this process lives; it is not passed on to the
    // programs this one starts, so the folder of a run that was killed is free at once.
    m_lock = ::open(QFile::encodeName(m_dir->filePath(QString::fromLatin1(kOwner))).constData(),
                    O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (m_lock < 0 || ::flock(m_lock, LOCK_EX | LOCK_NB) != 0) {
        m_error = QString::fromLocal8Bit(std::strerror(errno));
        if (m_lock >= 0)
            ::close(m_lock);
        m_lock = -1;
        m_dir.reset();
    }
}

Temporary::~Temporary()
{
    m_dir.reset();
    if (m_lock >= 0)
        ::close(m_lock);
}

bool Temporary::isValid() const
{
    return m_dir != nullptr;
}

QString Temporary::path() const
{
    return m_dir ? m_dir->path() : QString();
}

QString Temporary::filePath(const QString &name) const
{
    return m_dir ? m_dir->filePath(name) : QString();
}

QString Temporary::errorString() const
{
    return m_error;
}

int removeAbandoned(const QString &root)
{
    int removed = 0;
    for (int attempt = 0; attempt < 8; ++attempt) {
        const QString folder = QDir::cleanPath(root) + u'/' + folderName(attempt);
        const int fd = openOwn(QFile::encodeName(folder));
        if (fd < 0)
            continue;
        ::close(fd);
        const QStringList entries = QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::NoSymLinks);
        for (const QString &name : entries) {
            if (!name.contains(kWorkMark))
                continue;
            const QString path = folder + u'/' + name;
            const int lock = ::open(QFile::encodeName(path + u'/' + QString::fromLatin1(kOwner)).constData(),
                                    O_RDWR | O_CLOEXEC | O_NOFOLLOW);
            // A folder without its lock file may be one being made right now: left alone.
            const bool free = lock >= 0 && ::flock(lock, LOCK_EX | LOCK_NB) == 0;
            if (free && QDir(path).removeRecursively())
                ++removed;
            if (lock >= 0)
                ::close(lock);
        }
    }
    return removed;
}

} // namespace PrivateFolder
