#include "linktable/linkfiles.h"
#include "linktable/linktable.h"
#include "../support/tempfolder.h"

using namespace LinkFiles;

namespace {

struct LinkFolder : TempFolder
{
    LinkFolder()
    {
        mkdir(QStringLiteral("Links"));
        base = baseName(path());
    }
    QString base;
};

} // namespace

TEST(LinkFiles, NamesOfTheFiles)
{
    TempFolder dir;
    const QString base = baseName(dir.path());
    EXPECT_EQ(base, dir.path() + QStringLiteral("/Links/Links."));
    EXPECT_EQ(groupPath(base, 0), dir.path() + QStringLiteral("/Links/Links.000"));
    EXPECT_EQ(groupPath(base, 5), dir.path() + QStringLiteral("/Links/Links.005"));
    EXPECT_EQ(groupPath(base, 104), dir.path() + QStringLiteral("/Links/Links.104"));
    EXPECT_EQ(titlesPath(base), dir.path() + QStringLiteral("/Links/Links.Bok"));
    dir.write(QStringLiteral("links/LINKS.BOK"), "");
    EXPECT_EQ(titlesPath(baseName(dir.path())), dir.path() + QStringLiteral("/links/LINKS.BOK"));
}

TEST(LinkFiles, MissingTitlesFileIsCreatedWithDefaults)
{
    LinkFolder dir;
    GroupList groups;
    ASSERT_TRUE(readTitles(dir.base, groups, QStringLiteral("Group")));
    const auto lines = TextFile::readLines(titlesPath(dir.base));
    ASSERT_EQ(lines->size(), 150);
    EXPECT_EQ(lines->at(0), QStringLiteral("Group 1,0"));
    EXPECT_EQ(lines->at(149), QStringLiteral("Group 150,0"));
    EXPECT_EQ(groups.entry(7).title, QStringLiteral("Group 7"));
    EXPECT_EQ(groups.entry(7).count, QStringLiteral("0"));
}

TEST(LinkFiles, ShortTitlesFileAndLeadingSpaces)
{
    LinkFolder dir;
    dir.write(QStringLiteral("Links/Links.Bok"), " Work ,7 \r\nTravel, 12\r\nno comma\r\n");
    GroupList groups;
    groups.applyDefaultTitles(QStringLiteral("Gruppo"));
    ASSERT_TRUE(readTitles(dir.base, groups, QStringLiteral("Gruppo")));
    EXPECT_EQ(groups.entry(1).title, QStringLiteral("Work "));
    EXPECT_EQ(groups.countOf(1), 7);
    EXPECT_EQ(groups.entry(2).count, QStringLiteral("12"));
    EXPECT_EQ(groups.entry(3).title, QStringLiteral("no comma"));
    EXPECT_EQ(groups.countOf(3), 0);
    EXPECT_EQ(groups.entry(4).title, QStringLiteral("Gruppo 4"));
    EXPECT_TRUE(groups.entry(4).count.isEmpty());

    groups.entry(2).count = QStringLiteral(" 13"); // after an addition
    ASSERT_TRUE(saveTitles(dir.base, groups));
    const auto lines = TextFile::readLines(titlesPath(dir.base));
    ASSERT_EQ(lines->size(), 150);
    EXPECT_EQ(lines->at(1), QStringLiteral("Travel, 13"));
    EXPECT_EQ(lines->at(3), QStringLiteral("Gruppo 4,"));
    GroupList back;
    readTitles(dir.base, back, QStringLiteral("Gruppo"));
    EXPECT_EQ(back.countOf(2), 13);
}

TEST(LinkFiles, DefaultTitlesReplaceOnlyEmptyGroups)
{
    GroupList groups;
    groups.entry(1) = {QStringLiteral("Mine"), QStringLiteral("3")};
    groups.entry(2) = {QStringLiteral("Renamed but empty"), QStringLiteral("0")};
    groups.applyDefaultTitles(QStringLiteral("Group"));
    EXPECT_EQ(groups.entry(1).title, QStringLiteral("Mine"));
    EXPECT_EQ(groups.entry(2).title, QStringLiteral("Group 2"));
    EXPECT_EQ(groups.entry(150).title, QStringLiteral("Group 150"));
    EXPECT_TRUE(groups.entry(151).title.isEmpty());
}

