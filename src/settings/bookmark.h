#pragma once

#include <QString>

#include <optional>

// The one bookmark, kept as the first line of Data/QuorlBook.bm.
namespace BookmarkFile {

bool save(const QString &path, const QString &address, QString *error = nullptr);
// The first line; nullopt when there is no file or it is empty.
std::optional<QString> read(const QString &path);

} // namespace BookmarkFile
