#include "address.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace Address {

QString complete(const QString &typed)
{
    const QString lower = typed.toLower();
    if (lower.startsWith(QLatin1String("https://")) || lower.startsWith(QLatin1String("ftp://"))
        || lower.startsWith(QLatin1String("http://")))
        return typed;
    return QStringLiteral("http://") + typed;
}

QString fromArgument(const QString &argument, const QString &workingFolder)
{
    if (argument.startsWith(QLatin1String("file:"), Qt::CaseInsensitive))
        return argument;
    const QFileInfo file(QDir(workingFolder), argument);
    if (argument.startsWith(u'/') || (!argument.isEmpty() && file.exists()))
        return QUrl::fromLocalFile(QDir::cleanPath(file.absoluteFilePath())).toString(QUrl::FullyEncoded);
    return complete(argument);
}

QString properCase(const QString &text)
{
    QString result = text;
    bool wordStart = true;
    for (QChar &c : result) {
        if (c == u' ') {
            wordStart = true;
            continue;
        }
        c = wordStart ? c.toUpper() : c.toLower();
        wordStart = false;
    }
    return result;
}

QString makeTabCaption(const QString &address)
{
    QString a = address;
    a.remove(QStringLiteral("http://"), Qt::CaseSensitive);
    a.remove(QStringLiteral("https://"), Qt::CaseSensitive);
    const qsizetype slash = a.indexOf(u'/');
    if (slash >= 0)
        a.truncate(slash);
    if (a.contains(QLatin1String("www."), Qt::CaseInsensitive)) {
        a.remove(QStringLiteral("www."), Qt::CaseInsensitive);
        const qsizetype dot = a.indexOf(u'.');
        if (dot >= 0)
            a.truncate(dot);
    }
    return properCase(a);
}

} // namespace Address
