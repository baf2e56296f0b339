#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cerrno>
#include <cstring>
#include <sys/mount.h>
#include <unistd.h>

// A small memory file system mounted on a folder for one test, so that a disk can fill
// up for real. Only root can mount one (the test command runs as root in CI); mounted()
// says whether it worked and why not.
class SmallFileSystem
{
public:
    SmallFileSystem(const QString &folder, const char *size)
        : m_point(QFile::encodeName(folder))
    {
        if (::geteuid() != 0) {
            m_why = "mounting a small file system needs root";
            return;
        }
        const QByteArray options = QByteArray("size=") + size;
        if (::mount("tmpfs", m_point.constData(), "tmpfs", 0, options.constData()) != 0)
            m_why = std::string("no tmpfs here: ") + std::strerror(errno);
        else
            m_mounted = true;
    }
    ~SmallFileSystem()
    {
        if (m_mounted)
            ::umount2(m_point.constData(), MNT_DETACH);
    }
    SmallFileSystem(const SmallFileSystem &) = delete;
    SmallFileSystem &operator=(const SmallFileSystem &) = delete;

    bool mounted() const { return m_mounted; }
    // Gives the file system a new size; it cannot shrink below what its files take, so
    // a size of what they take leaves no room at all.
    bool resize(const char *size)
    {
        const QByteArray options = QByteArray("size=") + size;
        return m_mounted && ::mount("tmpfs", m_point.constData(), "tmpfs", MS_REMOUNT, options.constData()) == 0;
    }
    const std::string &whyNot() const { return m_why; }

private:
    QByteArray m_point;
    bool m_mounted = false;
    std::string m_why;
};
