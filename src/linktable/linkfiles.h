#pragma once

#include <QString>
#include <QStringList>

#include <array>

// The favourite links in numbered groups: one titles file, Links.Bok, with a line
// "title,count" per group, and one file per group (Links.000, Links.001, ...) with a
// line per link, its six fields joined by ";-;".
namespace LinkFiles {

constexpr int kGroups = 150;   // 30 x 5 entries are kept on disk
constexpr int kReserved = 160; // room the list keeps; entries past 150 are never written
constexpr int kFields = 6;
constexpr int kMaxLinks = 32767; // a group's count is a 16-bit number
const QString kSeparator = QStringLiteral(";-;");

// AppPath + "/Links/Links.", kept for the whole run.
QString baseName(const QString &appPath);
QString titlesPath(const QString &base);
// The link file of group g (from 0): the last three digits of g with leading zeros.
QString groupPath(const QString &base, int group);

// Text the format cannot hold is stored with look-alike characters and given back
// unchanged when read: a comma or a line break in a title, ";-;" or a line break in a
// link field. Every text, the look-alikes themselves included, reads back exactly.
QString encodeTitle(const QString &title);
QString decodeTitle(const QString &title);
QString encodeField(const QString &field);
QString decodeField(const QString &field);

struct Group
{
    QString title;
    QString count; // as held: "12" after reading, " 12" after an addition, "" if never set
};

// The group list: entries 1 to 160, group g is entry g + 1.
class GroupList
{
public:
    Group &entry(int n) { return m_entries[clampIndex(n)]; }
    const Group &entry(int n) const { return m_entries[clampIndex(n)]; }
    // The count read as a whole number; empty or non-numeric text is 0.
    int countOf(int n) const;

    // The default title of entry n: the language's word for a group, a space, n.
    static QString defaultTitle(const QString &word, int n);
    // Every entry whose count reads as 0 gets its default title (the caption pass).
    void applyDefaultTitles(const QString &word, int entries = kGroups);

private:
    static int clampIndex(int n) { return n < 0 ? 0 : (n > kReserved ? kReserved : n); }
    std::array<Group, kReserved + 1> m_entries;
};

// Creates the titles file with the default titles when it is missing, then loads it.
// False when the file can neither be read nor created.
bool readTitles(const QString &base, GroupList &groups, const QString &word);
// Writes entries 1 to 150 of the titles file.
bool saveTitles(const QString &base, const GroupList &groups, QString *error = nullptr);

} // namespace LinkFiles
