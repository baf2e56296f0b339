#include "linkfiles.h"

#include "platform/paths.h"
#include "platform/textfile.h"

#include <cmath>

namespace LinkFiles {
namespace {

const QChar kCommaStandIn(0x201A);        // single low-9 quotation mark
const QChar kDashStandIn(0x2013);         // en dash
const QChar kLineBreakStandIn(0x2029);    // paragraph separator

} // namespace

QString baseName(const QString &appPath)
{
    return Paths::resolve(appPath, QStringLiteral("Links")) + QStringLiteral("/Links.");
}

QString titlesPath(const QString &base)
{
    const qsizetype slash = base.lastIndexOf(u'/');
    return Paths::resolve(base.left(slash), base.mid(slash + 1) + QStringLiteral("Bok"));
}

QString groupPath(const QString &base, int group)
{
    const QString digits = QStringLiteral("00") + QString::number(group);
    const qsizetype slash = base.lastIndexOf(u'/');
    return Paths::resolve(base.left(slash), base.mid(slash + 1) + digits.right(3));
}

QString encodeTitle(const QString &title)
{
    QString t = title;
    t.replace(u',', kCommaStandIn);
    t.replace(QStringLiteral("\r\n"), QStringLiteral(" ")).replace(u'\r', u' ').replace(u'\n', u' ');
    return t;
}

QString decodeTitle(const QString &title)
{
    QString t = title;
    t.replace(kCommaStandIn, u',');
    return t;
}

QString encodeField(const QString &field)
{
    QString f = field;
    f.replace(QStringLiteral("\r\n"), QString(kLineBreakStandIn));
    f.replace(u'\r', kLineBreakStandIn).replace(u'\n', kLineBreakStandIn);
    const QString standIn = QStringLiteral(";") + kDashStandIn + QStringLiteral(";");
    while (f.contains(kSeparator))
        f.replace(kSeparator, standIn);
    // A field ending in ";-" would join with the next separator into an earlier split.
    if (f.endsWith(QLatin1String(";-")))
        f.replace(f.size() - 1, 1, kDashStandIn);
    return f;
}

QString decodeField(const QString &field)
{
    QString f = field;
    f.replace(QStringLiteral(";") + kDashStandIn + QStringLiteral(";"), kSeparator);
    // the replacement above does not see overlapping stand-ins; a second pass does
    f.replace(QStringLiteral(";") + kDashStandIn + QStringLiteral(";"), kSeparator);
    if (f.endsWith(QStringLiteral(";") + kDashStandIn))
        f.replace(f.size() - 1, 1, u'-');
    f.replace(kLineBreakStandIn, u'\n');
    return f;
}

int GroupList::countOf(int n) const
{
    return static_cast<int>(std::lround(TextFile::leadingNumberOr0(entry(n).count)));
}

QString GroupList::defaultTitle(const QString &word, int n)
{
    return word + u' ' + QString::number(n);
}

void GroupList::applyDefaultTitles(const QString &word, int entries)
{
    for (int n = 1; n <= entries; ++n) {
        if (countOf(n) == 0)
            entry(n).title = defaultTitle(word, n);
    }
}

bool readTitles(const QString &base, GroupList &groups, const QString &word)
{
    const QString path = titlesPath(base);
    auto lines = TextFile::readLines(path);
    if (!lines) {
        QStringList defaults;
        for (int n = 1; n <= kGroups; ++n)
            defaults.append(encodeTitle(GroupList::defaultTitle(word, n)) + QStringLiteral(",0"));
        if (!TextFile::writeLines(path, defaults))
            return false;
        lines = defaults;
    }
    for (int k = 0; k < lines->size() && k < kGroups; ++k) {
        const QStringList pieces = lines->at(k).trimmed().split(u',');
        Group &g = groups.entry(k + 1);
        g.title = decodeTitle(pieces.value(0));
        g.count = QString::number(pieces.size() > 1 ? std::lround(TextFile::leadingNumberOr0(pieces.at(1))) : 0);
    }
    return true;
}

bool saveTitles(const QString &base, const GroupList &groups, QString *error)
{
    QStringList lines;
    for (int n = 1; n <= kGroups; ++n)
        lines.append(encodeTitle(groups.entry(n).title) + u',' + groups.entry(n).count);
    return TextFile::writeLines(titlesPath(base), lines, error);
}

} // namespace LinkFiles
