#pragma once

#include <QString>

// Why a file cannot be written where the user wants it, told apart so that the user
// is told in words what to change.
namespace FileSpace {

enum class Problem { None, IsFolder, NoFolder, ReadOnly, DiskFull, Other };

// The likely reason a write of about `bytes` bytes to path failed or would fail.
// None when nothing stands in the way.
Problem diagnose(const QString &path, qint64 bytes);

} // namespace FileSpace