// A count in the titles file is only a number someone wrote: negative, huge or not a
// number, it never sizes anything beyond what a group can hold.
TEST(LinkFiles, DamagedCountsAreHeldWithinAGroupsSize)
{
    LinkFolder dir;
    dir.write(QStringLiteral("Links/Links.Bok"),
              "Minus,-5\r\nHuge,99999999999\r\nHuger,1111111111111111111\r\nNot,many\r\n"
              "Exp,1e400\r\nDigits,100000000000000000000000000000000000000000000000000000000000000000000000000\r\n");
    dir.write(QStringLiteral("Links/Links.001"), "one;-;http://one/\r\ntwo;-;http://two/\r\n");
    GroupList groups;
    ASSERT_TRUE(readTitles(dir.base, groups, QStringLiteral("Group")));
    EXPECT_EQ(groups.countOf(1), 0);
    for (int n : {2, 3, 6})
        EXPECT_EQ(groups.countOf(n), kMaxLinks) << n;
    EXPECT_EQ(groups.countOf(4), 0);
    EXPECT_EQ(groups.countOf(5), 1);
    groups.entry(7).count = QStringLiteral("-99999999999999999999999");
    EXPECT_EQ(groups.countOf(7), 0);

    // The group that claims 99999999999 links: its two links are read, and a save
    // keeps exactly those two.
    LinkTable table(dir.base, &groups);
    table.setGroup(1);
    table.readTable();
    EXPECT_LE(table.rows(), kMaxLinks + 1);
    EXPECT_EQ(table.cell(1, 1), QStringLiteral("one"));
    EXPECT_EQ(table.cell(2, 1), QStringLiteral("two"));
    ASSERT_TRUE(table.saveTable());
    EXPECT_EQ(groups.countOf(2), 2);
    EXPECT_EQ(TextFile::readLines(groupPath(dir.base, 1))->size(), 2);
}

TEST(LinkFiles, AwkwardTextRoundTripsExactly)
{
    // Look-alikes and the mark typed by the user, line breaks of every kind, scripts
    // of other languages.
    const QString awkward[] = {QStringLiteral("a;-;b"), QStringLiteral("two\r\nlines"), QStringLiteral("x;-"),
                               QStringLiteral(";-;-;"), QStringLiteral("plain"), QStringLiteral("-;start"),
                               QStringLiteral("tail;"), QStringLiteral("cr\ronly"), QStringLiteral("lf\nonly"),
                               QString::fromUtf8("typed ;–; dash"), QString::fromUtf8("ends ;–"),
                               QString::fromUtf8("para\u2029sep\u2028line"), QString::fromUtf8("mark \u2063 \u2063;–; \uE000"),
                               QString::fromUtf8("日本語 עברית 😀 ‚comma"), QString()};
    for (const QString &text : awkward) {
        const QString stored = encodeField(text);
        EXPECT_FALSE(stored.contains(kSeparator)) << str(text);
        EXPECT_FALSE(stored.endsWith(QLatin1String(";-"))) << str(text);
        EXPECT_FALSE(stored.contains(u'\n') || stored.contains(u'\r')) << str(text);
        EXPECT_EQ(decodeField(stored), text) << str(text);
    }
    const QString titles[] = {QStringLiteral("Work, home"), QString::fromUtf8("low ‚ nine"),
                              QString::fromUtf8("mark \u2063‚ \u2063 \uE000"), QString::fromUtf8("ελληνικά, 中文")};
    for (const QString &title : titles) {
        EXPECT_FALSE(encodeTitle(title).contains(u',')) << str(title);
        EXPECT_EQ(decodeTitle(encodeTitle(title)), title) << str(title);
    }
    const QString twoLines = QStringLiteral("one\r\ntwo");
    EXPECT_FALSE(encodeTitle(twoLines).contains(u'\n') || encodeTitle(twoLines).contains(u'\r'));
    EXPECT_EQ(decodeTitle(encodeTitle(twoLines)), twoLines);
}

