#include "history.h"

#include "platform/textfile.h"

namespace HistoryFile {

QStringList read(const QString &path)
{
    return TextFile::readLines(path).value_or(QStringList());
}

QStringList linesToSave(const QStringList &items)
{
    const qsizetype first = items.size() > kKept ? items.size() - kKept : 0;
    QStringList lines;
    for (qsizetype i = first; i < items.size(); ++i) {
        if (!items.at(i).isEmpty())
            lines.append(items.at(i));
    }
    return lines;
}

bool save(const QString &path, const QStringList &items, QString *error)
{
    return TextFile::writeLines(path, linesToSave(items), error);
}

} // namespace HistoryFile
