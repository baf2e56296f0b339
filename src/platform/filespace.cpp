#include "filespace.h"

#include <QFileInfo>
#include <QStorageInfo>

#include <unistd.h>

namespace FileSpace {

Problem diagnose(const QString &path, qint64 bytes)
{
    const QFileInfo target(path);
    if (target.isDir())
        return Problem::IsFolder;
    const QFileInfo folder(target.absolutePath());
    if (!folder.isDir())
        return Problem::NoFolder;
    // access() also answers for a read-only file system, where even root cannot write.
    if (::access(QFile::encodeName(folder.absoluteFilePath()).constData(), W_OK) != 0
        || (target.exists() && ::access(QFile::encodeName(target.absoluteFilePath()).constData(), W_OK) != 0))
        return Problem::ReadOnly;
    const QStorageInfo storage(folder.absoluteFilePath());
    if (storage.isValid() && storage.isReadOnly())
        return Problem::ReadOnly;
    if (storage.isValid() && storage.bytesAvailable() >= 0 && storage.bytesAvailable() < bytes + 4096)
        return Problem::DiskFull;
    return Problem::None;
}

} // namespace FileSpace