TEST(LinkFiles, SixAwkwardFieldsSplitBackIntoSix)
{
    // Every field is stored beside others: what ends one field must not join with the
    // separator or the start of the next one. Random fields of the troublesome
    // characters, joined as a link line and split again.
    const QString alphabet = QString::fromUtf8(";-–;\r\n\u2028\u2029\u2063a,‚");
    quint32 seed = 12345;
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    for (int round = 0; round < 5000; ++round) {
        QStringList fields;
        QStringList stored;
        for (int f = 0; f < kFields; ++f) {
            QString field;
            const int length = static_cast<int>(next() % 7);
            for (int i = 0; i < length; ++i)
                field += alphabet.at(static_cast<qsizetype>(next() % alphabet.size()));
            fields.append(field);
            stored.append(encodeField(field));
        }
        const QStringList pieces = stored.join(kSeparator).split(kSeparator);
        ASSERT_EQ(pieces.size(), kFields) << str(fields.join(u'|'));
        for (int f = 0; f < kFields; ++f)
            ASSERT_EQ(decodeField(pieces.at(f)), fields.at(f)) << round << " field " << f;
    }
}

TEST(LinkFiles, FilesWrittenBeforeTheEscapeReadAsTheyAlwaysDid)
{
    EXPECT_EQ(decodeField(QString::fromUtf8("a;–;b")), QStringLiteral("a;-;b"));
    EXPECT_EQ(decodeField(QString::fromUtf8(";–;–;")), QStringLiteral(";-;-;"));
    EXPECT_EQ(decodeField(QString::fromUtf8("x;–")), QStringLiteral("x;-"));
    EXPECT_EQ(decodeField(QString::fromUtf8("two\u2029lines")), QStringLiteral("two\nlines"));
    EXPECT_EQ(decodeField(QString::fromUtf8("a – b")), QString::fromUtf8("a – b"));
    EXPECT_EQ(decodeTitle(QString::fromUtf8("Work‚ home")), QStringLiteral("Work, home"));
}

class LinkTableTest : public ::testing::Test
{
protected:
    void SetUp() override { dir.write(QStringLiteral("Links/Links.Bok"), ""); }

    LinkTable &table()
    {
        if (!m_table) {
            m_table = std::make_unique<LinkTable>(dir.base, &groups);
            m_table->setHeaders({QStringLiteral("No."), QStringLiteral("Title"), QString(), QStringLiteral("Notes"),
                                 QStringLiteral("Password"), QStringLiteral("Shown"), QStringLiteral("Date")});
            m_table->setMinimumRows(10);
        }
        return *m_table;
    }

    LinkFolder dir;
    GroupList groups;
    std::unique_ptr<LinkTable> m_table;
};

TEST_F(LinkTableTest, ReadsRowsMasksConcealedValuesAndKeepsFillerRows)
{
    dir.write(QStringLiteral("Links/Links.003"), "A;-;B;-;;-;x;-;;-;2020-01-31\r\nOnly title\r\n");
    groups.entry(4) = {QStringLiteral("Four"), QStringLiteral("3")};
    table().setGroup(3);
    table().readTable();
    EXPECT_EQ(table().rows(), 10);
    EXPECT_EQ(table().cell(0, 1), QStringLiteral("Title"));
    EXPECT_EQ(table().cell(1, 0), QStringLiteral("1"));
    EXPECT_EQ(table().cell(1, 1), QStringLiteral("A"));
    EXPECT_EQ(table().cell(1, 2), QStringLiteral("B"));
    EXPECT_EQ(table().cell(1, 3), QString());
    EXPECT_EQ(table().cell(1, 4), LinkTable::kMask);
    EXPECT_EQ(table().concealed(1), QStringLiteral("x"));
    EXPECT_EQ(table().cell(1, 6), QStringLiteral("2020-01-31"));
    EXPECT_EQ(table().cell(2, 1), QStringLiteral("Only title"));
    EXPECT_EQ(table().cell(2, 4), QString());
    // The third link's line is missing: its row stays blank and the next save drops it.
    EXPECT_EQ(table().cell(3, 0), QString());
    ASSERT_TRUE(table().saveTable());
    EXPECT_EQ(groups.countOf(4), 2);
    EXPECT_EQ(TextFile::readLines(titlesPath(dir.base))->at(3), QStringLiteral("Four,2"));
}

