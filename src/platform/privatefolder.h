#pragma once

#include <QDateTime>
#include <QString>

#include <memory>
#include <optional>

class QTemporaryDir;

// The program's own folder inside the system's temporary folder, for files it hands to
// other programs (the mail archive). Only the user can enter it: it is created with
// owner-only permissions, and a folder of that name that is a link, or belongs to
// someone else, is never used.
namespace PrivateFolder {

// The system's temporary folder (tests may point it elsewhere; nullopt restores it).
QString systemTemp();
void setSystemTemp(const std::optional<QString> &folder);

// The private folder below root, created when missing; nullopt when no safe folder
// can be had (error says why).
std::optional<QString> ensure(const QString &root, QString *error = nullptr);
// Removes the plain files of the private folder below root that are older than
// maxAge seconds at now; links and folders in it are left alone. Creates nothing.
int removeOlderThan(const QString &root, qint64 maxAgeSeconds, const QDateTime &now);

// A working folder of this run inside the private folder (for the office worker, the
// engine's copies of a page). It goes when the object goes; one left by a run that was
// killed is removed by the next start (removeAbandoned), never one still in use: the
// folder is held by a lock that ends with the process that made it.
class Temporary
{
public:
    // prefix names what the folder is for ("office", "page").
    explicit Temporary(const QString &prefix);
    ~Temporary();
    Temporary(const Temporary &) = delete;
    Temporary &operator=(const Temporary &) = delete;

    bool isValid() const;
    QString path() const;
    QString filePath(const QString &name) const;
    QString errorString() const;

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    int m_lock = -1;
    QString m_error;
};

// Removes the working folders of runs that are no longer running; the number removed.
int removeAbandoned(const QString &root);

} // namespace PrivateFolder
