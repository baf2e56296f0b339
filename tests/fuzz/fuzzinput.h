#pragma once

#include "platform/textfile.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <QDir>
#include <QTemporaryDir>

#include <cmath>

#include <cstddef>
#include <cstdint>

// What every reader's fuzz target shares: the input as the bytes of a file the reader
// opens, in a folder of its own that lives as long as the fuzzing run.
namespace FuzzInput {

inline QByteArray bytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
}

inline const QString &folder()
{
    static QTemporaryDir dir;
    static const QString path = dir.path();
    return path;
}

// Writes the input as the file name below the fuzzing folder and returns its path.
inline QString asFile(const QString &name, const uint8_t *data, size_t size)
{
    const QString path = folder() + u'/' + name;
    TextFile::writeBytes(path, bytes(data, size));
    return path;
}

} // namespace FuzzInput