TEST_F(LinkTableTest, SaveSortsByTitleAndConcealedValuesFollowTheirLinks)
{
    dir.write(QStringLiteral("Links/Links.000"),
              "b;-;http://b/;-;;-;pb;-;;-;d\r\nB;-;http://B/;-;;-;;-;;-;d\r\na;-;http://a/;-;;-;pa;-;;-;d\r\n");
    groups.entry(1) = {QStringLiteral("Zero"), QStringLiteral("3")};
    table().readTable();
    ASSERT_TRUE(table().saveTable());
    EXPECT_EQ(*TextFile::readLines(groupPath(dir.base, 0)),
              (QStringList{QStringLiteral("B;-;http://B/;-;;-;;-;;-;d"), QStringLiteral("a;-;http://a/;-;;-;pa;-;;-;d"),
                           QStringLiteral("b;-;http://b/;-;;-;pb;-;;-;d")}));
    EXPECT_FALSE(table().visible());
    EXPECT_EQ(table().rows(), 4);

    table().readTable();
    EXPECT_TRUE(table().visible());
    table().sortRows(2, Qt::CaseInsensitive);
    EXPECT_EQ(table().cell(1, 2), QStringLiteral("http://a/"));
    EXPECT_EQ(table().concealed(1), QStringLiteral("pa"));
}

TEST_F(LinkTableTest, EmptiedRowIsDroppedAndTheCountLowered)
{
    dir.write(QStringLiteral("Links/Links.000"), "a;-;1\r\nb;-;2\r\nc;-;3\r\nd;-;4\r\ne;-;5\r\n");
    groups.entry(1) = {QStringLiteral("Five"), QStringLiteral("5")};
    table().readTable();
    for (int c = 0; c < LinkTable::kColumns; ++c)
        table().setCell(3, c, QString());
    table().setModified(true);
    ASSERT_TRUE(table().saveTable());
    EXPECT_FALSE(table().modified());
    EXPECT_EQ(TextFile::readLines(groupPath(dir.base, 0))->size(), 4);
    EXPECT_EQ(groups.entry(1).count, QStringLiteral("4"));
    EXPECT_EQ(TextFile::readLines(titlesPath(dir.base))->at(0), QStringLiteral("Five,4"));
}

TEST_F(LinkTableTest, AwkwardLinksDoNotDisturbTheOthers)
{
    groups.entry(1) = {QStringLiteral("Mixed, really"), QStringLiteral("3")};
    groups.entry(2) = {QStringLiteral("Next"), QStringLiteral("0")};
    table().readTable();
    const QString fields[3][6] = {
        {QStringLiteral("Alpha"), QStringLiteral("http://a/"), QStringLiteral("note;-;odd"), QStringLiteral("p;-;w"),
         QStringLiteral("two\nlines"), QStringLiteral("2026-12-08")},
        {QStringLiteral("Beta, with comma"), QStringLiteral("http://b/"), QString(), QString(), QStringLiteral("b"),
         QStringLiteral("2026-12-08")},
        {QStringLiteral("Gamma"), QStringLiteral("http://c/"), QStringLiteral("ends;-"), QString(), QString(),
         QStringLiteral("2026-12-08")},
    };
    for (int r = 0; r < 3; ++r) {
        table().setCell(r + 1, 0, QString::number(r + 1));
        for (int c = 0; c < 6; ++c)
            table().setCell(r + 1, c + 1, c == 3 && !fields[r][c].isEmpty() ? LinkTable::kMask : fields[r][c]);
        table().setConcealed(r + 1, fields[r][3]);
    }
    ASSERT_TRUE(table().saveTable());
    EXPECT_EQ(TextFile::readLines(groupPath(dir.base, 0))->size(), 3);

    GroupList back;
    ASSERT_TRUE(readTitles(dir.base, back, QStringLiteral("Group")));
    EXPECT_EQ(back.entry(1).title, QStringLiteral("Mixed, really"));
    EXPECT_EQ(back.countOf(1), 3);
    EXPECT_EQ(back.entry(2).title, QStringLiteral("Next"));

    table().readTable();
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 6; ++c) {
            if (c == 3)
                EXPECT_EQ(table().concealed(r + 1), fields[r][c]);
            else
                EXPECT_EQ(table().cell(r + 1, c + 1), fields[r][c]) << r << "," << c;
        }
    }
}

