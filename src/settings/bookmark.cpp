#include "bookmark.h"

#include "platform/textfile.h"

namespace BookmarkFile {

bool save(const QString &path, const QString &address, QString *error)
{
    return TextFile::writeLines(path, {address}, error);
}

std::optional<QString> read(const QString &path)
{
    const auto lines = TextFile::readLines(path);
    if (!lines || lines->isEmpty())
        return std::nullopt;
    return lines->first();
}

} // namespace BookmarkFile
