#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

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

} // namespace PrivateFolder
