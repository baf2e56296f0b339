#include "paths.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <dirent.h>
#include <unistd.h>

namespace {

// Directory entries in the order the file system lists them, as the program always
// did; QDir would sort them.
QStringList rawEntries(const QString &dir)
{
    QStringList names;
    DIR *handle = opendir(QFile::encodeName(dir).constData());
    if (!handle)
        return names;
    while (dirent *entry = readdir(handle)) {
        const QString name = QFile::decodeName(entry->d_name);
        if (name != QLatin1String(".") && name != QLatin1String(".."))
            names.append(name);
    }
    closedir(handle);
    return names;
}

} // namespace

Paths::Paths(QString appPath, QString executables)
    : m_appPath(QDir::cleanPath(std::move(appPath)))
    , m_executables(executables.isEmpty() ? m_appPath : QDir::cleanPath(std::move(executables)))
{
}

QString Paths::file(const QString &relative) const
{
    return resolve(m_appPath, relative);
}

QString Paths::resolve(const QString &base, const QString &relative)
{
    QString current = QDir::cleanPath(base);
    const QStringList parts = relative.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        const QString exact = current + QLatin1Char('/') + part;
        if (QFileInfo::exists(exact)) {
            current = exact;
            continue;
        }
        QString found;
        for (const QString &name : rawEntries(current)) {
            if (name.compare(part, Qt::CaseInsensitive) == 0) {
                found = name;
                break;
            }
        }
        current += QLatin1Char('/') + (found.isEmpty() ? part : found);
    }
    return current;
}

QStringList Paths::matchFiles(const QString &dir, const QString &pattern)
{
    const QRegularExpression re(QRegularExpression::wildcardToRegularExpression(
                                    pattern, QRegularExpression::UnanchoredWildcardConversion),
                                QRegularExpression::CaseInsensitiveOption);
    const QRegularExpression anchored(QRegularExpression::anchoredPattern(re.pattern()),
                                      QRegularExpression::CaseInsensitiveOption);
    QStringList matches;
    for (const QString &name : rawEntries(dir)) {
        if (anchored.match(name).hasMatch() && QFileInfo(dir + QLatin1Char('/') + name).isFile())
            matches.append(name);
    }
    return matches;
}

int Paths::nameMax(const QString &dir)
{
    const long max = ::pathconf(QFile::encodeName(dir).constData(), _PC_NAME_MAX);
    return max > 0 ? static_cast<int>(std::min(max, 4096L)) : 255;
}
