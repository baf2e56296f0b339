#include "filespace.h"

#include "platform/textfile.h"

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

Problem write(const QString &path, const QByteArray &bytes)
{
    const Problem before = diagnose(path, bytes.size());
    if (before != Problem::None)
        return before;
    if (!TextFile::writeBytes(path, bytes) || QFileInfo(path).size() != bytes.size()) {
        const Problem after = diagnose(path, bytes.size());
        return after == Problem::None ? Problem::Other : after;
    }
    return Problem::None;
}

} // namespace FileSpace
