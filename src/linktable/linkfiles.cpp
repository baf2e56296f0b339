#include "linkfiles.h"

#include "platform/paths.h"
#include "platform/textfile.h"

#include <cmath>

namespace LinkFiles {
namespace {

// Look-alikes stand in for what the line format cannot hold, so that a file stays one
// line per group or link and older readers still show something close to the text.
const QChar kCommaStandIn(0x201A);     // single low-9 quotation mark, for ","
const QChar kDashStandIn(0x2013);      // en dash, for the "-" of ";-;"
const QChar kLineFeedStandIn(0x2029);  // paragraph separator, for a line feed
const QChar kReturnStandIn(0x2028);    // line separator, for a carriage return
// A stand-in (or this mark itself) that the user typed is written after this mark, so
// that every text reads back exactly as it was typed.
const QChar kLiteral(0x2063);          // invisible separator

bool isStandIn(QChar c)
{
    return c == kCommaStandIn || c == kDashStandIn || c == kLineFeedStandIn || c == kReturnStandIn || c == kLiteral;
}

QString escapeLiterals(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (isStandIn(c))
            out.append(kLiteral);
        out.append(c);
    }
    return out;
}

QString replaceLineBreaks(QString text)
{
    text.replace(u'\r', kReturnStandIn);
    text.replace(u'\n', kLineFeedStandIn);
    return text;
}

// A dash between two semicolons, or after a semicolon at the end of a field (where the
// separator that follows would complete it): where ";-;" was written with a look-alike.
bool separatorDash(const QString &text, qsizetype i)
{
    return i > 0 && text.at(i - 1) == u';' && (i + 1 == text.size() || text.at(i + 1) == u';');
}

// Undoes the stand-ins: a marked character is itself, a bare stand-in is what it
// stands for.
QString restore(const QString &text, bool field)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == kLiteral && i + 1 < text.size() && isStandIn(text.at(i + 1))) {
            out.append(text.at(++i));
        } else if (c == kCommaStandIn && !field) {
            out.append(u',');
        } else if (c == kDashStandIn && field && separatorDash(text, i)) {
            // Only where it stood for the hyphen of a separator: a dash of the text
            // itself, as files of earlier versions hold in page titles, stays a dash.
            out.append(u'-');
        } else if (c == kLineFeedStandIn) {
            out.append(u'\n');
        } else if (c == kReturnStandIn) {
            out.append(u'\r');
        } else {
            out.append(c);
        }
    }
    return out;
}

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
    QString t = replaceLineBreaks(escapeLiterals(title));
    t.replace(u',', kCommaStandIn);
    return t;
}

QString decodeTitle(const QString &title)
{
    return restore(title, false);
}

QString encodeField(const QString &field)
{
    QString f = replaceLineBreaks(escapeLiterals(field));
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
    return restore(field, true);
}

int GroupList::countOf(int n) const
{
    return TextFile::boundedInt(TextFile::leadingNumberOr0(entry(n).count), 0, kMaxLinks);
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
        // A count is a number of lines of the group's file: whatever the file says, it
        // never sizes anything beyond what a group can hold.
        g.count = QString::number(
            pieces.size() > 1 ? TextFile::boundedInt(TextFile::leadingNumberOr0(pieces.at(1)), 0, kMaxLinks) : 0);
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