TEST_F(LinkTableTest, PendingTitleIsAppliedBySaveTitle)
{
    int reloads = 0;
    table().onTitleApplied = [&] { ++reloads; };
    table().setGroup(2);
    table().setPendingTitle(QStringLiteral("Travel"));
    ASSERT_TRUE(table().saveTitle());
    EXPECT_EQ(groups.entry(3).title, QStringLiteral("Travel"));
    EXPECT_TRUE(table().pendingTitle().isEmpty());
    EXPECT_EQ(reloads, 1);
    EXPECT_EQ(TextFile::readLines(titlesPath(dir.base))->at(2), QStringLiteral("Travel,"));
    ASSERT_TRUE(table().saveTitle());
    EXPECT_EQ(reloads, 1);
}

TEST_F(LinkTableTest, MissingLinkFileShowsEmptyRowsThatTheNextSaveDrops)
{
    groups.entry(1) = {QStringLiteral("Lost"), QStringLiteral("2")};
    table().readTable();
    EXPECT_EQ(table().cell(1, 1), QString());
    ASSERT_TRUE(table().saveTable());
    EXPECT_EQ(groups.countOf(1), 0);
    EXPECT_TRUE(TextFile::readLines(groupPath(dir.base, 0))->isEmpty());
}

TEST_F(LinkTableTest, AddingALinkFollowsTheRulesOfTheGroup)
{
    dir.write(QStringLiteral("Links/Links.000"), "Zeta;-;http://z/\r\n");
    groups.entry(1) = {QStringLiteral("Mine"), QStringLiteral("1")};
    table().readTable();
    const QString longAddress = QStringLiteral("http://example.test/") + QString(110, u'x');
    EXPECT_FALSE(table().addLink(QString(), QStringLiteral("http://e/"), QStringLiteral("e"), QStringLiteral("d")));
    EXPECT_FALSE(table().addLink(QStringLiteral("Zeta"), QStringLiteral("http://z2/"), QStringLiteral("z"),
                                 QStringLiteral("d")));
    EXPECT_EQ(groups.entry(1).count, QStringLiteral("1"));
    ASSERT_TRUE(table().addLink(QStringLiteral("Alpha"), longAddress, longAddress, QStringLiteral("2026-12-08")));
    EXPECT_EQ(groups.entry(1).count, QStringLiteral(" 2")); // as an addition writes it
    EXPECT_EQ(table().cell(2, 0), QStringLiteral("2"));
    EXPECT_EQ(table().cell(2, 2), longAddress);
    EXPECT_EQ(table().cell(2, 5), longAddress.left(100) + QStringLiteral(".."));
    ASSERT_TRUE(table().saveTable());
    EXPECT_EQ(TextFile::readLines(titlesPath(dir.base))->at(0), QStringLiteral("Mine, 2"));
    const QStringList lines = *TextFile::readLines(groupPath(dir.base, 0));
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("Alpha;-;http://example.test/")));
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral(";-;2026-12-08")));

    // A cut never splits a character written as two code units.
    const QString emoji = QString(99, u'a') + QString::fromUtf8("😀") + QStringLiteral("tail");
    EXPECT_EQ(LinkTable::shownText(emoji), QString(99, u'a') + QStringLiteral(".."));
    EXPECT_EQ(LinkTable::shownText(QString(100, u'b')), QString(100, u'b'));
}

