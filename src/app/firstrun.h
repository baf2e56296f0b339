#pragma once

#include <QString>

// The first start after installation: the data files delivered loose beside the
// executable are moved into the Links, Languages and Data folders. The marker file
// QuorlFirst.txt is removed only when everything was found, so an interrupted
// installation is tried again at the next start.
namespace FirstRun {

struct Result
{
    enum class Status { Installed, MissingFile, Failed } status = Status::Installed;
    QString path;   // the missing file (for the links, the pattern itself) or the failing file
    QString detail; // what went wrong, for Failed
};

bool markerPresent(const QString &appPath);

// The program folder's lock, within it: held by the window while it runs, and by
// whoever installs the delivered files.
inline const QString kLockFile = QStringLiteral("QuorlOffice.lock");

// Installs the delivered files into the data folders. Never shows anything itself; the caller reports a missing file as
// "No " + path + " file found!".
Result moveData(const QString &appPath);

} // namespace FirstRun
