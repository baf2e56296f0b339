#pragma once

#include <QString>

// Why a file cannot be written where the user wants it, told apart so that the user
// is told in words what to change.
namespace FileSpace {

enum class Problem { None, IsFolder, NoFolder, ReadOnly, DiskFull, Other };

// The likely reason a write of about `bytes` bytes to path failed or would fail.
// None when nothing stands in the way.
Problem diagnose(const QString &path, qint64 bytes);

// Writes the file whole through the program's one write path, but only where there is
// room for it: a full disk must never leave a cut-off file in place of the user's old
// one. None when the file is there, complete.
Problem write(const QString &path, const QByteArray &bytes);

} // namespace FileSpace