TEST_F(LinkTableTest, SortOnScreenKeepsFillerRowsOutAndPasswordsWithTheirLinks)
{
    QByteArray file;
    for (int i = 0; i < 60; ++i) {
        // Titles in descending order, mixed case; each link's password names it.
        const QByteArray title = (i % 2 ? "link " : "LINK ") + QByteArray::number(99 - i);
        file += title + ";-;http://" + QByteArray::number(i) + "/;-;;-;pw" + title + ";-;;-;d\r\n";
    }
    dir.write(QStringLiteral("Links/Links.000"), file);
    groups.entry(1) = {QStringLiteral("Sixty"), QStringLiteral("60")};
    table().setMinimumRows(40);
    table().readTable();
    EXPECT_EQ(table().rows(), 61);
    table().sortOnScreen(1);
    EXPECT_EQ(table().rows(), 61);
    for (int r = 1; r <= 60; ++r) {
        EXPECT_EQ(table().cell(r, 0), QString::number(r));
        EXPECT_EQ(table().concealed(r), QStringLiteral("pw") + table().cell(r, 1)) << r;
        if (r > 1) {
            EXPECT_LE(QString::compare(table().cell(r - 1, 1), table().cell(r, 1), Qt::CaseInsensitive), 0);
        }
    }
    EXPECT_EQ(table().cell(1, 1), QStringLiteral("link 40"));
    EXPECT_TRUE(table().cell(61, 1).isEmpty());
}

TEST_F(LinkTableTest, FailedSaveKeepsTheLinksAndTheModifiedFlag)
{
    dir.write(QStringLiteral("Links/Links.000"), "b;-;http://b/;-;;-;pb\r\na;-;http://a/\r\nc;-;http://c/\r\n");
    groups.entry(1) = {QStringLiteral("Three"), QStringLiteral("3")};
    table().readTable();
    for (int c = 0; c < LinkTable::kColumns; ++c)
        table().setCell(3, c, QString()); // the editor's delete of "c"
    table().setModified(true);
    // The link file's place is taken by a folder: nothing can be written there.
    QFile::remove(groupPath(dir.base, 0));
    dir.mkdir(QStringLiteral("Links/Links.000"));
    QString error;
    EXPECT_FALSE(table().saveTable(&error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(table().modified());
    table().showRows();
    EXPECT_TRUE(table().visible());
    EXPECT_EQ(table().count(), 2);
    EXPECT_EQ(table().cell(1, 1), QStringLiteral("a"));
    EXPECT_EQ(table().cell(2, 1), QStringLiteral("b"));
    EXPECT_EQ(table().cell(2, 4), LinkTable::kMask);
    EXPECT_EQ(table().concealed(2), QStringLiteral("pb"));
    EXPECT_EQ(table().rows(), 10);
}

TEST_F(LinkTableTest, ReadersOfTheGridSeeOnlyTheMask)
{
    dir.write(QStringLiteral("Links/Links.000"), "Bank;-;http://bank/;-;;-;s3cret;-;;-;d\r\n");
    groups.entry(1) = {QStringLiteral("One"), QStringLiteral("1")};
    table().readTable();
    const QModelIndex cell = table().index(1, 4);
    for (int role = 0; role < Qt::UserRole; ++role)
        EXPECT_NE(table().data(cell, role).toString(), QStringLiteral("s3cret")) << role;
    // Shown on request, the cell still names itself by the mask.
    table().setCell(1, 4, table().concealed(1));
    EXPECT_EQ(table().data(cell, Qt::DisplayRole).toString(), QStringLiteral("s3cret"));
    EXPECT_EQ(table().data(cell, Qt::AccessibleTextRole).toString(), LinkTable::kMask);
    EXPECT_FALSE(table().data(cell, Qt::ToolTipRole).isValid());
    EXPECT_EQ(table().headerData(1, Qt::Horizontal).toString(), QStringLiteral("Title"));
}
