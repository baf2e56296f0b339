// Every writer of the program, fed random text: what it writes reads back as it was.
// The text mixes the characters that trouble these files: Windows-1252's own letters,
// bytes that form UTF-8 when written as Windows-1252, the look-alikes the link files use,
// separators, controls, and characters beyond the 16-bit range.
#include "linktable/linkfiles.h"
#include "linktable/linktable.h"
#include "platform/textfile.h"
#include "settings/bookmark.h"
#include "settings/history.h"
#include "settings/inifile.h"
#include "settings/options.h"
#include "../support/tempfolder.h"

#include <QRandomGenerator>

#include <cmath>
#include <limits>

namespace {

class TextSource
{
public:
    explicit TextSource(quint32 seed)
        : m_rng(seed)
    {
    }

    // Any length, any character; singleLine leaves out the line ends a line-per-value
    // file cannot hold.
    QString text(bool singleLine)
    {
        const int length = m_rng.bounded(4) == 0 ? static_cast<int>(m_rng.bounded(2000)) : static_cast<int>(m_rng.bounded(40));
        QString s;
        while (s.size() < length) {
            const char32_t c = character();
            if (singleLine && (c == u'\r' || c == u'\n'))
                continue;
            s += QString::fromUcs4(&c, 1);
        }
        return s;
    }

    double number()
    {
        switch (m_rng.bounded(5)) {
        case 0: return static_cast<double>(static_cast<int>(m_rng.bounded(200000)) - 100000);
        case 1: return (m_rng.generateDouble() - 0.5) * std::pow(10.0, static_cast<int>(m_rng.bounded(40)) - 20);
        case 2: return std::ldexp(m_rng.generateDouble(), static_cast<int>(m_rng.bounded(2000)) - 1000);
        case 3: return -std::numeric_limits<double>::denorm_min() * m_rng.bounded(1000);
        default: return m_rng.generateDouble() * 30000;
        }
    }

    quint32 bounded(quint32 n) { return m_rng.bounded(n); }

private:
    char32_t character()
    {
        static const char32_t awkward[] = {
            u',', u';', u'-', u'\r', u'\n', u'"', u' ', u'\t', 0, 0x7f, 0x81, 0x8d, 0xa0, 0xe1, 0xe9, 0xc3, 0xa1,
            0x161, 0x20ac, 0x201a, 0x2013, 0x2014, 0x2028, 0x2029, 0x2063, 0x200d, 0xfeff, 0xfffd, 0x1f600,
            0x10ffff, 0x2019, 0x201c, 0x0152};
        switch (m_rng.bounded(6)) {
        case 0:
        case 1: return awkward[m_rng.bounded(static_cast<quint32>(std::size(awkward)))];
        case 2: return 0x20 + m_rng.bounded(0x5f);
        case 3: return 0x80 + m_rng.bounded(0x180);
        case 4: {
            // A Windows-1252 letter pair that spells a UTF-8 sequence ("Ã©" is "é").
            static const char32_t pairs[] = {0xc3, 0xa9, 0xc5, 0xa1, 0xe2, 0x20ac};
            return pairs[m_rng.bounded(static_cast<quint32>(std::size(pairs)))];
        }
        default: {
            char32_t c = m_rng.bounded(0x110000);
            return (c >= 0xd800 && c <= 0xdfff) ? char32_t(0xe000) : c;
        }
        }
    }

    QRandomGenerator m_rng;
};

constexpr int kRounds = 300;

} // namespace

TEST(RoundTrip, TheEncodingOfEveryTextReadsBackAsItWas)
{
    TextSource source(1);
    for (int i = 0; i < kRounds * 3; ++i) {
        const QString s = source.text(false);
        ASSERT_EQ(TextFile::decode(TextFile::encode(s)), s) << str(s);
    }
    // The classic case: Windows-1252 bytes that are valid UTF-8.
    for (const QString &s : {QStringLiteral("CAFÉ’S"), QStringLiteral("ášš"), QStringLiteral("Ã©"), QStringLiteral("Â ")})
        EXPECT_EQ(TextFile::decode(TextFile::encode(s)), s) << str(s);
}

TEST(RoundTrip, OptionsHistoryAndBookmark)
{
    TempFolder dir;
    TextSource source(2);
    for (int round = 0; round < kRounds; ++round) {
        Options options;
        options.barStyle = static_cast<int16_t>(source.bounded(4));
        options.reserved2 = static_cast<int16_t>(source.bounded(65536) - 32768);
        options.floatBars = static_cast<int16_t>(source.bounded(2));
        options.reserved4 = static_cast<int16_t>(source.bounded(65536) - 32768);
        options.homePage = source.text(true);
        options.langName = source.text(true);
        const QString optPath = dir.file(QStringLiteral("QuorlOffice.Opt"));
        ASSERT_TRUE(OptionsFile::save(optPath, options));
        Options back;
        ASSERT_EQ(OptionsFile::read(optPath, back, QStringLiteral("unused")), OptionsFile::ReadResult::Read);
        ASSERT_EQ(back.barStyle, options.barStyle);
        ASSERT_EQ(back.reserved2, options.reserved2);
        ASSERT_EQ(back.floatBars, options.floatBars);
        ASSERT_EQ(back.reserved4, options.reserved4);
        ASSERT_EQ(back.homePage, options.homePage);
        ASSERT_EQ(back.langName, options.langName);

        QStringList items;
        for (int n = static_cast<int>(source.bounded(20)); n > 0; --n) {
            QString item = source.text(true);
            if (!item.isEmpty())
                items.append(item);
        }
        const QString hysPath = dir.file(QStringLiteral("QuorlOffice.Hys"));
        ASSERT_TRUE(HistoryFile::save(hysPath, items));
        ASSERT_EQ(HistoryFile::read(hysPath), items.mid(std::max<qsizetype>(0, items.size() - HistoryFile::kKept)));

        const QString address = source.text(true);
        const QString bmPath = dir.file(QStringLiteral("QuorlBook.bm"));
        ASSERT_TRUE(BookmarkFile::save(bmPath, address));
        ASSERT_EQ(BookmarkFile::read(bmPath).value_or(QString()), address);
    }
}

