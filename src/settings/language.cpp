#include "language.h"

#include "platform/paths.h"
#include "platform/textfile.h"

QString LangTable::entry(int n) const
{
    if (n < 1 || n > kSize)
        return {};
    return m_entries[n];
}

void LangTable::setEntry(int n, const QString &text)
{
    if (n >= 1 && n <= kSize)
        m_entries[n] = text;
}

void LangTable::clear()
{
    for (QString &e : m_entries)
        e.clear();
}

int LangTable::lastFilled() const
{
    for (int n = kSize; n >= 1; --n) {
        if (!m_entries[n].isEmpty())
            return n;
    }
    return 0;
}

namespace LanguageFile {

QString pathFor(const QString &appPath, const QString &langName)
{
    return Paths::resolve(appPath, QStringLiteral("Languages/Lang_") + langName + QStringLiteral(".txt"));
}

LineKind lineKind(const QString &line)
{
    const QString trimmed = line.trimmed();
    if (trimmed.isEmpty())
        return LineKind::Ignored;
    if (trimmed.startsWith(u'['))
        return LineKind::Heading;
    if (trimmed.startsWith(u'"'))
        return LineKind::Entry;
    return trimmed.contains(u'=') ? LineKind::Setting : LineKind::Ignored;
}

QString settingKey(const QString &line)
{
    // The key is not trimmed: "TAB_WIDTH =80" names no key at all.
    const QString trimmed = line.trimmed();
    return trimmed.left(trimmed.indexOf(u'=')).toUpper();
}

void parse(const QStringList &lines, LangTable &table, LangSettings &s, std::optional<int> *tabNumber)
{
    table.clear();
    int next = 1;
    for (const QString &raw : lines) {
        const LineKind kind = lineKind(raw);
        if (kind != LineKind::Entry && kind != LineKind::Setting)
            continue;
        const QString line = raw.trimmed();
        if (kind == LineKind::Entry) {
            // The surrounding quotes go, whatever the last character is; entries past
            // the table's last entry are dropped.
            table.setEntry(next++, line.size() >= 2 ? line.mid(1, line.size() - 2) : QString());
            continue;
        }
        const QString key = settingKey(line);
        const QString value = line.mid(line.indexOf(u'=') + 1);
        if (key == QLatin1String("START_PAGE"))
            s.startPage = value;
        else if (key == QLatin1String("LANG"))
            s.langCode = value.trimmed().left(3);
        else if (key == QLatin1String("PROGRAM_MAIL"))
            s.programMail = value;
        else if (key == QLatin1String("SEARCH_URL"))
            s.searchURL = value;
        else if (key == QLatin1String("SEARCH_DESCR"))
            s.searchDescr = value;
        else if (key == QLatin1String("DICTIONARY_URL"))
            s.dictionaryURL = value;
        else if (key == QLatin1String("DICTIONARY_DESCR"))
            s.dictionaryDescr = value;
        else if (key == QLatin1String("MAP_URL"))
            s.mapURL = value;
        else if (key == QLatin1String("MAP_DESCR"))
            s.mapDescr = value;
        else if (key == QLatin1String("SOCIAL_URL"))
            s.socialURL = value;
        else if (key == QLatin1String("SOCIAL_DESCR"))
            s.socialDescr = value;
        else if (key == QLatin1String("TRANSLATOR_PATH"))
            s.translatorPath = value;
        else if (key == QLatin1String("TAB_WIDTH"))
            s.tabWidth = TextFile::toInt16(value).value_or(TextFile::leadingNumber(value) ? s.tabWidth : 0);
        else if (key == QLatin1String("TAB_NUMBER")) {
            if (tabNumber)
                *tabNumber = TextFile::boundedInt(TextFile::leadingNumberOr0(value), -1, 1 << 16);
        }
        // HELP_PAGE, PROMOTE_PATH, LOCK_ADVERTISING, F2 to F12 and unknown keys: no effect.
    }
}

bool read(const QString &path, LangTable &table, LangSettings &settings, std::optional<int> *tabNumber)
{
    table.clear();
    const auto lines = TextFile::readLines(path);
    if (!lines)
        return false;
    parse(*lines, table, settings, tabNumber);
    return true;
}

} // namespace LanguageFile
