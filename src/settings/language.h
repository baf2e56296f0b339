#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>

// The numbered texts of the current language file (1 to 400). Entry numbers are the contract
// between the program and its language files: captions, tooltips and messages are
// asked for by number.
class LangTable
{
public:
    // Entries 1 to 250 are those older language files hold; the program's own later
    // messages live from 241 on, above what those files fill.
    static constexpr int kSize = 400;

    // Entry n (1 to 400); empty for numbers the file did not supply or out of range.
    QString entry(int n) const;
    void setEntry(int n, const QString &text);
    void clear();
    // The number of the last entry that holds text, 0 for an empty table.
    int lastFilled() const;

private:
    std::array<QString, kSize + 1> m_entries; // slot 0 exists and is never used
};

// The per-language settings lines of a language file ("KEY=value").
struct LangSettings
{
    QString startPage;
    QString langCode;
    QString programMail;
    QString searchURL;
    QString searchDescr;
    QString dictionaryURL;
    QString dictionaryDescr;
    QString mapURL;
    QString mapDescr;
    QString socialURL;
    QString socialDescr;
    QString translatorPath;
    int16_t tabWidth = 0;
};

namespace LanguageFile {

// How the reader takes one line of a language file, once the line is trimmed: a
// heading, the next numbered entry, a "KEY=value" setting, or nothing at all.
enum class LineKind { Ignored, Heading, Entry, Setting };
LineKind lineKind(const QString &line);
// The key of a setting line as the reader compares it: the text before the first "=",
// upper case, not trimmed.
QString settingKey(const QString &line);

// "Languages/Lang_" + name + ".txt" below the program folder, matched without regard to case.
QString pathFor(const QString &appPath, const QString &langName);

// The table is cleared first; settings not named by the file keep their values.
// tabNumber receives the value of the last "TAB_NUMBER" line, if any.
void parse(const QStringList &lines, LangTable &table, LangSettings &settings,
           std::optional<int> *tabNumber);

// Reads a language file into the table and the settings: false when the file cannot be
// opened (the table is then empty).
bool read(const QString &path, LangTable &table, LangSettings &settings, std::optional<int> *tabNumber);

} // namespace LanguageFile