TEST(RoundTrip, SettingsNumbers)
{
    TempFolder dir;
    TextSource source(3);
    const QString path = dir.file(QStringLiteral("QuorlOffice.Ini"));
    for (int round = 0; round < kRounds; ++round) {
        IniSettings s;
        double *doubles[] = {&s.tabWinTop,  &s.tabWinLeft,  &s.tabWinHeight,  &s.tabWinWidth,
                             &s.editWinTop, &s.editWinLeft, &s.editWinHeight, &s.editWinWidth};
        for (double *d : doubles)
            *d = source.number();
        s.startState = static_cast<int16_t>(source.bounded(65536) - 32768);
        const LiveWindowRect window{source.bounded(100000), source.bounded(100000), 2000 + source.bounded(100000),
                                    3000 + source.bounded(100000)};
        ASSERT_TRUE(IniFile::save(path, s, window));
        IniSettings back;
        IniFile::read(path, back, 1, 1);
        const double *backs[] = {&back.tabWinTop,  &back.tabWinLeft,  &back.tabWinHeight,  &back.tabWinWidth,
                                 &back.editWinTop, &back.editWinLeft, &back.editWinHeight, &back.editWinWidth};
        for (int i = 0; i < 8; ++i)
            ASSERT_EQ(*backs[i], *doubles[i]) << i << " " << str(TextFile::decimal(*doubles[i]));
        ASSERT_EQ(back.startState, s.startState);
        ASSERT_EQ(back.windowTop, window.top);
        ASSERT_EQ(back.windowLeft, window.left);
        ASSERT_EQ(back.windowHeight, window.height);
        ASSERT_EQ(back.windowWidth, window.width);
    }
}

TEST(RoundTrip, LinkTitlesAndLinkFields)
{
    TempFolder dir;
    dir.mkdir(QStringLiteral("Links"));
    const QString base = LinkFiles::baseName(dir.path());
    TextSource source(4);
    for (int round = 0; round < kRounds; ++round) {
        // Titles: the reader trims each line, so a title starts with no blank; a line
        // break in a title is kept like any other character.
        LinkFiles::GroupList groups;
        QString titles[LinkFiles::kGroups + 1];
        for (int n = 1; n <= LinkFiles::kGroups; ++n) {
            QString t = source.text(false);
            while (!t.isEmpty() && t.at(0).isSpace())
                t.remove(0, 1);
            titles[n] = t;
            groups.entry(n) = {t, QString::number(source.bounded(3))};
        }
        ASSERT_TRUE(LinkFiles::saveTitles(base, groups));
        LinkFiles::GroupList back;
        ASSERT_TRUE(LinkFiles::readTitles(base, back, QStringLiteral("Group")));
        for (int n = 1; n <= LinkFiles::kGroups; ++n) {
            ASSERT_EQ(back.entry(n).title, titles[n]) << n;
            ASSERT_EQ(back.entry(n).count, groups.entry(n).count) << n;
        }

        // Fields: a link of six fields, any text in each, the concealed one included.
        groups.entry(1) = {QStringLiteral("One"), QStringLiteral("1")};
        LinkTable table(base, &groups);
        table.setGroup(0);
        table.setRows(2);
        QStringList fields;
        for (int c = 1; c <= LinkFiles::kFields; ++c)
            fields.append(source.text(false));
        if (fields[0].isEmpty())
            fields[0] = QStringLiteral("x"); // a row without a title is no link
        for (int c = 1; c <= LinkFiles::kFields; ++c)
            table.setCell(1, c, c == 4 ? LinkTable::kMask : fields[c - 1]);
        table.setConcealed(1, fields[3]);
        ASSERT_TRUE(table.saveTable());
        table.readTable();
        for (int c = 1; c <= LinkFiles::kFields; ++c) {
            if (c == 4)
                ASSERT_EQ(table.concealed(1), fields[3]);
            else
                ASSERT_EQ(table.cell(1, c), fields[c - 1]) << c;
        }
    }
}

TEST(RoundTrip, WholeTextFiles)
{
    // The language editor's files and the page source are written whole.
    TempFolder dir;
    TextSource source(5);
    for (int round = 0; round < kRounds; ++round) {
        const QString text = source.text(false);
        ASSERT_TRUE(TextFile::writeBytes(dir.file(QStringLiteral("Lang_X.Txt")), TextFile::encode(text)));
        ASSERT_EQ(TextFile::readText(dir.file(QStringLiteral("Lang_X.Txt"))).value_or(QString()), text);
    }
}
